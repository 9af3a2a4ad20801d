#!/usr/bin/env bash
# Times the animation tick against copying two whole frames and prints both
# medians (CPU time per call), their ratio and whether the tick stays within
# twice the copy.
# Usage: tick.sh BUILD_FOLDER [more velmaro_benchmarks options]
set -euo pipefail
if [ $# -lt 1 ]; then
  echo "Usage: $0 BUILD_FOLDER [more velmaro_benchmarks options]" >&2
  exit 2
fi
BUILD="$1"
shift
BENCHMARKS="$BUILD/velmaro_benchmarks"
[ -x "$BENCHMARKS" ] || { echo "$BENCHMARKS is missing: build with Google Benchmark installed" >&2; exit 2; }

# A private runtime folder, so Qt neither warns nor shares one.
runtime=$(mktemp -d)
results=$(mktemp)
trap 'rm -rf "$runtime" "$results"' EXIT

if ! XDG_RUNTIME_DIR="$runtime" "$BENCHMARKS" --benchmark_format=csv "$@" >"$results" 2>"$runtime/errors"; then
  cat "$runtime/errors" >&2
  exit 1
fi

awk -F, '
  # "BM_Name/repeats:15_median" or "BM_Name_median", whichever the options made.
  function median(name,   i) {
    for (i = 1; i <= n; i++) if (row[i, 1] ~ ("^\"" name "(/[^\"]*)?_median\"$")) return row[i, 4]
    return ""
  }
  /^"/ {
    n++
    for (f = 1; f <= NF; f++) row[n, f] = $f
    if ($9 == "true") { printf "%s failed: %s\n", $1, $10; failed = 1 }
  }
  END {
    if (failed) exit 1
    copy = median("BM_CopyTwoFrames"); tick = median("BM_StepAquarium")
    if (copy == "" || tick == "") { print "No medians found: were the benchmarks filtered out?"; exit 1 }
    ratio = tick / copy
    printf "Copy of two 500 x 300 frames (median):  %8.2f us\n", copy
    printf "StepAquarium, five fish (median):       %8.2f us\n", tick
    coldCopy = median("BM_CopyTwoFramesCold"); coldTick = median("BM_StepAquariumCold")
    if (coldCopy != "" && coldTick != "")
      printf "With cold caches, copy / StepAquarium:  %8.2f / %.2f us = %.2f  (for reference)\n",
             coldCopy, coldTick, coldTick / coldCopy
    printf "Ratio StepAquarium / copy:              %8.2f  (bar: at most 2.00)  %s\n", ratio,
           ratio <= 2.0 ? "PASS" : "FAIL"
    exit ratio <= 2.0 ? 0 : 3
  }' "$results"
