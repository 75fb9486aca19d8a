# A forever hold on a Wayland desktop with Xwayland (with-wayland-desktop.sh),
# the program started as a Wayland session starts it (WAYLAND_DISPLAY and
# DISPLAY set, QT_QPA_PLATFORM not): it runs on X11 and shows no box, the
# X11 recorder is its target and gets one press per key, Ctrl+Shift+S lets
# them go, and no key stays down.
#
# Mutter and KWin bring the target to the front; so does Sway, whatever its
# focus_on_window_activation says, through its window list. weston refuses:
# the keys must then wait, with nothing sent to the program's own window,
# until the user gives the target the keyboard.
source "$(dirname "$0")/lib.sh"
unset QT_QPA_PLATFORM

case $E2E_WM in
  weston) ACTIVATION=refused ;;
  sway | sway-smart | mutter | kwin) ACTIVATION=granted ;;
  *) fail "not on a Wayland desktop: $E2E_WM" ;;
esac

# What the user does when the desktop refuses: click the target.
give_recorder_the_keyboard() {
  case $E2E_WM in
    weston)
      # weston gives the keyboard only to a window clicked in its
      # output: the click comes from outside, on the X server that
      # weston draws into.
      local x y
      read -r x y < <(xwininfo -id "$(visible_windows '^Recorder$')" |
        awk '/Absolute upper-left/ { printf "%s ", $4 }')
      DISPLAY=$QUINDOREL_TEST_OUTER_DISPLAY xdotool mousemove 1279 1023 \
        mousemove $((x + 100)) $((y + 80)) click 1 ;;
  esac
}

WAIT=3
autorepeat_off
write_settings BackupSwitch=On Text1=$WAIT Option1=True Option2=False OftenIndex=2
write_keyset "65,38,"
REC=$WORK/recorder.log
start_recorder Recorder "$REC" 940 30
start_program
program_window >/dev/null || fail "the main window did not appear on X11"
SHOWN=$SECONDS
! wait_for 2 has_window '^(Application Error|Tessavrin)$' || fail "a box was shown at start-up"
# Where the compositor offers no way into its native windows, one line says so.
STATUS=$("$PROGRAM" --status 2>&1)
case $E2E_WM in
  sway*) [[ $STATUS != *";"* ]] ;;
  kwin) [[ $STATUS == *"; Native Wayland windows are out of reach: KWin lets only an installed Quindorel send keys"* ]] ;;
  *) [[ $STATUS == *"; Native Wayland windows are out of reach: the desktop offers no virtual keyboard"* ]] ;;
esac || problem "--status said: $STATUS"
# The new window takes the keyboard from the recorder.
wait_for 30 grep -q ^focus-out "$REC" || fail "the main window never got the keyboard"

if [ "$ACTIVATION" = refused ]; then
  # The press pass is due WAIT seconds after the window shows; two more
  # cover a slow start.
  LEFT=$((SHOWN + WAIT + 2 - SECONDS))
  [ "$LEFT" -le 0 ] || sleep "$LEFT"
  [ -z "$(event_list "$REC" press)" ] || fail "keys reached the recorder in the background: $(event_list "$REC" press)"
  no_keys_down || fail "keys went down while the program's own window had the keyboard: $(keys_down)"
  alive "$PROGRAM_PID" || fail "the program ended"
  grep -qx BackupSwitch=On "$SETTINGS_FILE" || fail "the switch went off: $(cat "$SETTINGS_FILE")"
  ! has_window '^(Application Error|Tessavrin)$' || fail "a box was shown when the desktop refused"
  note "refused: nothing sent after the waiting time"
  give_recorder_the_keyboard
fi
wait_for 30 has_events "$REC" press "a Up" || fail "the keys did not reach the recorder: $(event_list "$REC" press)"
if [ "$ACTIVATION" = granted ]; then
  awk '/^focus-out/ { out = 1 } out && /^focus-in/ { found = 1 } END { exit !found }' "$REC" ||
    fail "the keys arrived, but the recorder was never brought to the front"
fi
# Mutter calls an activation request without a real time buggy, and its
# focus-stealing prevention may refuse one.
! grep -q 'timestamp of 0' "${QUINDOREL_TEST_DESKTOP_LOG:-/dev/null}" ||
  problem "the desktop saw an activation request without a time: $(grep "timestamp of 0" "$QUINDOREL_TEST_DESKTOP_LOG" | head -3)"
HELD=$(($(line_count "$REC") + 1))
# On weston the recorder also saw the click that gave it the keyboard, before or
# after the keys: weston moves the keyboard on the press, before Xwayland passes it on.
[ "$(events press "$REC" | grep -vx Button1 | paste -sd ' ')" = "a Up" ] &&
  [ "$(events press "$REC" | grep -cx Button1)" = "$([ "$E2E_WM" = weston ] && echo 1 || echo 0)" ] ||
  fail "expected one press each of a, Up, got: $(event_list "$REC" press)"
[ "$(keys_down)" = "a Up" ] || fail "the server holds: $(keys_down)"
note "$ACTIVATION: held in the recorder: $(event_list "$REC" press)"

xdotool key ctrl+shift+s
wait_for 30 has_events "$REC" release "a Up" "$HELD" ||
  fail "no release after Ctrl+Shift+S: $(event_list "$REC" release "$HELD")"
wait_for 10 no_keys_down || fail "keys still down after Ctrl+Shift+S: $(keys_down)"
[ "$(event_list "$REC" press "$HELD" | grep -cxE 'a|Up')" = 0 ] ||
  fail "keys went down again: $(event_list "$REC" press "$HELD")"
alive "$PROGRAM_PID" || fail "the program ended"
stop_program
wait_for 10 no_keys_down || fail "keys still down after the program ended: $(keys_down)"
finish
