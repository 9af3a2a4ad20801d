#!/usr/bin/env bash
# Makes the Windows program on Debian: a static Qt for Windows, built once
# into a cache outside the clone, then velmaro.exe as one self-contained file
# and its zip. With "test", also runs the Windows tests under Wine.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$ROOT/scripts/common.sh"

install_missing_packages "${RUN_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}"

TOOLCHAIN="$ROOT/cmake/windows/mingw-w64-x86_64.cmake"
# The Qt of the Linux build, so that its host tools serve the cross build.
QT_SOURCE_VERSION="$(dpkg-query -W -f='${source:Version}' qt6-base-dev)"
QT_OPTIONS=(
  -DBUILD_SHARED_LIBS=OFF -DCMAKE_BUILD_TYPE=Release
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
  -DFEATURE_static_runtime=ON
  -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF
  -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_icu=OFF
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF
  -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
  -DFEATURE_vulkan=OFF -DFEATURE_testlib=OFF
  # Debian's source leaves out the Wintab header.
  -DFEATURE_tabletevent=OFF
  # OpenGL stays on: the Windows platform plugin does not build without it,
  # and it is loaded only when used, which the aquarium never does.
)
CACHE="${VELMARO_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velmaro-windows}"
RECIPE="$(printf '%s\n' "$QT_SOURCE_VERSION" "${QT_OPTIONS[@]}" | cat - "$TOOLCHAIN" |
          sha256sum | cut -c1-12)"
QT_PREFIX="$CACHE/qt-${QT_SOURCE_VERSION%%+*}-$RECIPE"

# The Qt source from Debian's archive through a private sources list and
# private package lists: the machine's own package sources stay as they are.
fetch_qt_source() {
  local work="$1" apt="$1/apt"
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/parts"
  cat > "$apt/sources.list" <<LIST
deb-src http://deb.debian.org/debian bookworm main
deb-src http://deb.debian.org/debian bookworm-updates main
deb-src http://deb.debian.org/debian-security bookworm-security main
LIST
  local options=(
    -o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts="$apt/parts"
    -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache"
    -o Debug::NoLocking=1 -o APT::Sandbox::User="$(id -un)"
  )
  apt-get "${options[@]}" update -qq
  (cd "$work" && apt-get "${options[@]}" source -qq "qt6-base=$QT_SOURCE_VERSION")
}

build_qt() {
  local work
  work="$(mktemp -d "${TMPDIR:-/tmp}/velmaro-qt.XXXXXX")"
  echo "Building a static Qt for Windows into $QT_PREFIX (once; about half an hour)"
  fetch_qt_source "$work"
  local source
  source="$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)"
  cmake -S "$source" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_INSTALL_PREFIX="$QT_PREFIX" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    "${QT_OPTIONS[@]}" > "$work/configure.log" ||
    { tail -n 40 "$work/configure.log"; return 1; }
  cmake --build "$work/build" --parallel "$(nproc)"
  rm -rf "$QT_PREFIX"
  cmake --install "$work/build" > /dev/null
  touch "$QT_PREFIX/.complete"
  rm -rf "$work"
}

# velmaro.exe, stripped, with Qt, the C++ runtime and winpthreads inside.
build_program() {
  local testing="$1"
  BUILD_WINDOWS="$ROOT/build-windows"
  cmake -S "$ROOT" -B "$BUILD_WINDOWS" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$QT_PREFIX/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DCMAKE_EXE_LINKER_FLAGS="-static -s" -DBUILD_TESTING="$testing" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v wine)" > /dev/null
  cmake --build "$BUILD_WINDOWS" --parallel "$(nproc)"
  EXE="$BUILD_WINDOWS/velmaro.exe"
}

