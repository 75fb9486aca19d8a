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
source "$(dirname "$0")/../tests/shell/kwin.sh"
focus() {
  kwin_script bench-focus 'if (w.resourceClass == "wev") workspace.activeClient = w;'
  sleep 0.2
}

# The same key through KWin's fake input alone (the test driver, let in by
# an entry of its own), timed the same way.
driver=$BUILD/tests/wayland/wayland_driver
timed_rounds kde_toggle_ms kde_driver_ms 0.3 "$driver" +65 -- "$driver" -65
