# A timed hold that starts with no click: the switch was left on, so the keys
# go down after the waiting time and stay down while the switch stays on; a
# click on "Turn Off" lets the one-second hold clock count, and the keys go up
# a and Up first and Shift last, as a hand lets go of them.
source "$(dirname "$0")/lib.sh"

autorepeat_off
write_settings BackupSwitch=On Text1=2 Option1=False Option2=True OftenIndex=1
write_keyset "65,160,38,"
REC=$WORK/recorder.log
start_recorder Recorder "$REC"
start_program

WINDOW=$(program_window) || fail "the main window did not appear"
wait_for 30 has_events "$REC" press "Shift_L a Up" || fail "the keys did not go down: $(event_list "$REC" press)"
note "down: $(event_list "$REC" press)"
[ "$(event_list "$REC" press)" = "Shift_L a Up" ] || fail "expected one press each of Shift_L, a, Up in that order, got: $(event_list "$REC" press)"

# The hold lasts one second, but the hold clock must not count while the
# switch is on: after several seconds the keys are still down.
sleep 4
[ -z "$(event_list "$REC" release)" ] || fail "keys went up while the switch was on: $(event_list "$REC" release)"
[ "$(keys_down)" = "a Shift_L Up" ] || fail "the server should hold a, Shift_L, Up down; it holds: $(keys_down)"
alive "$PROGRAM_PID" || fail "the program ended"

BEFORE_CLICK=$(line_count "$REC")
click_control "$WINDOW" Switch
wait_for 30 has_events "$REC" release "a Up Shift_L" "$BEFORE_CLICK" ||
  fail "no release after \"Turn Off\": $(event_list "$REC" release)"
[ "$(event_list "$REC" release)" = "a Up Shift_L" ] || fail "expected one release each of a, Up, Shift_L in that order, got: $(event_list "$REC" release)"
wait_for 10 no_keys_down || fail "keys still down: $(keys_down)"
grep -qx 'BackupSwitch=Off' "$SETTINGS_FILE" || fail "the switch state was not saved as Off: $(cat "$SETTINGS_FILE")"
note "released after Turn Off: $(event_list "$REC" release)"

# Nothing more happens: the release pass runs once per hold length reached.
sleep 3
[ "$(event_list "$REC" press)" = "Shift_L a Up" ] || fail "keys went down again: $(event_list "$REC" press)"
alive "$PROGRAM_PID" || fail "the program ended"
stop_program
note "passed"
