# Figure on a headless KWin (with-staged-install.sh, with-wayland-desktop.sh
# kwin), into a native Wayland window (wev): from running "quindorel
# --toggle" (the installed copy, which KWin lets in) to the key-down reaching
# the window, read when wev's client read it (CLOCK_MONOTONIC), beside the
# same key sent through fake input alone by a program that does nothing else
# (the test driver), timed the same way.
source "$(dirname "$0")/lib.sh"
unset QT_QPA_PLATFORM
rounds=${ROUNDS:-5}
command -v wev >/dev/null || { echo "wev missing" >&2; exit 1; }
PROGRAM=${QUINDOREL_STAGED_PROGRAM:?the installed program}
now_ms() { python3 -c 'import time; print(time.monotonic_ns() // 1000000)'; }
log=$WORK/wev.log
: >"$log"
# Each line of wev's with the moment it was read.
stdbuf -oL wev 2>&1 | python3 -u -c '
import sys, time
for line in sys.stdin:
    sys.stdout.write("%d %s" % (time.monotonic_ns() // 1000000, line))' >"$log" &
STARTED+=($!)
for _ in $(seq 1 100); do grep -q 'xdg_toplevel\] configure' "$log" && break; sleep 0.05; done
fresh_home native
write_settings BackupSwitch=Off Text1=1 Option1=True Option2=False OftenIndex=2
# start_program KEYS: the program with those keys marked.
start_program() {
  printf '%s\r\n' "$1" >"$TEMP/xsettings.txt"
  "$PROGRAM" >>"$WORK/program.log" 2>&1 &
  program=$!
  STARTED+=($program)
  wait_window '^Quindorel$' >/dev/null || { echo "no program window" >&2; exit 1; }
  sleep 1
}
start_program 65,
# KWin gives wev the keyboard, through a script as the program's are run.
focus() {
  echo 'for (const w of workspace.clientList()) if (w.resourceClass == "wev") workspace.activeClient = w;' >"$WORK/focus.js"
  gdbus call --session --dest org.kde.KWin --object-path /Scripting \
    --method org.kde.kwin.Scripting.unloadScript bench-focus >/dev/null
  sleep 0.1
  gdbus call --session --dest org.kde.KWin --object-path /Scripting \
    --method org.kde.kwin.Scripting.loadScript "$WORK/focus.js" bench-focus >/dev/null
  gdbus call --session --dest org.kde.KWin --object-path /Scripting --method org.kde.kwin.Scripting.start >/dev/null
  sleep 0.2
}
# arrival LINE STATE: when the Nth key event of that state (1 down, 0 up) was read.
arrival() {
  local end=$((SECONDS + 10)) t
  while [ "$SECONDS" -lt "$end" ]; do
    t=$(grep -E "key: [0-9]+; state: $2" "$log" | sed -n "${1}p" | cut -d' ' -f1)
    [ -n "$t" ] && { echo "$t"; return 0; }
    sleep 0.01
  done
  return 1
}
downs() { grep -cE 'key: [0-9]+; state: 1' "$log"; }

: >"$WORK/ours"
: >"$WORK/peer"
for _ in $(seq 1 "$rounds"); do
  focus
  n=$(($(downs) + 1))
  t0=$(now_ms)
  "$PROGRAM" --toggle >/dev/null
  down=$(arrival "$n" 1) || { echo "no key-down from --toggle" >&2; exit 1; }
  echo $((down - t0)) >>"$WORK/ours"
  "$PROGRAM" --toggle >/dev/null
  sleep 0.3
  # The same key through KWin's fake input alone (the test driver, let in
  # by an entry of its own), timed the same way.
  n=$(($(downs) + 1))
  t0=$(now_ms)
  "$BUILD/tests/wayland/wayland_driver" +65 >/dev/null
  down=$(arrival "$n" 1) || { echo "no key-down from the driver" >&2; exit 1; }
  echo $((down - t0)) >>"$WORK/peer"
  "$BUILD/tests/wayland/wayland_driver" -65 >/dev/null
  sleep 0.3
done
result kde_toggle_ms "$(median <"$WORK/ours")"
result kde_driver_ms "$(median <"$WORK/peer")"
