# Figure on a headless KWin (with-staged-install.sh, with-wayland-desktop.sh
# kwin), into a native Wayland window (wev): from running "quindorel
# --toggle" (the installed copy, which KWin lets in) to the key-down reaching
# the window, read when wev's client read it (CLOCK_MONOTONIC), beside the
# same key sent through fake input alone by a program that does nothing else
# (the test driver), timed the same way.
source "$(dirname "$0")/lib.sh"
unset QT_QPA_PLATFORM
rounds=${ROUNDS:-5}
PROGRAM=${QUINDOREL_STAGED_PROGRAM:?the installed program}
source "$(dirname "$0")/native_lib.sh"
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

: >"$WORK/ours"
: >"$WORK/peer"
for _ in $(seq 1 "$rounds"); do
  focus
  toggle_ms >>"$WORK/ours"
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
