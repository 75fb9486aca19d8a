# A hold until Ctrl+Shift+S: the keys go down after the waiting time, and a
# Ctrl+Shift+S typed anywhere (an XTEST key stroke, as from the keyboard)
# lets them go; also with NumLock and with CapsLock on, which change the
# modifier state the hot key arrives with.
source "$(dirname "$0")/lib.sh"

autorepeat_off
REC=$WORK/recorder.log
start_recorder Recorder "$REC"

# one_hold LOCK_KEY: a fresh run of the program (the wait clock presses once
# per run), with the lock key toggled on first if one is given.
one_hold() {
  local lock=$1 label=${1:-no lock} start
  write_settings BackupSwitch=On Text1=1 Option1=True Option2=False OftenIndex=2
  write_keyset "65,160,38,"
  [ -n "$lock" ] && xdotool key "$lock"
  start=$(($(line_count "$REC") + 1))
  start_program
  program_window >/dev/null || fail "$label: the main window did not appear"
  wait_for 30 has_events "$REC" press "Shift_L a Up" "$start" ||
    fail "$label: the keys did not go down: $(event_list "$REC" press "$start")"
  [ "$(keys_down)" = "a Shift_L Up" ] || fail "$label: the server holds $(keys_down)"

  # Ctrl+Shift+S shares Shift_L with the held keys (xdotool lets it go);
  # a and Up must be let go by the program, and the target must see it.
  start=$(($(line_count "$REC") + 1))
  xdotool key ctrl+shift+s
  wait_for 30 no_keys_down || fail "$label: keys still down after Ctrl+Shift+S: $(keys_down)"
  if wait_for 10 has_events "$REC" release "a Up" "$start"; then
    note "$label: the target saw the releases: $(event_list "$REC" release "$start")"
  else
    problem "$label: the keys are up on the server, but the target window never received" \
      "their key-up events (it saw only: $(event_list "$REC" release "$start"))"
  fi
  ! error_box_shown || fail "$label: an error box appeared"
  alive "$PROGRAM_PID" || fail "$label: the program ended"
  stop_program
  [ -n "$lock" ] && xdotool key "$lock"
  return 0
}

one_hold ""
one_hold Num_Lock
one_hold Caps_Lock
finish
