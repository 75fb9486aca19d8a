# Figure: from running "quindorel --toggle" to the key-down arriving in the
# window in front, in X server milliseconds; beside "xdotool keydown a" timed
# the same way. The probe takes the server's time and then becomes the
# command, so both start from the same point.
source "$(dirname "$0")/lib.sh"
rounds=${ROUNDS:-5}
fresh_home command
write_settings BackupSwitch=Off Text1=1 Option1=True Option2=False OftenIndex=2
printf '65,\r\n' >"$TEMP/xsettings.txt"
"$BUILD/tests/e2e/e2e_x11tool" autorepeat off
log=$WORK/recorder.log
: >"$log"
"$BUILD/tests/e2e/e2e_recorder" Game "$log" &
STARTED+=($!)
game=$(wait_window '^Game$') || { echo "no recorder window" >&2; exit 1; }
"$BUILD/quindorel" >"$WORK/program.log" 2>&1 &
STARTED+=($!)
wait_window '^Quindorel$' >/dev/null || { echo "no program window" >&2; exit 1; }
sleep 1

: >"$WORK/ours"
: >"$WORK/peer"
for _ in $(seq 1 "$rounds"); do
  xdotool windowfocus --sync "$game"
  from=$(($(wc -l <"$log") + 1))
  t0=$("$PROBE" stamp -- "$BUILD/quindorel" --toggle | head -n 1)
  down=$(first_event "$log" press "$from" 10) || { echo "no key-down from --toggle" >&2; exit 1; }
  echo $((down - t0)) >>"$WORK/ours"
  "$BUILD/quindorel" --toggle >/dev/null
  first_event "$log" release "$from" 10 >/dev/null || { echo "no key-up from --toggle" >&2; exit 1; }

  from=$(($(wc -l <"$log") + 1))
  t0=$("$PROBE" stamp -- xdotool keydown a | head -n 1)
  down=$(first_event "$log" press "$from" 10) || { echo "no key-down from xdotool" >&2; exit 1; }
  echo $((down - t0)) >>"$WORK/peer"
  xdotool keyup a
done
result command_toggle_ms "$(median <"$WORK/ours")"
result command_xdotool_ms "$(median <"$WORK/peer")"
