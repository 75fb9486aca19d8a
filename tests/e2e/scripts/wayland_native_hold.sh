# A native Wayland window on Sway (wev, which logs what it receives), the
# program started as a Sway session starts it: the window is listed, the
# command line aims at it while it is in front, its keys go down once each
# and come up on --stop and when the program is killed mid-hold; an X11
# window of the same session is still reached the X11 way.
source "$(dirname "$0")/lib.sh"
unset QT_QPA_PLATFORM
[ "$E2E_WM" = sway ] || fail "not on Sway: $E2E_WM"
command -v wev >/dev/null || skip "wev is not installed (scripts/install-deps.sh wayland)"

write_settings BackupSwitch=Off Text1=1 Option1=True Option2=False OftenIndex=2
# Shift and A: the modifier first, A on the picture's A.
write_keyset "160,65,"
WEV=$WORK/wev.log
stdbuf -oL wev >"$WEV" 2>&1 &
STARTED_PIDS+=($!)
wait_for 20 bash -c 'swaymsg -t get_tree | grep -q "\"app_id\": \"wev\""' || fail "wev did not show"
start_program
program_window >/dev/null || fail "the main window did not appear on X11"

# The user goes back to the native window and holds from there.
in_front() { swaymsg -q '[app_id="^wev$"] focus'; }
seen() { wait_for "${2:-10}" grep -qE "$1" "$WEV"; }
count() { grep -cE "$1" "$WEV"; }
in_front
"$PROGRAM" --start >"$WORK/start.out" 2>&1 || fail "--start into the native window: $(cat "$WORK/start.out")"
seen 'key: 50; state: 1' || fail "no Shift down in the native window"
seen 'key: 38; state: 1' || fail "no A down in the native window"
grep -A1 'key: 38; state: 1' "$WEV" | grep -q 'sym: A' || problem "A did not type a capital: Shift did not hold"
STATUS=$("$PROGRAM" --status 2>&1)
[[ $STATUS == holding* ]] || problem "--status during the hold said: $STATUS"
"$PROGRAM" --stop >/dev/null 2>&1 || problem "--stop failed"
seen 'key: 38; state: 0' || fail "A stayed down after --stop"
seen 'key: 50; state: 0' || fail "Shift stayed down after --stop"
# Shift came up after A, as a hand lets go.
[ "$(grep -oE 'key: (38|50); state: 0' "$WEV" | tr '\n' ' ')" = "key: 38; state: 0 key: 50; state: 0 " ] ||
  problem "the keys came up in the wrong order: $(grep -oE 'key: (38|50); state: 0' "$WEV")"
[ "$(count 'key: 38; state: 1')" = 1 ] || problem "A went down $(count 'key: 38; state: 1') times"

# Killed mid-hold: the compositor lets go of the program's keys.
in_front
"$PROGRAM" --start >/dev/null 2>&1 || fail "the second --start failed"
wait_for 10 bash -c "[ \$(grep -c 'key: 38; state: 1' '$WEV') = 2 ]" || fail "no second A down"
kill -KILL "$PROGRAM_PID"
wait_for 10 bash -c "[ \$(grep -c 'key: 38; state: 0' '$WEV') = 2 ]" || fail "A stayed down after SIGKILL"
finish
