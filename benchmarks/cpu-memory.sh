#!/usr/bin/env bash
# What the running aquarium (five fish) costs, the X server's work included,
# against three yardsticks run at the same time: the toolkit's floor window
# repainting its whole 500 x 300 picture every 100 ms, the same window
# repainting only five moving 85 x 85 squares, and the classic X aquarium
# xfishtank with five fish (installed here when missing, if it can be).
# Each program has a virtual display and a window manager of its own, so the
# CPU time of each display server belongs to one program alone.
# Usage: cpu-memory.sh BUILD_FOLDER [SECONDS] [--rounds N] [--profile FOLDER] [--against PROGRAM]
#   SECONDS  length of each measuring window (default 30)
#   --rounds N  repeat N times, each with fresh displays and programs, and
#               judge the medians (default 1)
#   --profile FOLDER  afterwards, run the aquarium alone for SECONDS more under
#               perf (Debian's linux-perf, installed when missing) and leave
#               velmaro.perf and xserver.perf there; the profiled run is not
#               part of the figures, as perf itself costs time
#   --against PROGRAM  another build's velmaro as one more yardstick, to
#               compare two versions in one run
# Bars: the aquarium's total (program + X server) at most 0.9 x the full-
# repaint floor's total (median of the rounds' ratios); the aquarium's peak
# resident memory at most the floor's + 6 MiB (medians).
set -euo pipefail

usage() { echo "Usage: $0 BUILD_FOLDER [SECONDS] [--rounds N] [--profile FOLDER] [--against PROGRAM]" >&2; exit 2; }

source "$(dirname "${BASH_SOURCE[0]}")/displays.sh"
PROFILE_OFFERED=yes AGAINST_OFFERED=yes read_measurement_arguments "$@"
require_display_tools

# The yardstick is Debian's; Debian keeps games out of the usual PATH.
find_xfishtank() { PATH="$PATH:/usr/games" command -v xfishtank || true; }
XFISHTANK=$(find_xfishtank)
if [ -z "$XFISHTANK" ]; then
  install_debian_package xfishtank || true
  XFISHTANK=$(find_xfishtank)
fi
[ -n "$XFISHTANK" ] || echo "Note: xfishtank could not be installed; measuring without it" >&2
if [ -n "$PROFILE" ]; then
  mkdir -p "$PROFILE" && PROFILE=$(cd "$PROFILE" && pwd) || usage
  command -v perf >/dev/null || install_debian_package linux-perf || true
  command -v perf >/dev/null || { echo "perf is not installed" >&2; exit 2; }
fi

# name, window title to wait for ("" for none), command.
NAMES=(aquarium floor partial)
declare -A TITLE=([aquarium]='^Velmaro$' [floor]='^Velmaro floor window$'
                  [partial]='^Velmaro partial floor window$' [xfishtank]='' [against]='^Velmaro$')
declare -A LABEL=([aquarium]='Velmaro' [floor]='floor, whole repaint' [partial]='floor, five squares'
                  [xfishtank]='xfishtank -f 5' [against]='Velmaro, --against')
[ -n "$XFISHTANK" ] && NAMES+=(xfishtank)
[ -n "$AGAINST" ] && NAMES+=(against)

# Run in the background: the subshell becomes the program. Its messages are
# kept, to be shown if it ends too early.
start_program() {
  local name="$1" folder="$2"
  cd "$folder"
  exec 2>"$name.errors"
  case "$name" in
    aquarium) exec "$AQUARIUM" ;;
    floor) exec "$FLOOR" ;;
    partial) exec "$FLOOR" --partial ;;
    xfishtank) exec "$XFISHTANK" -f 5 ;;
    against) exec "$AGAINST" ;;
  esac
}
# Says which programs have ended, with their last messages.
report_ended() {
  local name folder="$1"
  for name in "${NAMES[@]}"; do
    running "${CLIENT[$name]}" && continue
    echo "$name has ended; its last messages:" >&2
    tail -n 5 "$folder/$name.errors" >&2
  done
}

