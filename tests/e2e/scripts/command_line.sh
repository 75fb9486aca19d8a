# The command line and the one running copy: a second start brings the first
# back, --toggle holds into the window in front and lets go, --status tells
# the states apart, and a client that misbehaves changes nothing.
source "$(dirname "$0")/lib.sh"

autorepeat_off
write_settings BackupSwitch=Off Text1=1 Option1=True Option2=False OftenIndex=2
write_keyset "65,"

# expect STATUS COMMAND...: runs the program with the arguments; its exit
# status must be STATUS. Its output goes to OUT.
expect() {
  local want=$1 status
  shift
  OUT=$("$PROGRAM" "$@" 2>&1)
  status=$?
  [ "$status" = "$want" ] || problem "quindorel $* ended with $status, not $want: $OUT"
}

expect 1 --stop
expect 1 --status
[ "$OUT" = "Quindorel is not running." ] || problem "--status with no copy said: $OUT"
expect 2 --holdall
expect 2 stray
has_window '^Quindorel$' && fail "a command started a window"

start_program
WINDOW=$(program_window) || fail "the main window did not appear"
expect 0 --status
[ "$OUT" = idle ] || problem "--status said \"$OUT\", not idle"

# A second start: the first copy comes back, and no second window.
if [ "$E2E_WM" != none ]; then
  xdotool windowminimize "$WINDOW"
  wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Quindorel$' | grep -q ." ||
    problem "the window did not minimise"
fi
expect 0
wait_for 10 has_window '^Quindorel$' || problem "a second start did not bring the window back"
[ "$(visible_windows '^Quindorel$' | wc -l)" = 1 ] || problem "more than one window"

# --toggle from inside the "game": the keys go into the window in front.
REC=$WORK/game.log
start_recorder Game "$REC"
GAME=$(visible_windows '^Game$' | head -n 1)
xdotool windowactivate --sync "$GAME" 2>/dev/null || xdotool windowfocus --sync "$GAME"
expect 0 --toggle
wait_for 10 has_events "$REC" press "a" || problem "--toggle: no key-down in the game"
expect 4 --status
case $OUT in
  'holding forever: A into "Game"') ;;
  *) problem "--status while holding said: $OUT" ;;
esac
expect 0 --start
[[ $OUT == already* ]] || problem "--start while holding said: $OUT"

# Clients that misbehave are dropped; the hold and the channel go on.
for how in garbage too-much silent half; do
  "$TOOL" misbehave "$XDG_RUNTIME_DIR"/quindorel-*.socket "$how" ||
    problem "a client that sends $how was answered"
done
expect 4 --status
alive "$PROGRAM_PID" || fail "the program ended"

expect 0 --toggle
wait_for 10 has_events "$REC" release "a" || problem "--toggle: no key-up in the game"
wait_for 10 no_keys_down || problem "keys still down: $(keys_down)"
expect 0 --status
[ "$OUT" = idle ] || problem "--status after the stop said: $OUT"

# --stop ends a waiting hold too, and the switch shows it.
click_control "$WINDOW" Switch
expect 3 --status
expect 0 --stop
expect 0 --status
! error_box_shown || problem "an error box appeared: $(close_error_boxes) closed"

# The user's own start/stop key, chosen from the command line and typed in
# the game: it starts a hold there and stops it, and never reaches it; held
# down, it acts once; --status names it; a name that is no key, the stop
# key and a key another client holds are refused; none lets it go.
expect 2 --toggle-key "Hyper+Q"
expect 5 --toggle-key "Ctrl+Shift+S"
"$TOOL" grab-key F9 >"$WORK/grab.out" 2>&1 &
GRABBER=$!
wait_for 10 grep -q grabbed "$WORK/grab.out" || problem "the test could not grab F9"
expect 5 --toggle-key F9
[ "$OUT" = "F9 is taken by another program" ] || problem "--toggle-key F9, taken, said: $OUT"
kill "$GRABBER"
expect 0 --toggle-key f8
[ "$OUT" = "start/stop key: F8" ] || problem "--toggle-key f8 said: $OUT"
expect 0 --status
[ "$OUT" = "idle; start/stop key: F8" ] || problem "--status with the key said: $OUT"
xdotool windowactivate --sync "$GAME" 2>/dev/null || xdotool windowfocus --sync "$GAME"
FROM=$(($(line_count "$REC") + 1))
xdotool keydown F8 && sleep 0.8 && xdotool keyup F8
wait_for 10 has_events "$REC" press "a" "$FROM" || problem "the start/stop key: no key-down in the game"
expect 4 --status
xdotool key F8
wait_for 10 has_events "$REC" release "a" "$FROM" || problem "the start/stop key: no key-up in the game"
F8=0xffc5  # as the recorder names it
has_events "$REC" press "$F8" "$FROM" && problem "F8 reached the game"
[ "$(event_list "$REC" press "$FROM")" = a ] || problem "more than one hold: $(event_list "$REC" press "$FROM")"
expect 0 --toggle-key none
xdotool key F8
wait_for 10 has_events "$REC" press "$F8" "$FROM" ||
  problem "F8, let go, did not reach the game: $(tail -n "+$FROM" "$REC" | tr '\n' ' ')"

# A copy that was killed leaves nothing that stops the next start.
kill -KILL "$PROGRAM_PID"
wait "$PROGRAM_PID" 2>/dev/null
wait_for 10 bash -c "! xdotool search --onlyvisible --name '^Quindorel$' | grep -q ." ||
  problem "the killed copy's window stayed"
expect 1 --status
start_program
program_window >/dev/null || fail "no window after a killed copy"
expect 0 --status
stop_program
finish
