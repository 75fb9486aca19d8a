# The chosen window goes away after the list was made and before the keys go
# down (a second window is still there): the program carries on, and ends
# with no key left down.
source "$(dirname "$0")/lib.sh"

autorepeat_off
write_settings BackupSwitch=On Text1=6 Option1=True Option2=False OftenIndex=2
write_keyset "65,38,"
start_recorder Second "$WORK/second.log" 400 40
start_recorder Recorder "$WORK/recorder.log"
TARGET_PID=$LAST_PID
start_program
program_window >/dev/null || fail "the main window did not appear"

# The wait clock started with the program, before its window showed.
sleep 3
{ kill -KILL "$TARGET_PID"; wait "$TARGET_PID"; } 2>/dev/null
note "target killed"
for _ in $(seq 1 10); do
  sleep 1
  alive "$PROGRAM_PID" || fail "the program ended after its target went away"
done
BOXES=$(close_error_boxes)
note "error boxes: $BOXES; keys down now: '$(keys_down)'; second window saw: '$(event_list "$WORK/second.log" press)'"
sleep 1
alive "$PROGRAM_PID" || fail "the program ended"
has_window '^Quindorel$' || fail "the main window is gone"

xdotool key ctrl+shift+s
wait_for 10 no_keys_down || problem "keys still down after Ctrl+Shift+S: $(keys_down)"
alive "$PROGRAM_PID" || fail "the program ended on Ctrl+Shift+S"
stop_program
wait_for 10 no_keys_down || problem "keys left down: $(keys_down)"
finish
