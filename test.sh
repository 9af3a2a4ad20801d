#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: first the unit and
# widget tests and the settings-file fuzzer under the sanitizers, in
# build-sanitize/, then everything in the release build.
set -euo pipefail
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
source "$ROOT/scripts/common.sh"

# Runs a stage and says how long it took, for keeping an eye on CI time.
timed() {
  local name="$1" start=$SECONDS
  shift
  "$@"
  echo "== $name: $((SECONDS - start)) s"
}

install_missing_packages "${RUN_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
timed "sanitize build" build_sanitize
# The tests of the real program start it under Xvfb; the release run has them.
timed "sanitize tests" ctest --test-dir "$SANITIZE_BUILD" --output-on-failure \
  --parallel "$(nproc)" --timeout 300 --label-exclude 'program|fuzz'
timed "fuzz run" ctest --test-dir "$SANITIZE_BUILD" --output-on-failure --label-regex fuzz
timed "release build" build_release tests
cd "$BUILD"
ctest --output-on-failure --parallel "$(nproc)" --timeout 300 --no-label-summary