# Every DLL the program loads must come with Windows.
check_self_contained() {
  local dlls
  dlls="$(x86_64-w64-mingw32-objdump -p "$EXE" | sed -n 's/^\s*DLL Name: //p' | sort -u)"
  local foreign
  foreign="$(grep -viE '^(kernel32|user32|gdi32|shell32|ole32|oleaut32|advapi32|comdlg32|imm32|winmm|ws2_32|uxtheme|dwmapi|version|shlwapi|uuid|setupapi|wtsapi32|netapi32|userenv|d3d9|d3d11|dxgi|dwrite|d2d1|authz|rpcrt4|msvcrt|shcore|mpr|cfgmgr32|winspool\.drv|api-ms-win-[a-z0-9-]+)\.dll$' <<< "$dlls" || true)"
  if [ -n "$foreign" ]; then
    echo "velmaro.exe needs DLLs that Windows does not have:" $foreign >&2
    return 1
  fi
  # A windowed program: Windows opens no console for it.
  # Read whole: grep -q would stop objdump half-way, which pipefail counts as failure.
  if ! x86_64-w64-mingw32-objdump -p "$EXE" | grep '^Subsystem.*(Windows GUI)' >/dev/null; then
    echo "velmaro.exe is not a windowed program: Windows would open a console" >&2
    return 1
  fi
  # The goldfish in the resources, for Explorer: the icon as drawn and the big one.
  local sizes
  sizes="$(wrestool -x --type=14 "$EXE" | icotool -l - | grep -o -- '--width=[0-9]*' | tr '\n' ' ')"
  if [ "$sizes" != "--width=32 --width=128 " ]; then
    echo "velmaro.exe carries no goldfish icon (found: ${sizes:-none})" >&2
    return 1
  fi
}

pack() {
  local version
  version="$(sed -n 's/^project(Velmaro VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")"
  ZIP="$ROOT/velmaro-$version-windows-x86_64.zip"
  local staging
  staging="$(mktemp -d)"
  cp "$EXE" "$staging/velmaro.exe"
  # Notepad and every other Windows editor read CRLF lines.
  sed 's/$/\r/' "$ROOT/docs/windows-readme.txt" > "$staging/README.txt"
  sed 's/$/\r/' "$ROOT/cmake/debian/copyright" > "$staging/LICENSE.txt"
  rm -f "$ZIP"
  (cd "$staging" && zip -q -X "$ZIP" velmaro.exe README.txt LICENSE.txt)
  rm -rf "$staging"
}

# The Qt-free tests and those of the settings file under Wine, then the real
# program under Wine on a virtual screen, driven by the Linux build's harness.
# Everything runs from a scratch folder that the user running Wine can reach.
run_tests() {
  install_missing_packages "${TEST_PACKAGES[@]}"
  build_release tests
  cmake --build "$BUILD" --target windows_program_tests

  WINE_AREA="$(mktemp -d "${TMPDIR:-/tmp}/velmaro-wine.XXXXXX")"
  chmod 755 "$WINE_AREA"
  trap '"$ROOT/scripts/wine-as-user" wineserver --kill 2>/dev/null || true; rm -rf "$WINE_AREA"' EXIT
  cp "$EXE" "$BUILD_WINDOWS"/{sim_tests,settings_tests,window_messages}.exe "$WINE_AREA/"
  mkdir "$WINE_AREA/home"
  [ "$(id -u)" -eq 0 ] && chown 65534:65534 "$WINE_AREA/home"
  export WINEPREFIX="$WINE_AREA/home/prefix" WINEDEBUG=-all
  # No offer to download Wine's .NET and HTML engines: nothing here uses them.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  local wine="$ROOT/scripts/wine-as-user"
  "$wine" env -u DISPLAY -u WAYLAND_DISPLAY wineboot --init
  "$wine" wineserver --wait
  # The Windows the program needs: a new prefix says it is Windows 7.
  "$wine" env -u DISPLAY -u WAYLAND_DISPLAY wine winecfg /v win10
  "$wine" wineserver --wait
  local version
  version="$("$wine" env -u DISPLAY -u WAYLAND_DISPLAY wine cmd /c ver | tr -d '\r')"
  if [[ "$version" != *"Windows 10."* ]]; then
    echo "The Wine prefix is not Windows 10: $version" >&2
    return 1
  fi
  echo "== under Wine as$(sed -n 's/^Microsoft//p' <<< "$version")"

  local failed=0
  for tests in sim_tests settings_tests; do
    echo "== $tests under Wine"
    "$wine" env -u DISPLAY -u WAYLAND_DISPLAY wine "$WINE_AREA/$tests.exe" || failed=1
  done
  # Wine's desktop, started without a display, must not serve the program.
  "$wine" wineserver --wait
  echo "== velmaro.exe under Wine"
  VELMARO_WINDOWS_EXECUTABLE="$WINE_AREA/velmaro.exe" VELMARO_WINE="$wine" \
    "$BUILD/tests/program/windows_program_tests" || failed=1
  return "$failed"
}

[ -f "$QT_PREFIX/.complete" ] || build_qt
testing=OFF
[ "${1:-}" = test ] && testing=ON
build_program "$testing"
check_self_contained
pack
echo "Made $EXE and $ZIP"
if [ "$testing" = ON ]; then run_tests; fi
