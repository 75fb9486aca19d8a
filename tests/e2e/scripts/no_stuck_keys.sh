# No key stays down after the program: with keys held until Ctrl+Shift+S,
# the program is ended by closing its window, by SIGTERM, SIGINT and SIGHUP;
# each time the target sees every key go up and the program is gone.
source "$(dirname "$0")/lib.sh"

autorepeat_off
REC=$WORK/recorder.log
start_recorder Recorder "$REC"

close_window() { "$TOOL" close "$WINDOW"; }
send_signal() { kill "-$1" "$PROGRAM_PID"; }

# end_hold LABEL COMMAND...: a fresh hold, ended by COMMAND.
end_hold() {
  local label=$1 start
  shift
  write_settings BackupSwitch=On Text1=1 Option1=True Option2=False OftenIndex=2
  write_keyset "65,160,38,"
  start=$(($(line_count "$REC") + 1))
  start_program
  WINDOW=$(program_window) || fail "$label: the main window did not appear"
  wait_for 30 has_events "$REC" press "Shift_L a Up" "$start" ||
    fail "$label: the keys did not go down: $(event_list "$REC" press "$start")"

  start=$(($(line_count "$REC") + 1))
  "$@"
  if ! wait_exit "$PROGRAM_PID" 30; then
    problem "$label: the program did not end"
    kill -KILL "$PROGRAM_PID"
    return
  fi
  [ "$EXIT_STATUS" = 0 ] || problem "$label: the program ended with status $EXIT_STATUS"
  if ! wait_for 10 no_keys_down; then
    problem "$label: keys left down: $(keys_down)"
    xdotool keyup a Shift_L Up  # so that the next round starts clean
  fi
  [ "$(event_list "$REC" release "$start")" = "a Up Shift_L" ] ||
    problem "$label: the target saw these key-ups: '$(event_list "$REC" release "$start")'"
  ! has_window '^Quindorel$' || problem "$label: a main window is still shown"
  note "$label: released $(event_list "$REC" release "$start"), exit status $EXIT_STATUS"
}

end_hold "window closed" close_window
end_hold "SIGTERM" send_signal TERM
end_hold "SIGINT" send_signal INT
end_hold "SIGHUP" send_signal HUP
finish
