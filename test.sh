#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$ROOT/scripts/common.sh"

install_missing_packages
build_release
cd "$BUILD"
ctest --output-on-failure --parallel "$(nproc)" --timeout 300
