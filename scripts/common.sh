# Shared by run.sh and test.sh: install what is missing, then build.
# Sourced, not run; expects ROOT to be the project's top folder.

# What building and running the aquarium need.
RUN_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev
  # X11's own events, to notice a main window destroyed from outside.
  libxcb1-dev
  fonts-ipafont-gothic
)

# Without a screen, run.sh shows the aquarium on a virtual one.
HEADLESS_PACKAGES=(xvfb xauth openbox xdotool x11-utils)

# What the tests and benchmarks add.
TEST_PACKAGES=(
  libgtest-dev libbenchmark-dev
  "${HEADLESS_PACKAGES[@]}"
  # A Wayland session for the tests: a compositor with XWayland, and Qt's own
  # Wayland support, which the program must not pick while XWayland is there.
  weston xwayland qt6-wayland
  # The sanitizer build and the fuzzer: clang and its runtimes.
  clang libclang-rt-14-dev
  # Failing system calls for the tests of the settings file.
  fiu-utils libfiu-dev
  # Configuring with symbolic links refused, as on Windows.
  strace
  # One virtual screen split into two monitors (xrandr).
  x11-xserver-utils
  # A screen reader's view of the program: the accessibility bus and a session bus.
  at-spi2-core dbus-daemon
  # A session manager of the tests' own, asking the program to save.
  libsm-dev libice-dev
  # Checks of the Debian package: its desktop entry, metainfo, manual page,
  # and Debian's own package checker.
  desktop-file-utils appstream man-db lintian
)

# Installs those of the packages named that are missing, with sudo when not
# root, and does nothing at all when everything is there.
install_missing_packages() {
  local missing=()
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0

  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  # sudo clears the environment: the setting goes in through env.
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# Release build in build/, incremental after the first time. With "tests",
# everything: the program, its tests, the developer tools and the
# benchmarks. Otherwise only the targets named, the program by default.
build_release() {
  BUILD="$ROOT/build"
  local testing=OFF targets=(velmaro)
  if [ "${1:-}" = tests ]; then
    testing=ON
    targets=(all)
  elif [ $# -gt 0 ]; then
    targets=("$@")
  fi
  if [ ! -f "$BUILD/CMakeCache.txt" ] ||
     { [ "$testing" = ON ] && ! grep -qx 'VELMARO_TOOLS:BOOL=ON' "$BUILD/CMakeCache.txt"; }; then
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DBUILD_TESTING="$testing" -DVELMARO_TOOLS="$testing"
  fi
  cmake --build "$BUILD" --parallel "$(nproc)" --target "${targets[@]}"
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

# What the Windows build and its tests under Wine need: MinGW-w64, Wine, the
# tools to unpack Debian's Qt source, GoogleTest's source, and a screen.
WINDOWS_PACKAGES=(
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  dpkg-dev googletest zip
  # The icon for Explorer, made from the PNGs, and looked for in the program.
  icoutils
  # The installer, the check of the details Explorer shows, and signing.
  nsis libimage-exiftool-perl osslsigncode openssl
  wine wine64
  "${HEADLESS_PACKAGES[@]}"
)
