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
  # Size: code optimised for size, and none of what the aquarium never shows
  # or uses (graphics views, style sheets, the file dialog, the Fusion style,
  # calendars, MDI and dock widgets, ODF and Markdown, FreeType beside
  # Windows' own fonts, the MIME database).
  -DFEATURE_optimize_size=ON
  -DFEATURE_graphicsview=OFF -DFEATURE_style_stylesheet=OFF
  -DFEATURE_filedialog=OFF -DFEATURE_style_fusion=OFF
  -DFEATURE_calendarwidget=OFF -DFEATURE_mdiarea=OFF -DFEATURE_dockwidget=OFF
  -DFEATURE_textodfwriter=OFF -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF
  -DFEATURE_freetype=OFF -DFEATURE_mimetype_database=OFF
  -DFEATURE_jalalicalendar=OFF -DFEATURE_islamiccivilcalendar=OFF
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
  echo "Building a static Qt for Windows into $QT_PREFIX (once; one to two hours)"
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

# The same bytes from the same commit: every time stamp is the commit's,
# and no path of the machine's goes into the program.
SOURCE_DATE_EPOCH="$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || stat -c %Y "$ROOT/CMakeLists.txt")"
export SOURCE_DATE_EPOCH
VERSION="$(sed -n 's/^project(Velmaro VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")"
SIGNING=false
if [ -n "${VELMARO_SIGNING_CERTIFICATE:-}" ] || [ -n "${VELMARO_SIGNING_KEY:-}" ]; then
  [ -r "${VELMARO_SIGNING_CERTIFICATE:-}" ] && [ -r "${VELMARO_SIGNING_KEY:-}" ] || {
    echo "Signing needs both VELMARO_SIGNING_CERTIFICATE and VELMARO_SIGNING_KEY, readable" >&2
    exit 1
  }
  SIGNING=true
fi

# velmaro.exe, stripped, with Qt, the C++ runtime and winpthreads inside,
# built in the folder given.
build_program() {
  local build="$1" testing="$2"
  cmake -S "$ROOT" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$QT_PREFIX/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DCMAKE_CXX_FLAGS="-ffile-prefix-map=$ROOT=." \
    -DCMAKE_EXE_LINKER_FLAGS="-static -s -Wl,--no-insert-timestamp" -DBUILD_TESTING="$testing" \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$(command -v wine)" > /dev/null
  cmake --build "$build" --parallel "$(nproc)"
}

# Every DLL the program loads must come with Windows.
check_self_contained() {
  local exe="$1" dlls
  dlls="$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | sort -u)"
  local foreign
  foreign="$(grep -viE '^(kernel32|user32|gdi32|shell32|ole32|oleaut32|advapi32|comdlg32|imm32|winmm|ws2_32|uxtheme|dwmapi|version|shlwapi|uuid|setupapi|wtsapi32|netapi32|userenv|d3d9|d3d11|dxgi|dwrite|d2d1|authz|rpcrt4|msvcrt|shcore|mpr|cfgmgr32|winspool\.drv|api-ms-win-[a-z0-9-]+)\.dll$' <<< "$dlls" || true)"
  if [ -n "$foreign" ]; then
    echo "velmaro.exe needs DLLs that Windows does not have:" $foreign >&2
    return 1
  fi
  # A windowed program: Windows opens no console for it.
  # Read whole: grep -q would stop objdump half-way, which pipefail counts as failure.
  if ! x86_64-w64-mingw32-objdump -p "$exe" | grep '^Subsystem.*(Windows GUI)' >/dev/null; then
    echo "velmaro.exe is not a windowed program: Windows would open a console" >&2
    return 1
  fi
  # The goldfish in the resources, for Explorer: the icon as drawn and the big one.
  local sizes
  sizes="$(wrestool -x --type=14 "$exe" | icotool -l - | grep -o -- '--width=[0-9]*' | tr '\n' ' ')"
  if [ "$sizes" != "--width=32 --width=128 " ]; then
    echo "velmaro.exe carries no goldfish icon (found: ${sizes:-none})" >&2
    return 1
  fi
  # The Windows it runs on, and the display scale and code page it asks for.
  local manifest
  manifest="$(wrestool -x --raw --type=24 "$exe")"
  for wanted in '8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a' '>PerMonitorV2, PerMonitor<' '>UTF-8<'; do
    if [[ "$manifest" != *"$wanted"* ]]; then
      echo "velmaro.exe's manifest lacks $wanted" >&2
      return 1
    fi
  done
}

