#!/usr/bin/env bash
# Times the full-screen screen saver's picture (1920 x 1080, the frame three
# times enlarged on black) against the main window's (500 x 300) per device
# pixel painted, in one run, and prints the medians, their ratio and whether
# full screen stays within the window's cost: whole repaints, and a tick
# followed by the repaint of what it changed.
# Usage: screen-saver.sh BUILD_FOLDER [more velmaro_screen_saver_benchmarks options]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/csv.sh"
run_to_csv velmaro_screen_saver_benchmarks "$@"

awk -F, "$CSV_ROWS"'
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
  END {
    if (failed) exit 1
    if (!pixel) { print "No time per pixel in the results"; exit 1 }
    window = median("BM_PaintWindowWhole", pixel); full = median("BM_PaintFullScreenWhole", pixel)
    tickWindow = median("BM_TickThenPaintWindow", pixel); tickFull = median("BM_TickThenPaintFullScreen", pixel)
    if (window == "" || full == "" || tickWindow == "" || tickFull == "") {
      print "No medians found: were the benchmarks filtered out?"; exit 1
    }
    pass = judge("Whole repaint (median):", window, full)
    pass = judge("One tick of five fish, then the repaint of what it changed (median):", tickWindow, tickFull) && pass
    exit pass ? 0 : 3
  }' "$RESULTS"
