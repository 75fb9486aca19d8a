#!/usr/bin/env bash
# Runs a command on a private Xvfb display, optionally under openbox:
#   with-x-server.sh [--wm] command [arguments...]
# (with-wayland-desktop.sh runs one on a Wayland desktop's Xwayland.)
# The display number comes from Xvfb itself (-displayfd), so tests can run
# side by side. Everything started here is stopped on the way out.
set -u
wm=0
case ${1:-} in --wm) wm=1; shift ;; esac

command -v Xvfb >/dev/null || { echo "with-x-server.sh: Xvfb is not installed" >&2; exit 1; }
tmp=$(mktemp -d)
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[$i]}" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$tmp"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$tmp/display" 2>"$tmp/xvfb.log" &
pids+=($!)
for _ in $(seq 1 200); do
  [ -s "$tmp/display" ] && break
  sleep 0.05
done
[ -s "$tmp/display" ] || { echo "with-x-server.sh: Xvfb did not start" >&2; cat "$tmp/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$tmp/display")"

if [ "$wm" = 1 ]; then
  command -v openbox >/dev/null || { echo "with-x-server.sh: openbox is not installed" >&2; exit 1; }
  HOME="$tmp" openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
  pids+=($!)
  # The window manager is ready once it has announced itself and manages a
  # window: a probe window of xev's gets its WM_STATE from openbox. A window
  # mapped while openbox is still starting can be missed, so a probe that
  # stays unmanaged is replaced.
  ready=0
  for _ in $(seq 1 200); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.05
  done
  for attempt in 1 2 3 4 5; do
    xev -name "quindorel-wm-probe-$attempt" >/dev/null 2>&1 &
    probe=$!
    for _ in $(seq 1 40); do
      if xprop -name "quindorel-wm-probe-$attempt" WM_STATE 2>/dev/null | grep -q 'window state'; then
        ready=1; break
      fi
      sleep 0.05
    done
    kill "$probe" 2>/dev/null; wait "$probe" 2>/dev/null
    [ "$ready" = 1 ] && break
  done
  [ "$ready" = 1 ] || { echo "with-x-server.sh: openbox did not start" >&2; cat "$tmp/openbox.log" >&2; exit 1; }
  export QUINDOREL_TEST_WM=openbox
else
  export QUINDOREL_TEST_WM=none
fi

"$@"