# Closes the aquarium as a user would, so that it saves "SET"; a key sent while
# the focus is still on its way is lost, so it is pressed until it takes.
close_aquarium() {
  local pid="$1" window
  window=$(xdotool search --onlyvisible --name '^Velmaro$' 2>/dev/null | head -n 1) || true
  for _ in $(seq 10); do
    running "$pid" || break
    [ -n "$window" ] &&
      timeout 5 xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4 2>/dev/null || true
    wait_for 1 ended "$pid" || true
  done
  if running "$pid"; then
    echo "The aquarium did not close on Alt+F4; ending it" >&2
    kill "$pid" 2>/dev/null || true
  fi
  wait "$pid" 2>/dev/null || true
  forget "$pid"
}

ready() {
  local name
  for name in "${NAMES[@]}"; do
    running "${CLIENT[$name]}" || return 1
    if [ -n "${TITLE[$name]}" ]; then
      DISPLAY="${SCREEN[$name]}" visible "${TITLE[$name]}" || return 1
    fi
  done
}

echo "Load average before measuring: $(cut -d' ' -f1-3 /proc/loadavg)"
# One line per round: for each program in NAMES, its CPU % of one core, its
# display server's, and its peak resident KiB.
results=()
for round in $(seq "$ROUNDS"); do
  declare -A CLIENT=() SERVER=() SCREEN=() C0=() S0=() C1=() S1=() PEAK=()
  folder=$(mktemp -d)
  folders+=("$folder")
  # Five fish: MaxIndex 4, kinds red, black, red, black, red, red.
  printf '\x04\x00\x00\x00\x01\x00\x00\x00\x01\x00\x00\x00\x00\x00' >"$folder/SET"
  for name in "${NAMES[@]}"; do
    start_display
    SERVER[$name]=$DISPLAY_SERVER
    SCREEN[$name]=$DISPLAY
    start_program "$name" "$folder" &
    CLIENT[$name]=$!
    pids+=("$!")
  done
  wait_for 20 ready || { report_ended "$folder"; echo "The programs did not all appear" >&2; exit 1; }
  # Start-up work (fonts, pictures, the first paint) is not what is measured.
  sleep 2

  start=$(now)
  for name in "${NAMES[@]}"; do
    C0[$name]=$(cpu_ns "${CLIENT[$name]}"); S0[$name]=$(cpu_ns "${SERVER[$name]}")
  done
  sleep "$SPAN"  # the measuring window itself
  for name in "${NAMES[@]}"; do
    C1[$name]=$(cpu_ns "${CLIENT[$name]}"); S1[$name]=$(cpu_ns "${SERVER[$name]}")
  done
  end=$(now)
  line=""
  for name in "${NAMES[@]}"; do
    running "${CLIENT[$name]}" || { report_ended "$folder"; exit 1; }
    PEAK[$name]=$(peak_kib "${CLIENT[$name]}")
    line+=$(awk -v c0="${C0[$name]}" -v c1="${C1[$name]}" -v s0="${S0[$name]}" -v s1="${S1[$name]}" \
                -v t0="$start" -v t1="$end" -v peak="${PEAK[$name]}" \
                'BEGIN { s = t1 - t0; printf "%.4f %.4f %d ", 100 * (c1 - c0) / 1e9 / s, 100 * (s1 - s0) / 1e9 / s, peak }')
  done
  results+=("$line")

  export DISPLAY="${SCREEN[aquarium]}"
  close_aquarium "${CLIENT[aquarium]}"
  [ "$(stat -c %s "$folder/SET")" -eq 14 ] || echo "Note: the aquarium did not leave a 14-byte SET" >&2
  cleanup
  rm -rf "$folder"

  printf 'Round %d of %d (%d s), %% of one core, program + X server = total; peak RSS\n' "$round" "$ROUNDS" "$SPAN"
  set -- $line
  for name in "${NAMES[@]}"; do
    awk -v label="${LABEL[$name]}" -v c="$1" -v s="$2" -v p="$3" \
        'BEGIN { printf "  %-22s %.3f + %.3f = %.3f   %.1f MiB\n", label, c, s, c + s, p / 1024 }'
    shift 3
  done
