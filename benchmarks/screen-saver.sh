#!/usr/bin/env bash
# Times the full-screen screen saver's picture (1920 x 1080, the frame three
# times enlarged on black) against the main window's (500 x 300) per device
# pixel painted, in one run, and prints the medians, their ratio and whether
# full screen stays within the window's cost: whole repaints, and a tick
# followed by the repaint of what it changed.
# Usage: screen-saver.sh BUILD_FOLDER [more velmaro_screen_saver_benchmarks options]
set -euo pipefail
if [ $# -lt 1 ]; then
  echo "Usage: $0 BUILD_FOLDER [more velmaro_screen_saver_benchmarks options]" >&2
  exit 2
fi
BUILD="$1"
shift
BENCHMARKS="$BUILD/velmaro_screen_saver_benchmarks"
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
  # The time per pixel (seconds) of "BM_Name/repeats:15/process_time_median"
  # or "BM_Name_median", whichever the options made.
  function median(name,   i) {
    for (i = 1; i <= n; i++) if (row[i, 1] ~ ("^\"" name "(/[^\"]*)?_median\"$")) return row[i, pixel]
    return ""
  }
  function judge(what, window, full,   ratio) {
    ratio = full / window
    printf "%s\n", what
    printf "  window, 500 x 300:                     %8.3f ns per pixel\n", window * 1e9
    printf "  full screen, 1920 x 1080:              %8.3f ns per pixel\n", full * 1e9
    printf "  ratio full screen / window:            %8.2f  (bar: at most 1.00)  %s\n", ratio,
           ratio <= 1.0 ? "PASS" : "FAIL"
    return ratio <= 1.0
  }
  /^name,/ { for (f = 1; f <= NF; f++) if ($f == "\"per_pixel\"") pixel = f; next }
  /^"/ {
    n++
    for (f = 1; f <= NF; f++) row[n, f] = $f
    if ($9 == "true") { printf "%s failed: %s\n", $1, $10; failed = 1 }
  }
  END {
    if (failed) exit 1
    if (!pixel) { print "No time per pixel in the results"; exit 1 }
    window = median("BM_PaintWindowWhole"); full = median("BM_PaintFullScreenWhole")
    tickWindow = median("BM_TickThenPaintWindow"); tickFull = median("BM_TickThenPaintFullScreen")
    if (window == "" || full == "" || tickWindow == "" || tickFull == "") {
      print "No medians found: were the benchmarks filtered out?"; exit 1
    }
    pass = judge("Whole repaint (median):", window, full)
    pass = judge("One tick of five fish, then the repaint of what it changed (median):", tickWindow, tickFull) && pass
    exit pass ? 0 : 3
  }' "$results"
