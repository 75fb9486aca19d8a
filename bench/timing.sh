# Figure: timing of a timed hold in X server milliseconds. Timed mode, hold
# "10 seconds", waiting time 5, key "a", the recorder window first in the
# application list. Measured: from the click on "Turn On" (its server time
# taken by the probe right after the click) to the key-down that the recorder
# sees; then "Turn Off" is clicked within the first second of the hold, so
# the tenth hold-clock tick after the press releases the key: the hold length
# is from key-down to key-up. One fresh program per round (the wait count
# never restarts within a run).
source "$(dirname "$0")/lib.sh"
rounds=${TIMING_ROUNDS:-3}
# The switch button: (120, 9135) twips, 320 x 27 pixels; 15 twips to a pixel.
switch_x=$((120 / 15 + 160))
switch_y=$((9135 / 15 + 13))
"$BUILD/tests/e2e/e2e_x11tool" autorepeat off

for round in $(seq 1 "$rounds"); do
  fresh_home "timing$round"
  write_settings BackupSwitch=Off Text1=5 Option1=False Option2=True OftenIndex=3
  printf '65,\r\n' >"$TEMP/xsettings.txt"
  log=$WORK/recorder$round.log
  : >"$log"
  "$BUILD/tests/e2e/e2e_recorder" Recorder "$log" 0 0 &
  recorder=$!
  wait_window '^Recorder$' >/dev/null || exit 1
  "$BUILD/quindorel" >"$WORK/program$round.log" 2>&1 &
  program=$!
  STARTED+=("$recorder" "$program")
  window=$(wait_window '^Quindorel$') || { echo "no program window" >&2; exit 1; }
  sleep 1
  on=$("$PROBE" click "$window" "$switch_x" "$switch_y")
  down=$(first_event "$log" press 1 15) || { echo "no key-down" >&2; exit 1; }
  # The press raised the recorder: bring the program back up to reach its switch.
  xdotool windowraise "$window"
  "$PROBE" click "$window" "$switch_x" "$switch_y" >/dev/null
  up=$(first_event "$log" release 1 20) || { echo "no key-up" >&2; exit 1; }
  echo "$((down - on)) $((up - down))" >>"$WORK/timing"
  kill "$program" "$recorder" 2>/dev/null
  wait "$program" "$recorder" 2>/dev/null
done
result timing_wait_ms "$(awk '{ print $1 }' "$WORK/timing" | median)"
result timing_wait_worst_ms "$(awk '{ d = $1 - 5000; if (d < 0) d = -d; if (NR == 1 || d > w) { w = d; v = $1 } } END { print v + 0 }' "$WORK/timing")"
result timing_hold_ms "$(awk '{ print $2 }' "$WORK/timing" | median)"
result timing_hold_worst_ms "$(awk '{ d = $2 - 10000; if (d < 0) d = -d; if (NR == 1 || d > w) { w = d; v = $2 } } END { print v + 0 }' "$WORK/timing")"
