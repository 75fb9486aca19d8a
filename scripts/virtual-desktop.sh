#!/usr/bin/env bash
# Runs a program on a virtual X display (Xvfb) with the openbox window manager,
# saves a screenshot of it once its window shows, and says where. On a terminal
# it keeps running until the program ends or Ctrl+C; otherwise it stops there.
set -euo pipefail
program=$1
shot=${SCREENSHOT:-$(dirname "$program")/screenshot.png}
tmp=$(mktemp -d)
pids=()
cleanup() {
  # The program first (it lets go of held keys), then the window manager, then the display.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[$i]}" 2>/dev/null || true
    wait "${pids[$i]}" 2>/dev/null || true
  done
  rm -rf "$tmp"
}
trap cleanup EXIT INT TERM

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
pids+=($!)
for _ in $(seq 1 200); do [ -s "$tmp/display" ] && break; sleep 0.05; done
[ -s "$tmp/display" ] || { echo "Xvfb did not start:"; cat "$tmp/xvfb.log"; exit 1; }
export DISPLAY=":$(head -n1 "$tmp/display")"
HOME=$tmp openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 1 200); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done

"$program" &
pids+=($!)
xdotool search --sync --onlyvisible --name '^Quindorel$' >/dev/null 2>&1 &
search=$!
for _ in $(seq 1 100); do kill -0 "$search" 2>/dev/null || break; sleep 0.1; done
kill "$search" 2>/dev/null || true
sleep 1  # let it paint
xwd -root -silent | convert xwd:- "png:$shot"
echo "No X display was set, so Quindorel runs on a virtual display $DISPLAY (Xvfb with openbox)."
echo "Screenshot: $shot"
if [ -t 0 ]; then
  echo "Press Ctrl+C to stop."
  wait "${pids[-1]}"
fi
