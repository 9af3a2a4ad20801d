#!/usr/bin/env bash
# Runs the aquarium (five fish) and the toolkit's floor window side by side on
# a virtual display and compares their CPU and peak memory.
# Usage: cpu-memory.sh BUILD_FOLDER [SECONDS] [--rounds N]
#   SECONDS  length of each measuring window (default 30)
#   --rounds N  repeat N times, each with freshly started programs, and judge
#               the medians (default 1)
# Bars: aquarium CPU at most 1.25 x the floor's and at most 1 % of one core;
# aquarium peak resident memory at most 40 MiB.
set -euo pipefail

usage() { echo "Usage: $0 BUILD_FOLDER [SECONDS] [--rounds N]" >&2; exit 2; }

BUILD=""
SPAN=30
ROUNDS=1
positional=0
while [ $# -gt 0 ]; do
  case "$1" in
    --rounds) [ $# -ge 2 ] || usage; ROUNDS="$2"; shift 2 ;;
    --rounds=*) ROUNDS="${1#--rounds=}"; shift ;;
    -h|--help) usage ;;
    *)
      positional=$((positional + 1))
      case $positional in
        1) BUILD="$1" ;;
        2) SPAN="$1" ;;
        *) usage ;;
      esac
      shift ;;
  esac
done
[ -n "$BUILD" ] || usage
# The programs run in folders of their own: the build folder must not depend
# on where this script was started.
BUILD=$(cd "$BUILD" && pwd) || usage
[[ "$SPAN" =~ ^[1-9][0-9]*$ ]] || { echo "SECONDS must be a whole number above 0" >&2; exit 2; }
[[ "$ROUNDS" =~ ^[1-9][0-9]*$ ]] || { echo "--rounds takes a whole number above 0" >&2; exit 2; }

AQUARIUM="$BUILD/velmaro"
FLOOR="$BUILD/velmaro_floor_window"
for program in "$AQUARIUM" "$FLOOR"; do
  [ -x "$program" ] || { echo "$program is missing: build the project first" >&2; exit 2; }
done
for tool in Xvfb openbox xdotool xprop timeout; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 2; }
done

TICKS_PER_SECOND=$(getconf CLK_TCK)

