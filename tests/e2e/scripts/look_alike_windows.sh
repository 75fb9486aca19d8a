# Two native windows that look alike (two wevs: one app id, one title) on
# Sway: the one in front when a copy starts and --start comes gets the keys,
# the pointer and the left button, never the other; then the other way round.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/native_lib.sh"
unset QT_QPA_PLATFORM
[ "$E2E_WM" = sway ] || fail "not on Sway: $E2E_WM"
write_settings BackupSwitch=Off Text1=1 Option1=True Option2=False OftenIndex=2
write_keyset "65,1,"
start_wev && FIRST=$WEV FIRST_PID=${STARTED_PIDS[-1]}
WEV=$WORK/wev2.log
start_wev && SECOND=$WEV SECOND_PID=${STARTED_PIDS[-1]}
coproc mouse { exec "$(dirname "$RECORDER")/../wayland/wayland_driver" mouse; }
STARTED_PIDS+=($mouse_PID)
read -r -t 10 ready <&"${mouse[0]}" && [ "$ready" = ready ] || fail "no mouse on the seat"
is_focused() { swaymsg -t get_tree | python3 -c 'import json, sys
def f(n): return [n.get("pid")] if n.get("focused") else [p for k in ("nodes", "floating_nodes") for c in n.get(k, []) for p in f(c)]
sys.exit(f(json.load(sys.stdin)) != [int(sys.argv[1])])' "$1"; }
focus_once() { swaymsg -q "$1 focus" 2>/dev/null && is_focused "$2"; }
focus() { wait_for 10 focus_once "$@" || fail "Sway did not focus $1"; }
# hold_in LABEL PID LOG OTHER: wev PID in front (the list's first row, which
# a new copy chooses); A and the button reach LOG, nothing reaches OTHER.
hold_in() {
  local marks from log=$3
  marks=$(grep -c 'state: 1' "$4") from=$(($(wc -l <"$3") + 1))
  focus "[pid=$2]" "$2"
  start_program
  program_window >/dev/null || fail "$1: the main window did not appear on X11"
  focus '[title="^Quindorel$"]' "$PROGRAM_PID"
  focus "[pid=$2]" "$2"
  "$PROGRAM" --start >"$WORK/start.out" 2>&1 || fail "$1: --start: $(cat "$WORK/start.out")"
  since() { wait_for 10 bash -c "tail -n +$from '$log' | grep -qE '$1'"; }
  since 'key: 38; state: 1' || problem "$1: no A down in the window in front"
  since 'button: 272 \(left\), state: 1' || problem "$1: no left button down in the window in front"
  "$PROGRAM" --stop >/dev/null 2>&1 || problem "$1: --stop failed"
  since 'button: 272 \(left\), state: 0' || problem "$1: the left button stayed down"
  [ "$(grep -c 'state: 1' "$4")" = "$marks" ] || problem "$1: the other look-alike got input"
  stop_program
}
hold_in "the second in front" "$SECOND_PID" "$SECOND" "$FIRST"
hold_in "the first in front" "$FIRST_PID" "$FIRST" "$SECOND"
finish
