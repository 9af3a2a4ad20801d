# Virtual displays with a window manager, the processes started on them, and
# what is read of those processes. Sourced by the measuring scripts.

require_display_tools() {
  local tool
  for tool in Xvfb openbox xdotool xprop timeout; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 2; }
  done
}

# The measuring scripts' arguments: BUILD_FOLDER [SECONDS] [--rounds N], and
# --profile FOLDER where the script's usage offers it. Sets BUILD (made
# absolute: the programs run in folders of their own), SPAN, ROUNDS and
# PROFILE, and AQUARIUM and FLOOR, the programs measured; calls usage on
# anything else.
read_measurement_arguments() {
  BUILD="" SPAN=30 ROUNDS=1 PROFILE="" AGAINST=""
  local positional=0
  while [ $# -gt 0 ]; do
    case "$1" in
      --rounds) [ $# -ge 2 ] || usage; ROUNDS="$2"; shift 2 ;;
      --rounds=*) ROUNDS="${1#--rounds=}"; shift ;;
      --profile) [ $# -ge 2 ] && [ "${PROFILE_OFFERED:-}" = yes ] || usage; PROFILE="$2"; shift 2 ;;
      --against) [ $# -ge 2 ] && [ "${AGAINST_OFFERED:-}" = yes ] || usage; AGAINST="$2"; shift 2 ;;
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
  BUILD=$(cd "$BUILD" && pwd) || usage
  [[ "$SPAN" =~ ^[1-9][0-9]*$ ]] || { echo "SECONDS must be a whole number above 0" >&2; exit 2; }
  [[ "$ROUNDS" =~ ^[1-9][0-9]*$ ]] || { echo "--rounds takes a whole number above 0" >&2; exit 2; }
  AQUARIUM="$BUILD/velmaro"
  FLOOR="$BUILD/velmaro_floor_window"
  local program
  [ -z "$AGAINST" ] || AGAINST=$(cd "$(dirname "$AGAINST")" && pwd)/$(basename "$AGAINST") || usage
  for program in "$AQUARIUM" "$FLOOR" ${AGAINST:+"$AGAINST"}; do
    [ -x "$program" ] || { echo "$program is missing: build the project first" >&2; exit 2; }
  done
}

# Installs a Debian package for the measurement alone (the tests never need
# it); false when that cannot be done here.
install_debian_package() {
  command -v apt-get >/dev/null || return 1
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || return 1
    sudo=(sudo)
  fi
  echo "Installing $* for the measurement" >&2
  "${sudo[@]}" apt-get update -qq >&2 &&
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "$@" >&2
}

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
# Ends everything started so far, newest first: the programs before their
# window managers and displays.
cleanup() {
  local i folder
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do stop "${pids[i]}"; done
  for folder in "${folders[@]}"; do rm -rf "$folder"; done
  folders=()
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

# Starts Xvfb on a free display and openbox on it; exports DISPLAY and a
# private XDG_RUNTIME_DIR, as a logged-in desktop user would have, and sets
# DISPLAY_SERVER to the server's process number.
start_display() {
  local scratch number
  scratch=$(mktemp -d)
  folders+=("$scratch")
  # Xvfb picks a free display number and writes it to the pipe.
  mkfifo "$scratch/display"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -dpi 96 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
  DISPLAY_SERVER=$!
  pids+=("$DISPLAY_SERVER")
  read -r -t 10 number <"$scratch/display" || { echo "Xvfb did not start" >&2; exit 1; }
  export DISPLAY=":$number"
  unset WAYLAND_DISPLAY QT_QPA_PLATFORM
  mkdir -m 700 "$scratch/runtime"
  export XDG_RUNTIME_DIR="$scratch/runtime"
  openbox >/dev/null 2>&1 &
  pids+=($!)
  # A window mapped while the window manager is still starting may be lost.
  wait_for 10 wm_ready || { echo "openbox did not start" >&2; exit 1; }
}
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

visible() { [ -n "$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)" ]; }
# CPU time of a whole process in nanoseconds, from the scheduler, summed over
# its live threads (a thread that ends within the window takes its time along,
# and one that ends while being read is simply left out).
cpu_ns() {
  { cat /proc/"$1"/task/*/schedstat 2>/dev/null || true; } | awk '{ s += $1 } END { printf "%.0f", s }'
}
peak_kib() { awk '/^VmHWM:/ { print $2 }' "/proc/$1/status"; }
now() { date +%s.%N; }