# Polls COMMAND every 0.1 s until it succeeds or LIMIT seconds have passed.
wait_for() {
  local limit="$1"
  shift
  local deadline=$((SECONDS + limit))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# An ended child may linger as a zombie for a moment, and signals still reach it.
running() {
  local state
  state=$(sed 's/^.*) //' "/proc/$1/stat" 2>/dev/null | cut -d' ' -f1)
  [ -n "$state" ] && [ "$state" != Z ]
}
ended() { ! running "$1"; }

pids=()
folders=()
# A reaped process's number may be reused: never signal it again.
forget() {
  local kept=() pid
  for pid in "${pids[@]}"; do [ "$pid" = "$1" ] || kept+=("$pid"); done
  pids=("${kept[@]}")
}
stop() {
  local pid="$1"
  kill "$pid" 2>/dev/null || true
  wait_for 5 ended "$pid" || kill -KILL "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  forget "$pid"
}
cleanup() {
  local i folder
  # Newest first: the programs before the window manager and the display.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do stop "${pids[i]}"; done
  for folder in "${folders[@]}"; do rm -rf "$folder"; done
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# Xvfb picks a free display number and writes it to the pipe.
scratch=$(mktemp -d)
folders+=("$scratch")
mkfifo "$scratch/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
pids+=($!)
read -r -t 10 number <"$scratch/display" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
# A private runtime folder, as a logged-in desktop user would have.
runtime=$(mktemp -d)
folders+=("$runtime")
export XDG_RUNTIME_DIR="$runtime"
openbox >/dev/null 2>&1 &
pids+=($!)
# A window mapped while the window manager is still starting may be lost.
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
wait_for 10 wm_ready || { echo "openbox did not start" >&2; exit 1; }

visible() { [ -n "$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)" ]; }
# User plus system time of the whole process, all its threads, in clock ticks.
cpu_ticks() { sed 's/^.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }
# The same in nanoseconds from the scheduler, summed over the live threads:
# finer than clock ticks, but blind to threads that end in the window.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f", s }'; }
peak_kib() { awk '/^VmHWM:/ { print $2 }' "/proc/$1/status"; }
now() { date +%s.%N; }
both_visible() { visible '^Velmaro$' && visible '^Velmaro floor window$'; }

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

# One line per round: aquarium CPU %, floor CPU %, their ratio, aquarium and
# floor peak KiB, then the two CPU figures again from the scheduler's clock.
results=()
for round in $(seq "$ROUNDS"); do
  folder=$(mktemp -d)
  folders+=("$folder")
  # Five fish: MaxIndex 4, kinds red, black, red, black, red, red.
  printf '\x04\x00\x00\x00\x01\x00\x00\x00\x01\x00\x00\x00\x00\x00' >"$folder/SET"

  (cd "$folder" && exec "$AQUARIUM") &
  aquarium=$!
  pids+=("$aquarium")
  (cd "$folder" && exec "$FLOOR") &
  floor=$!
  pids+=("$floor")
  wait_for 20 both_visible || { echo "The two windows did not both appear" >&2; exit 1; }

  start=$(now)
  a0=$(cpu_ticks "$aquarium"); as0=$(cpu_ns "$aquarium")
  f0=$(cpu_ticks "$floor"); fs0=$(cpu_ns "$floor")
  sleep "$SPAN"  # the measuring window itself
  a1=$(cpu_ticks "$aquarium"); as1=$(cpu_ns "$aquarium")
  f1=$(cpu_ticks "$floor"); fs1=$(cpu_ns "$floor")
  end=$(now)
  aquarium_peak=$(peak_kib "$aquarium")
  floor_peak=$(peak_kib "$floor")
  for pid in "$aquarium" "$floor"; do
    running "$pid" || { echo "A program ended during the measurement" >&2; exit 1; }
  done

  close_aquarium "$aquarium"
  stop "$floor"
  [ "$(stat -c %s "$folder/SET")" -eq 14 ] || echo "Note: the aquarium did not leave a 14-byte SET" >&2
  rm -rf "$folder"

  line=$(awk -v a0="$a0" -v a1="$a1" -v f0="$f0" -v f1="$f1" -v as0="$as0" -v as1="$as1" \
             -v fs0="$fs0" -v fs1="$fs1" -v t0="$start" -v t1="$end" -v hz="$TICKS_PER_SECOND" \
             -v ap="$aquarium_peak" -v fp="$floor_peak" 'BEGIN {
    s = t1 - t0
    a = 100 * (a1 - a0) / hz / s; f = 100 * (f1 - f0) / hz / s
    printf "%.4f %.4f %.4f %d %d %.4f %.4f", a, f, (f > 0 ? a / f : 1e9), ap, fp,
           100 * (as1 - as0) / 1e9 / s, 100 * (fs1 - fs0) / 1e9 / s }')
  results+=("$line")
  read -r a f ratio ap fp as fs <<<"$line"
  awk -v r="$round" -v n="$ROUNDS" -v s="$SPAN" -v a="$a" -v f="$f" -v ratio="$ratio" \
      -v ap="$ap" -v fp="$fp" -v as="$as" -v fs="$fs" 'BEGIN {
    printf "Round %d of %d (%d s): CPU aquarium %.2f %%, floor %.2f %%, ratio %.2f", r, n, s, a, f, ratio
    printf " (scheduler clock: %.3f %%, %.3f %%, %.2f);", as, fs, (fs > 0 ? as / fs : 0)
    printf " peak RSS aquarium %.1f MiB, floor %.1f MiB\n", ap / 1024, fp / 1024 }'
done

# Medians of each column over the rounds, then the verdicts.
printf '%s\n' "${results[@]}" | awk -v rounds="$ROUNDS" '
  function median(column,   values, count, i, j, t) {
    count = 0
    for (i = 1; i <= NR; i++) values[++count] = cell[i, column]
    for (i = 2; i <= count; i++)
      for (j = i; j > 1 && values[j - 1] > values[j]; j--) { t = values[j]; values[j] = values[j - 1]; values[j - 1] = t }
    return count % 2 ? values[(count + 1) / 2] : (values[count / 2] + values[count / 2 + 1]) / 2
  }
  { for (c = 1; c <= 7; c++) cell[NR, c] = $c }
  END {
    a = median(1); f = median(2); ratio = median(3); ap = median(4) / 1024; fp = median(5) / 1024
    as = median(6); fs = median(7)
    label = rounds > 1 ? sprintf("medians of %d rounds", rounds) : "one round"
    printf "\nVelmaro, five fish, against the floor window (%s)\n", label
    printf "  CPU, %% of one core (utime+stime):  aquarium %.2f %%   floor %.2f %%\n", a, f
    printf "  CPU ratio aquarium / floor:        %.2f\n", ratio
    printf "  Scheduler clock, for comparison:   aquarium %.3f %%   floor %.3f %%\n", as, fs
    printf "  Peak RSS (VmHWM):                  aquarium %.1f MiB   floor %.1f MiB\n", ap, fp
    ok1 = ratio <= 1.25; ok2 = a <= 1.0; ok3 = ap <= 40
    printf "  %s  aquarium CPU at most 1.25 x the floor (%.2f)\n", ok1 ? "PASS" : "FAIL", ratio
    printf "  %s  aquarium CPU at most 1 %% of one core (%.2f %%)\n", ok2 ? "PASS" : "FAIL", a
    printf "  %s  aquarium peak RSS at most 40 MiB (%.1f MiB)\n", ok3 ? "PASS" : "FAIL", ap
    exit ok1 && ok2 && ok3 ? 0 : 3
  }'
