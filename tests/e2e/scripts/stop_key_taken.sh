# Another program already holds Ctrl+Shift+S when the program starts in the
# until-Ctrl+Shift+S mode (on Sway: the user's configuration binds it): the
# program says so in an error box and goes on working; a hold still presses,
# and ending the program still lets go.
source "$(dirname "$0")/lib.sh"

autorepeat_off
if [ "$E2E_WM" = sway-bound ]; then
  unset QT_QPA_PLATFORM
else
  "$TOOL" grab-stop-key >"$WORK/grabber.log" 2>&1 &
  STARTED_PIDS+=($!)
  wait_for 10 grep -q grabbed "$WORK/grabber.log" || fail "the other client could not take Ctrl+Shift+S"
fi

write_settings BackupSwitch=On Text1=2 Option1=True Option2=False OftenIndex=2
write_keyset "65,"
REC=$WORK/recorder.log
start_recorder Recorder "$REC"
start_program

wait_for 30 error_box_shown || fail "no error box about the taken hot key"
note "error box shown"
alive "$PROGRAM_PID" || fail "the program ended"
note "closed $(close_error_boxes) error box(es)"
program_window >/dev/null || fail "the main window did not appear"
wait_for 30 has_events "$REC" press "a" || fail "the hold did not press: $(event_list "$REC" press)"
sleep 2
alive "$PROGRAM_PID" || fail "the program ended"
! error_box_shown || fail "another error box: $(close_error_boxes) closed"

stop_program
wait_for 10 no_keys_down || fail "keys still down after the program ended: $(keys_down)"
has_events "$REC" release "a" || fail "the target never saw the key-up"
finish
