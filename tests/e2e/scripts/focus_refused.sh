# The chosen window refuses the keyboard (its WM_HINTS say no input), so the
# window manager leaves it with Quindorel after "Turn On". Space and Enter
# must not press Quindorel's own focused button: the keys wait, and go down
# once another window has the keyboard.
source "$(dirname "$0")/lib.sh"

autorepeat_off
write_settings BackupSwitch=Off Text1=1 Option1=True Option2=False OftenIndex=2
write_keyset "32,13,"
OTHER=$WORK/other.log
REC=$WORK/recorder.log
start_recorder Other "$OTHER" 700 40
start_recorder Recorder "$REC" 700 400 no-input
start_program
WINDOW=$(program_window) || fail "the main window did not appear"
click_control "$WINDOW" Switch
wait_for 10 grep -qx 'BackupSwitch=On' "$SETTINGS_FILE" || fail "the switch did not go on"

sleep 3  # the waiting time is one second
[ -z "$(keys_down)" ] || fail "keys went down while Quindorel had the keyboard: $(keys_down)"
grep -qx 'BackupSwitch=On' "$SETTINGS_FILE" || fail "the keys pressed Quindorel's own switch"
[ -z "$(event_list "$REC" press)$(event_list "$OTHER" press)" ] || fail "keys arrived somewhere"

click "$(visible_windows '^Other$')" 50 50
wait_for 10 has_events "$OTHER" press "space Return" ||
  fail "the keys did not go down once another window had the keyboard: $(event_list "$OTHER" press)"
xdotool key ctrl+shift+s
wait_for 10 no_keys_down || fail "keys still down after Ctrl+Shift+S: $(keys_down)"
stop_program
finish
