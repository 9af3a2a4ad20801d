#!/usr/bin/env bash
# What the aquarium (five fish) costs minimised, against the same aquarium
# shown and against the toolkit's idle floor: a bare Qt window whose 100 ms
# timer fires but repaints nothing (velmaro_floor_window --idle). The three
# run at the same time, each on a virtual display and window manager of its
# own, so that the CPU time of each display server belongs to one program;
# the minimised aquarium is minimised through the window manager
# (xdotool windowminimize), as a user would.
# Usage: minimised.sh BUILD_FOLDER [SECONDS] [--rounds N]
#   SECONDS  length of each measuring window (default 30)
#   --rounds N  repeat N times, each with fresh displays and programs, and
#               judge the medians (default 1)
# Bar: the minimised aquarium's total (program + X server) at most 1.5 x the
# idle floor's total (median of the rounds' ratios). The total, as in
# cpu-memory.sh, is what the machine pays; minimised, the X server has next
# to nothing left to do for either, and the program's own ratio is printed
# beside it.
# Exit status: 0 when the bar is met, 3 when it is missed, 1 or 2 when the
# measurement could not be made.
set -euo pipefail

usage() { echo "Usage: $0 BUILD_FOLDER [SECONDS] [--rounds N]" >&2; exit 2; }

source "$(dirname "${BASH_SOURCE[0]}")/displays.sh"
read_measurement_arguments "$@"
require_display_tools

NAMES=(shown minimised idle)
declare -A TITLE=([shown]='^Velmaro$' [minimised]='^Velmaro$' [idle]='^Velmaro idle floor window$')
declare -A LABEL=([shown]='Velmaro shown' [minimised]='Velmaro minimised' [idle]='idle floor window')

# Run in the background: the subshell becomes the program.
start_program() {
  local name="$1" folder="$2"
  cd "$folder"
  exec 2>"$name.errors"
  case "$name" in
    shown | minimised) exec "$AQUARIUM" ;;
    idle) exec "$FLOOR" --idle ;;
  esac
}
report_ended() {
  local name folder="$1"
  for name in "${NAMES[@]}"; do
    running "${CLIENT[$name]}" && continue
    echo "$name has ended; its last messages:" >&2
    tail -n 5 "$folder/$name/$name.errors" >&2
  done
}
ready() {
  local name
  for name in "${NAMES[@]}"; do
    running "${CLIENT[$name]}" || return 1
    DISPLAY="${SCREEN[$name]}" visible "${TITLE[$name]}" || return 1
  done
}
iconic() { xprop -id "$1" WM_STATE 2>/dev/null | grep -q Iconic; }

echo "Load average before measuring: $(cut -d' ' -f1-3 /proc/loadavg)"
# One line per round: for each program in NAMES, its CPU % of one core and
# its display server's.
results=()
for round in $(seq "$ROUNDS"); do
  declare -A CLIENT=() SERVER=() SCREEN=() C0=() S0=() C1=() S1=()
  folder=$(mktemp -d)
  folders+=("$folder")
  for name in "${NAMES[@]}"; do
    # Five fish, as in cpu-memory.sh; each aquarium in a folder of its own.
    mkdir "$folder/$name"
    printf '\x04\x00\x00\x00\x01\x00\x00\x00\x01\x00\x00\x00\x00\x00' >"$folder/$name/SET"
    start_display
    SERVER[$name]=$DISPLAY_SERVER
    SCREEN[$name]=$DISPLAY
    start_program "$name" "$folder/$name" &
    CLIENT[$name]=$!
    pids+=("$!")
  done
  wait_for 20 ready || { report_ended "$folder"; echo "The programs did not all appear" >&2; exit 1; }

  export DISPLAY="${SCREEN[minimised]}"
  window=$(xdotool search --onlyvisible --name '^Velmaro$' | head -n 1)
  xdotool windowminimize "$window"
  wait_for 10 iconic "$window" || { echo "The aquarium did not minimise" >&2; exit 1; }
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
  iconic "$window" || { echo "The aquarium did not stay minimised" >&2; exit 1; }
  line=""
  for name in "${NAMES[@]}"; do
    running "${CLIENT[$name]}" || { report_ended "$folder"; exit 1; }
    line+=$(awk -v c0="${C0[$name]}" -v c1="${C1[$name]}" -v s0="${S0[$name]}" -v s1="${S1[$name]}" \
                -v t0="$start" -v t1="$end" \
                'BEGIN { s = t1 - t0; printf "%.4f %.4f ", 100 * (c1 - c0) / 1e9 / s, 100 * (s1 - s0) / 1e9 / s }')
  done
  results+=("$line")
  # SIGTERM ends the aquarium as a closed window does; nothing here is kept.
  cleanup

  printf 'Round %d of %d (%d s), %% of one core, program + X server = total\n' "$round" "$ROUNDS" "$SPAN"
  set -- $line
  for name in "${NAMES[@]}"; do
    awk -v label="${LABEL[$name]}" -v c="$1" -v s="$2" \
        'BEGIN { printf "  %-20s %.3f + %.3f = %.3f\n", label, c, s, c + s }'
    shift 2
  done
done
echo "Load average after measuring: $(cut -d' ' -f1-3 /proc/loadavg)"

# Medians over the rounds; each ratio is the median of the rounds' ratios.
printf '%s\n' "${results[@]}" | awk -v rounds="$ROUNDS" '
  function median(values, count,   i, j, t) {
    for (i = 2; i <= count; i++)
      for (j = i; j > 1 && values[j - 1] > values[j]; j--) { t = values[j]; values[j] = values[j - 1]; values[j - 1] = t }
    return count % 2 ? values[(count + 1) / 2] : (values[count / 2] + values[count / 2 + 1]) / 2
  }
  function program(i, p) { return cell[i, 2 * p - 1] }
  function total(i, p) { return cell[i, 2 * p - 1] + cell[i, 2 * p] }
  function column(c,   v, i) { for (i = 1; i <= NR; i++) v[i] = cell[i, c]; return median(v, NR) }
  function totals(p,   v, i) { for (i = 1; i <= NR; i++) v[i] = total(i, p); return median(v, NR) }
  function ratio(a, b,   v, i) { for (i = 1; i <= NR; i++) v[i] = total(i, b) > 0 ? total(i, a) / total(i, b) : 1e9; return median(v, NR) }
  function own(a, b,   v, i) { for (i = 1; i <= NR; i++) v[i] = program(i, b) > 0 ? program(i, a) / program(i, b) : 1e9; return median(v, NR) }
  { for (c = 1; c <= NF; c++) cell[NR, c] = $c }
  END {
    split("Velmaro shown;Velmaro minimised;idle floor window", label, ";")
    printf "\nMedians of %d round%s, %% of one core from the scheduler clock\n", rounds, (rounds > 1 ? "s" : "")
    printf "  %-20s %8s %8s %8s %12s %12s\n", "", "program", "X server", "total", "/ idle total", "/ idle own"
    for (p = 1; p <= 3; p++)
      printf "  %-20s %8.3f %8.3f %8.3f %12.2f %12.2f\n", label[p], column(2 * p - 1), column(2 * p), totals(p),
             ratio(p, 3), own(p, 3)
    printf "  minimised / shown: %.2f of the total, %.2f of the program'"'"'s own\n", ratio(2, 1), own(2, 1)
    bar = ratio(2, 3); ok = bar <= 1.5
    printf "  %s  Velmaro minimised, total at most 1.5 x the idle floor'"'"'s total (%.2f)\n", ok ? "PASS" : "FAIL", bar
    exit ok ? 0 : 3
  }'