# What Explorer's Properties show of a program.
check_details() {
  local file="$1" original="$2" details
  details="$(exiftool -s3 -ProductName -ProductVersion -FileVersion -OriginalFileName \
             -LegalCopyright -FileDescription "$file" | tr '\n' '|')"
  if [[ "$details" != "Velmaro|$VERSION|$VERSION|$original|Copyright "*"|"?*"|" ]]; then
    echo "$(basename "$file") shows other details: $details" >&2
    return 1
  fi
}

# The zip, with its entries in a fixed order and at the commit's time.
pack() {
  local exe="$1" zip="$2" staging
  staging="$(mktemp -d)"
  stage "$exe" "$staging"
  rm -f "$zip"
  (cd "$staging" && TZ=UTC zip -q -X "$zip" velmaro.exe README.txt LICENSE.txt)
  rm -rf "$staging"
}

stage() {
  local exe="$1" staging="$2"
  cp "$exe" "$staging/velmaro.exe"
  # Notepad and every other Windows editor read CRLF lines.
  sed 's/$/\r/' "$ROOT/docs/windows-readme.txt" > "$staging/README.txt"
  sed 's/$/\r/' "$ROOT/cmake/debian/copyright" > "$staging/LICENSE.txt"
  touch -d "@$SOURCE_DATE_EPOCH" "$staging"/*
}

# The per-user installer, beside the zip; its uninstaller signed by the
# command given, if any.
make_installer() {
  local exe="$1" build="$2" setup="$3" sign="${4:-}" staging
  staging="$(mktemp -d)"
  stage "$exe" "$staging"
  # The program is installed twice: also as the screen saver.
  local size_kb=$(( ($(cat "$staging"/* "$staging/velmaro.exe" | wc -c) + 1023) / 1024 ))
  local defines=(-DDETAILS="$build/details.nsh" -DFILES="$staging" -DSIZE_KB="$size_kb"
                 -DOUTPUT="$setup")
  [ -n "$sign" ] && defines+=(-DSIGN="$sign")
  makensis -V2 -NOCD "${defines[@]}" "$ROOT/cmake/windows/velmaro.nsi" > /dev/null
  rm -rf "$staging"
}

# The program, its zip and its installer, signed when a key is given.
make_all() {
  local build="$1" testing="$2" out="$3"
  build_program "$build" "$testing"
  cp "$build/velmaro.exe" "$out/velmaro.exe"
  local sign=""
  if [ "$SIGNING" = true ]; then
    sign="$ROOT/scripts/sign-windows"
    "$sign" "$out/velmaro.exe"
  fi
  check_self_contained "$out/velmaro.exe"
  check_details "$out/velmaro.exe" velmaro.exe
  pack "$out/velmaro.exe" "$out/velmaro-$VERSION-windows-x86_64.zip"
  make_installer "$out/velmaro.exe" "$build" "$out/velmaro-$VERSION-setup.exe" "$sign"
  [ -z "$sign" ] || "$sign" "$out/velmaro-$VERSION-setup.exe"
  check_details "$out/velmaro-$VERSION-setup.exe" "velmaro-$VERSION-setup.exe"
}

# A second build from scratch must give the same bytes.
check_reproducible() {
  local again
  again="$(mktemp -d "${TMPDIR:-/tmp}/velmaro-again.XXXXXX")"
  mkdir "$again/out"
  echo "== building again, to compare"
  make_all "$again/build" OFF "$again/out" > /dev/null
  local differ=0
  for file in velmaro.exe "velmaro-$VERSION-windows-x86_64.zip" "velmaro-$VERSION-setup.exe"; do
    cmp -s "$OUT/$file" "$again/out/$file" || { echo "$file differs from build to build" >&2; differ=1; }
  done
  rm -rf "$again"
  [ "$differ" -eq 0 ] && echo "== two builds gave the same bytes"
  return "$differ"
}

# With a throwaway self-signed certificate: the program, the installer and
# the uninstaller in it signed, and osslsigncode's verification against it.
# The installer so signed is the one the tests install.
make_test_signed() {
  local folder="$1"
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Velmaro test signing" \
    -addext "extendedKeyUsage=codeSigning" -keyout "$folder/key.pem" -out "$folder/certificate.pem" 2> /dev/null
  local sign="$ROOT/scripts/sign-windows"
  export VELMARO_SIGNING_CERTIFICATE="$folder/certificate.pem" VELMARO_SIGNING_KEY="$folder/key.pem"
  cp "$OUT/velmaro.exe" "$folder/velmaro.exe"
  "$sign" "$folder/velmaro.exe"
  make_installer "$folder/velmaro.exe" "$BUILD_WINDOWS" "$folder/velmaro-$VERSION-setup.exe" "$sign"
  "$sign" "$folder/velmaro-$VERSION-setup.exe"
  unset VELMARO_SIGNING_CERTIFICATE VELMARO_SIGNING_KEY
  for file in velmaro.exe "velmaro-$VERSION-setup.exe"; do
    osslsigncode verify -CAfile "$folder/certificate.pem" -in "$folder/$file" > /dev/null ||
      { echo "$file: the test signature does not verify" >&2; return 1; }
  done
  echo "== signed with a throwaway certificate; the signatures verify"
}

# The Qt-free tests and those of the settings file under Wine, then the real
# program under Wine on a virtual screen, driven by the Linux build's harness.
# Everything runs from a scratch folder that the user running Wine can reach.
run_tests() {
  install_missing_packages "${TEST_PACKAGES[@]}"
  check_reproducible
  build_release tests
  cmake --build "$BUILD" --target windows_program_tests

  WINE_AREA="$(mktemp -d "${TMPDIR:-/tmp}/velmaro-wine.XXXXXX")"
  chmod 755 "$WINE_AREA"
  trap '"$ROOT/scripts/wine-as-user" wineserver --kill 2>/dev/null || true; rm -rf "$WINE_AREA"' EXIT
  mkdir "$WINE_AREA/signed"
  make_test_signed "$WINE_AREA/signed"
  cp "$OUT/velmaro.exe" "$BUILD_WINDOWS"/{sim_tests,settings_tests,window_messages}.exe "$WINE_AREA/"
  cp "$OUT/velmaro.exe" "$WINE_AREA/velmaro.scr"
  mkdir "$WINE_AREA/home"
  [ "$(id -u)" -eq 0 ] && chown 65534:65534 "$WINE_AREA/home"
  export WINEPREFIX="$WINE_AREA/home/prefix" WINEDEBUG=-all
  # No offer to download Wine's .NET and HTML engines: nothing here uses
  # them. No menu entries on this machine for what is installed in Wine.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
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
    VELMARO_WINDOWS_SETUP="$WINE_AREA/signed/velmaro-$VERSION-setup.exe" \
    VELMARO_SIGNING_CA="$WINE_AREA/signed/certificate.pem" \
    "$BUILD/tests/program/windows_program_tests" || failed=1
  return "$failed"
}

[ -f "$QT_PREFIX/.complete" ] || build_qt
testing=OFF
[ "${1:-}" = test ] && testing=ON
BUILD_WINDOWS="$ROOT/build-windows"
OUT="$ROOT/dist"
mkdir -p "$OUT"
make_all "$BUILD_WINDOWS" "$testing" "$OUT"
echo "Made in dist/: velmaro.exe, velmaro-$VERSION-windows-x86_64.zip and velmaro-$VERSION-setup.exe$([ "$SIGNING" = true ] && echo ", signed")"
if [ "$testing" = ON ]; then run_tests; fi
