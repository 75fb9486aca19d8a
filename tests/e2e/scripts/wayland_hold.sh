# On a Wayland desktop (weston) with Xwayland, started as a Wayland session
# starts it (WAYLAND_DISPLAY and DISPLAY set, QT_QPA_PLATFORM not): the program
# runs on X11, shows no box, lists the X11 client and holds a key in it.
source "$(dirname "$0")/lib.sh"
unset QT_QPA_PLATFORM

# weston gives the keyboard only to a window clicked in its output: the click
# goes to the X server that weston draws into, coming from outside the output.
weston_click() {
    read -r x y < <(xwininfo -id "$1" | awk '/Absolute upper-left/ { printf "%s ", $4 }')
    DISPLAY=$QUINDOREL_TEST_OUTER_DISPLAY xdotool mousemove 1279 1023 mousemove $((x + $2)) $((y + $3)) click 1
}

write_settings BackupSwitch=Off Text1=5 Option1=False Option2=True OftenIndex=1
write_keyset "65,"
REC=$WORK/recorder.log
start_recorder Recorder "$REC" 940 30
start_program
WINDOW=$(program_window) || fail "the main window did not appear on X11"
! wait_for 2 has_window '^(Application Error|Tessavrin)$' || fail "a box was shown at start-up"
# weston shows the window once the recorder loses the keyboard to it.
wait_for 30 grep -q ^focus-out "$REC" || fail "weston did not show the main window"
weston_click "$WINDOW" "$SWITCH_X" "$SWITCH_Y"
weston_click "$(visible_windows '^Recorder$')" 100 80
wait_for 30 has_events "$REC" press "a" || fail "the key did not reach the X11 client"
stop_program
wait_for 10 no_keys_down || fail "keys still down after the program ended: $(keys_down)"
finish
