# A program killed or crashed during a hold leaves no key or mouse button down
# (and neither does one asked to end), and a held key does not auto-repeat:
# with the server's autorepeat on, the target sees one press and one release
# of each key, and every key repeats as before. The buttons go down in the
# target, where the pointer is put from elsewhere.
source "$(dirname "$0")/lib.sh"

"$TOOL" autorepeat on || fail "cannot switch autorepeat on"
REPEATING=$("$TOOL" repeating-keys) || fail "cannot read the keys' autorepeat"
REC=$WORK/recorder.log
start_recorder Recorder "$REC"

# ended_hold LABEL COMMAND...: a hold of left Shift, a, z, Up and the left
# and right mouse buttons, ended by COMMAND; Shift goes down first and comes
# up last.
ended_hold() {
  local label=$1 start guard
  shift
  write_settings BackupSwitch=On Text1=1 Option1=True Option2=False OftenIndex=2
  write_keyset "65,90,160,38,1,2,"
  xdotool mousemove 600 500
  start=$(($(line_count "$REC") + 1))
  start_program
  program_window >/dev/null || fail "$label: the main window did not appear"
  guard=$(pgrep -P "$PROGRAM_PID" -x quindorel-guard) || fail "$label: no guard runs"
  wait_for 30 has_events "$REC" press "Shift_L a z Up Button1 Button3" "$start" ||
    fail "$label: the keys and buttons did not go down: $(event_list "$REC" press "$start")"
  sleep 1.5 # well past the server's repeat delay
  "$@"
  wait_exit "$PROGRAM_PID" 30 || fail "$label: the program did not end"
  if ! wait_for 10 no_keys_down; then
    problem "$label: keys left down: $(keys_down)"
    xdotool keyup a z Up Shift_L mouseup 1 mouseup 3
  fi
  [ "$(event_list "$REC" press "$start")" = "Shift_L a z Up Button1 Button3" ] ||
    problem "$label: the target saw these key-downs: '$(event_list "$REC" press "$start")'"
  [ "$(event_list "$REC" release "$start")" = "a z Up Button1 Button3 Shift_L" ] ||
    problem "$label: the target saw these key-ups: '$(event_list "$REC" release "$start")'"
  [ "$("$TOOL" repeating-keys)" = "$REPEATING" ] ||
    problem "$label: the keys' autorepeat was not given back"
  wait_for 10 exited "$guard" ||
    problem "$label: the guard outlived the program"
  note "$label: released $(event_list "$REC" release "$start")"
}

send_signal() { kill "-$1" "$PROGRAM_PID"; }
ended_hold "SIGKILL" send_signal KILL
ended_hold "SIGSEGV" send_signal SEGV
ended_hold "SIGTERM" send_signal TERM
finish
