# Shared by run.sh and test.sh: install what is missing, then build.
# Sourced, not run; expects ROOT to be the project's top folder.

PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgtest-dev libbenchmark-dev
  # X11's own events, to notice a main window destroyed from outside.
  libxcb1-dev
  xvfb xauth openbox xdotool x11-utils
  fonts-ipafont-gothic
  # A Wayland session for the tests: a compositor with XWayland, and Qt's own
  # Wayland support, which the program must not pick while XWayland is there.
  weston xwayland qt6-wayland
  # The sanitizer build and the fuzzer: clang and its runtimes.
  clang libclang-rt-14-dev
  # Failing system calls for the tests of the settings file.
  fiu-utils libfiu-dev
  # Checks of the Debian package: its desktop entry, metainfo, manual page,
  # and Debian's own package checker.
  desktop-file-utils appstream man-db lintian
)

install_missing_packages() {
  local missing=()
  for package in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Release build in build/, incremental after the first time.
build_release() {
  BUILD="$ROOT/build"
  if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release
  fi
  cmake --build "$BUILD" --parallel "$(nproc)"
}

# Address and undefined-behaviour sanitizers, with clang, in build-sanitize/.
build_sanitize() {
  SANITIZE_BUILD="$ROOT/build-sanitize"
  if [ ! -f "$SANITIZE_BUILD/CMakeCache.txt" ]; then
    cmake -S "$ROOT" -B "$SANITIZE_BUILD" -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
      -DCMAKE_BUILD_TYPE=Debug -DVELMARO_SANITIZE=ON
  fi
  cmake --build "$SANITIZE_BUILD" --parallel "$(nproc)"
}