done
echo "Load average after measuring: $(cut -d' ' -f1-3 /proc/loadavg)"

# The profile: the aquarium alone, perf sampling it and its display server.
if [ -n "$PROFILE" ]; then
  folder=$(mktemp -d)
  folders+=("$folder")
  printf '\x04\x00\x00\x00\x01\x00\x00\x00\x01\x00\x00\x00\x00\x00' >"$folder/SET"
  start_display
  server=$DISPLAY_SERVER
  (cd "$folder" && exec "$AQUARIUM" 2>/dev/null) &
  aquarium=$!
  pids+=("$aquarium")
  wait_for 20 visible '^Velmaro$' || { echo "The aquarium did not appear" >&2; exit 1; }
  sleep 2
  perf record -q -g -F 2000 -p "$aquarium" -o "$PROFILE/velmaro.perf" -- sleep "$SPAN" 2>/dev/null &
  client_perf=$!
  perf record -q -g -F 2000 -p "$server" -o "$PROFILE/xserver.perf" -- sleep "$SPAN" 2>/dev/null
  wait "$client_perf" || true
  close_aquarium "$aquarium"
  cleanup
  echo "Profiles in $PROFILE; read them with: perf report --children -i $PROFILE/velmaro.perf"
fi

# Medians over the rounds, the ratios of the aquarium's total to each
# yardstick's (median of the rounds' ratios), then the verdicts.
printf '%s\n' "${results[@]}" | awk -v rounds="$ROUNDS" -v names="${NAMES[*]}" \
    -v labels="$(for n in "${NAMES[@]}"; do printf '%s;' "${LABEL[$n]}"; done)" '
  function median(values, count,   i, j, t) {
    for (i = 2; i <= count; i++)
      for (j = i; j > 1 && values[j - 1] > values[j]; j--) { t = values[j]; values[j] = values[j - 1]; values[j - 1] = t }
    return count % 2 ? values[(count + 1) / 2] : (values[count / 2] + values[count / 2 + 1]) / 2
  }
  function column(c,   v, i) { for (i = 1; i <= NR; i++) v[i] = cell[i, c]; return median(v, NR) }
  function total(i, p) { return cell[i, 3 * p - 2] + cell[i, 3 * p - 1] }
  function ratio(p,   v, i) { for (i = 1; i <= NR; i++) v[i] = total(i, p) > 0 ? total(i, 1) / total(i, p) : 1e9; return median(v, NR) }
  function totals(p,   v, i) { for (i = 1; i <= NR; i++) v[i] = total(i, p); return median(v, NR) }
  { for (c = 1; c <= NF; c++) cell[NR, c] = $c }
  END {
    n = split(names, name, " "); split(labels, label, ";")
    printf "\nMedians of %d round%s, %% of one core from the scheduler clock\n", rounds, (rounds > 1 ? "s" : "")
    printf "  %-22s %8s %8s %8s %10s %14s\n", "", "program", "X server", "total", "peak RSS", "Velmaro / it"
    for (p = 1; p <= n; p++)
      printf "  %-22s %8.3f %8.3f %8.3f %6.1f MiB %14s\n", label[p], column(3 * p - 2), column(3 * p - 1),
             totals(p), column(3 * p) / 1024, p == 1 ? "" : sprintf("%.2f", ratio(p))
    floor_ratio = ratio(2); peak = column(3) / 1024; floor_peak = column(6) / 1024
    ok1 = floor_ratio <= 0.9; ok2 = peak <= floor_peak + 6
    printf "  %s  Velmaro total at most 0.9 x the floor total (%.2f)\n", ok1 ? "PASS" : "FAIL", floor_ratio
    printf "  %s  Velmaro peak RSS at most the floor'"'"'s + 6 MiB (%.1f against %.1f MiB)\n", ok2 ? "PASS" : "FAIL",
           peak, floor_peak + 6
    exit ok1 && ok2 ? 0 : 3
  }'
