#!/usr/bin/env bash
# Installs what is missing, builds, and runs the aquarium in the current
# folder (its settings file "SET" lands here).
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$ROOT/scripts/common.sh"

has_display() { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; }

packages=("${RUN_PACKAGES[@]}")
has_display || packages+=("${HEADLESS_PACKAGES[@]}")
install_missing_packages "${packages[@]}"
if has_display; then
  build_release >/dev/null
  exec "$BUILD/velmaro"
fi

# No screen to show it on: run it on a virtual one and keep a picture.
build_release velmaro velmaro_snapshot >/dev/null
echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set)."
echo "Running Velmaro for a few seconds on a virtual display (Xvfb)..."
exec "$ROOT/scripts/headless-run.sh" "$BUILD"
