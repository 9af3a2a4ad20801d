#!/usr/bin/env bash
# Times the animation tick against copying two whole frames and prints both
# medians (CPU time per call), their ratio and whether the tick stays within
# twice the copy.
# Usage: tick.sh BUILD_FOLDER [more velmaro_benchmarks options]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/csv.sh"
run_to_csv velmaro_benchmarks "$@"

awk -F, "$CSV_ROWS"'
  END {
    if (failed) exit 1
    copy = median("BM_CopyTwoFrames", 4); tick = median("BM_StepAquarium", 4)
    if (copy == "" || tick == "") { print "No medians found: were the benchmarks filtered out?"; exit 1 }
    ratio = tick / copy
    printf "Copy of two 500 x 300 frames (median):  %8.2f us\n", copy
    printf "StepAquarium, five fish (median):       %8.2f us\n", tick
    coldCopy = median("BM_CopyTwoFramesCold", 4); coldTick = median("BM_StepAquariumCold", 4)
    if (coldCopy != "" && coldTick != "")
      printf "With cold caches, copy / StepAquarium:  %8.2f / %.2f us = %.2f  (for reference)\n",
             coldCopy, coldTick, coldTick / coldCopy
    printf "Ratio StepAquarium / copy:              %8.2f  (bar: at most 2.00)  %s\n", ratio,
           ratio <= 2.0 ? "PASS" : "FAIL"
    exit ratio <= 2.0 ? 0 : 3
  }' "$RESULTS"
