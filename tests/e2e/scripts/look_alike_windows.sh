# Two native windows that look alike (two wevs: one app id, one title) on
# Sway: the one in front when --start comes gets the keys, and the pointer
# and the left button too, never the other; the same with the other in front.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/native_lib.sh"
unset QT_QPA_PLATFORM
[ "$E2E_WM" = sway ] || fail "not on Sway: $E2E_WM"

write_settings BackupSwitch=Off Text1=1 Option1=True Option2=False OftenIndex=2
write_keyset "65,1,"
start_wev
FIRST=$WEV FIRST_PID=${STARTED_PIDS[-1]}
WEV=$WORK/wev2.log
start_wev
SECOND=$WEV SECOND_PID=${STARTED_PIDS[-1]}
DRIVER=$(dirname "$RECORDER")/../wayland/wayland_driver
coproc mouse { exec "$DRIVER" mouse; }
STARTED_PIDS+=($mouse_PID)
read -r -t 10 ready <&"${mouse[0]}" && [ "$ready" = ready ] || fail "no mouse on the seat"
PROGRAM() { "$PROGRAM" "$@"; }
# The process of the window Sway has focused.
focused_pid() {
  swaymsg -t get_tree | python3 -c 'import json, sys
def walk(n):
    if n.get("focused"): print(n.get("pid"))
    for k in ("nodes", "floating_nodes"):
        for c in n.get(k, []): walk(c)
walk(json.load(sys.stdin))'
}
is_focused() { [ "$(focused_pid)" = "$1" ]; }

# hold_in LABEL PID LOG OTHER: a new copy, started and given --start with
# wev PID in front; A and the left button reach LOG and
# nothing reaches OTHER; then --stop.
hold_in() {
  local marks from log=$3
  # In front as the copy starts: the list's first row, which it chooses.
  swaymsg -q "[pid=$2] focus" || fail "$1: Sway did not focus wev $2"
  wait_for 10 is_focused "$2" || fail "$1: Sway did not focus wev $2"
  start_program
  program_window >/dev/null || fail "$1: the main window did not appear on X11"
  marks=$(grep -c 'state: 1' "$4")
  from=$(($(wc -l <"$3") + 1))
  # Our window first, as it comes up focused, then the wev.
  swaymsg -q '[title="^Quindorel$"] focus'
  wait_for 10 is_focused "$PROGRAM_PID" || fail "$1: Sway did not focus the program's window"
  swaymsg -q "[pid=$2] focus" || fail "$1: Sway did not focus wev $2"
  wait_for 10 is_focused "$2" || fail "$1: Sway did not focus wev $2"
  wait_for 10 bash -c "grep 'wl_keyboard\] \(enter\|leave\)' '$3' | tail -n 1 | grep -q enter" ||
    fail "$1: wev $2 did not get the keyboard"
  PROGRAM --start >"$WORK/start.out" 2>&1 || fail "$1: --start: $(cat "$WORK/start.out")"
  since() { wait_for 10 bash -c "tail -n +$from '$log' | grep -qE '$1'"; }
  since 'key: 38; state: 1' || problem "$1: no A down in the window in front"
  since 'button: 272 \(left\), state: 1' || problem "$1: no left button down in the window in front"
  PROGRAM --stop >/dev/null 2>&1 || problem "$1: --stop failed"
  since 'button: 272 \(left\), state: 0' || problem "$1: the left button stayed down"
  [ "$(grep -c 'state: 1' "$4")" = "$marks" ] ||
    problem "$1: the other look-alike got input: $(grep 'state: 1' "$4" | tail -n 3)"
  stop_program
}
hold_in "the second in front" "$SECOND_PID" "$SECOND" "$FIRST"
hold_in "the first in front" "$FIRST_PID" "$FIRST" "$SECOND"
finish
