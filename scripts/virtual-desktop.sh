#!/usr/bin/env bash
# Runs a program on a virtual X display (Xvfb) with the openbox window manager,
# both started by tests/x11/with-x-server.sh, saves a screenshot of it once its
# window shows, and says where. On a terminal it keeps running until the
# program ends or Ctrl+C; otherwise it stops there.
set -euo pipefail
if [ "${1:-}" != --on-display ]; then
  exec "$(dirname "$0")/../tests/x11/with-x-server.sh" --wm "$0" --on-display "$@"
fi
program=$2
shot=${SCREENSHOT:-$(dirname "$program")/screenshot.png}

"$program" &
pid=$!
# The program ends first (it lets go of held keys); with-x-server.sh then
# stops the window manager and the display.
stop_program() {
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}
trap stop_program EXIT INT TERM

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
  wait "$pid"
fi
