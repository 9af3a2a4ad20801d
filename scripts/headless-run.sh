#!/usr/bin/env bash
# Runs the aquarium for a few seconds on a virtual display, saves a picture of
# its window in the current folder and prints the file's name.
# Usage: headless-run.sh BUILD_FOLDER
set -euo pipefail
BUILD="$1"
SECONDS_TO_RUN=4
PICTURE="$PWD/velmaro-screenshot.png"

pids=()
runtime=""
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  [ -n "$runtime" ] && rm -rf "$runtime"
}
trap cleanup EXIT

# Xvfb picks a free display number and writes it to the pipe.
scratch=$(mktemp -d)
mkfifo "$scratch/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
pids+=($!)
read -r -t 10 number <"$scratch/display" || { echo "Xvfb did not start" >&2; exit 1; }
rm -rf "$scratch"
export DISPLAY=":$number"
# A private runtime folder, as a desktop session would have.
runtime=$(mktemp -d)
export XDG_RUNTIME_DIR="$runtime"
openbox >/dev/null 2>&1 &
pids+=($!)
# A window mapped while the window manager is still starting may be lost.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done

"$BUILD/velmaro" &
velmaro=$!
pids+=("$velmaro")

window=""
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name '^Velmaro$' 2>/dev/null | head -n 1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "The aquarium window did not appear" >&2; exit 1; }

sleep "$SECONDS_TO_RUN"
"$BUILD/velmaro_snapshot" "$window" "$PICTURE"

# Close it as a user would, so that "SET" is saved.
# A key sent while the focus is still on its way is lost: press it again.
for _ in $(seq 10); do
  kill -0 "$velmaro" 2>/dev/null || break
  xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4 2>/dev/null || true
  for _ in $(seq 10); do kill -0 "$velmaro" 2>/dev/null || break; sleep 0.1; done
done

echo "Saved a picture of the aquarium: $PICTURE"
