# VELMARO_SANITIZE: AddressSanitizer and UndefinedBehaviorSanitizer over the
# whole project, and with clang the libFuzzer target as well.

set(VELMARO_SANITIZERS -fsanitize=address,undefined)
add_compile_options(${VELMARO_SANITIZERS} -fno-sanitize-recover=all -fno-omit-frame-pointer
  # Fast enough for the fuzzer while stacks stay readable.
  -O1 -g)
add_link_options(${VELMARO_SANITIZERS})
# Bounds checks on std::array and std::vector indexing.
add_compile_definitions(_GLIBCXX_ASSERTIONS)

set(VELMARO_FUZZ OFF)
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  set(VELMARO_FUZZ ON)
  # Coverage for the fuzzer in every library it reaches; the tests ignore it.
  add_compile_options(-fsanitize=fuzzer-no-link
    -fsanitize-coverage-ignorelist=${PROJECT_SOURCE_DIR}/tests/sanitizers/coverage-ignore.txt)
endif()

# Test binaries are listed when ctest runs, with the options below in force:
# a report while listing them at build time would break the build instead of
# failing a test.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

# The sanitizer options for every test ctest runs here, whichever folder's
# ENVIRONMENT it has, and for every listing: ctest reads this file before the
# test folders, and each test inherits what it sets.
set(VELMARO_SANITIZER_SUPPRESSIONS ${PROJECT_SOURCE_DIR}/tests/sanitizers)
set(VELMARO_ASAN_OPTIONS "detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1:check_initialization_order=1")
set(VELMARO_LSAN_OPTIONS "suppressions=${VELMARO_SANITIZER_SUPPRESSIONS}/lsan.supp:print_suppressions=0")
set(VELMARO_UBSAN_OPTIONS "suppressions=${VELMARO_SANITIZER_SUPPRESSIONS}/ubsan.supp:print_stacktrace=1:halt_on_error=1")
file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/SanitizerEnvironment.cmake CONTENT [[
set(ENV{ASAN_OPTIONS} "@VELMARO_ASAN_OPTIONS@")
set(ENV{LSAN_OPTIONS} "@VELMARO_LSAN_OPTIONS@")
set(ENV{UBSAN_OPTIONS} "@VELMARO_UBSAN_OPTIONS@")
]] @ONLY)
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES
  ${PROJECT_BINARY_DIR}/SanitizerEnvironment.cmake)
