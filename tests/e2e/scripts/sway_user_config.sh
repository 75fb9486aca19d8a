# Sway set up as users set it up (variables, a folder of included files):
# the user's Ctrl+Shift+S there is seen, left alone and works after the run;
# the repeat rate of virtual keyboards comes back as the configuration has
# it (0 or 30); after `swaymsg reload` mid-hold the program's binding ends
# the hold; of two copies the second leaves the key to the first. The
# user's start/stop key becomes a binding of its own, never over one of
# the user's.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/native_lib.sh"
unset QT_QPA_PLATFORM
[ "$E2E_WM" = sway-user ] || fail "not on the Sway of a split configuration: $E2E_WM"
INCLUDES=$QUINDOREL_TEST_SWAY_INCLUDES
run_as_sway_user

write_settings BackupSwitch=Off Text1=1 Option1=True Option2=False OftenIndex=2
write_keyset "65,"
start_wev
in_front() { swaymsg -q '[app_id="^wev$"] focus'; }
# A keyboard of the test's: the user's hands.
start_keys
# Ctrl+Shift+S typed until the condition holds: a new binding reaches
# Sway's seat only after a while.
stop_key_until() { for _ in 1 2 3 4 5; do type_keys +17 +16 +83 -83 -16 -17 sleep:300; "$@" && return; done; false; }
# The rate of virtual keyboards, as Sway tells windows once one types
# (Sway 1.7's get_inputs does not tell it).
virtual_rate() { grep -o 'repeat_info: rate: [0-9]*' "$WEV" | tail -n 1 | grep -o '[0-9]*$'; }
rate_is() { type_keys +16 -16 sleep:200; [ "$(virtual_rate)" = "$1" ]; }
reload_with() { # reload_with RATE [BINDING LINE]
  rm -f "$INCLUDES"/*.conf
  echo "input * repeat_rate $1" >"$INCLUDES/10-input.conf"
  [ -z "${2:-}" ] || echo "$2" >"$INCLUDES/20-keys.conf"
  swaymsg -q reload || fail "Sway did not reload"
  wait_for 10 rate_is "$1" || fail "Sway's virtual keyboards do not repeat at $1 after the reload: $(virtual_rate)"
}
start_copy() { # start_copy LOG [RUNTIME FOLDER]
  hand_over
  "${as_sway_user[@]}" env XDG_RUNTIME_DIR="${2:-$XDG_RUNTIME_DIR}" "$PROGRAM_AS_ROOT" >>"$1" 2>&1 &
  PROGRAM_PID=$!
  STARTED_PIDS+=("$PROGRAM_PID")
}

# The user's binding, in an included file, through the longer variable.
USER_STOP=$(dirname "$SWAYSOCK")/user-stop-key
reload_with 0 "bindsym \$mod+Shift+s exec touch $USER_STOP"$'\n'"bindsym F9 exec true"
start_copy "$WORK/program.log"
wait_for 30 error_box_shown || fail "no word that Ctrl+Shift+S is taken by the user's binding"
note "closed $(close_error_boxes) error box(es)"
program_window >/dev/null || fail "the main window did not appear"
in_front
PROGRAM --start >"$WORK/start.out" 2>&1 || fail "--start: $(cat "$WORK/start.out")"
seen 'key: 38; state: 1' || fail "no A down"
PROGRAM --stop >/dev/null 2>&1 || problem "--stop failed"
seen 'key: 38; state: 0' || fail "A stayed down after --stop"
# The user's start/stop key: F9, which the configuration binds, is
# refused; Ctrl+F10 becomes a binding that starts a hold in the native
# window and stops it, and never reaches it; it goes with the program.
PROGRAM --toggle-key F9 >"$WORK/key.out" 2>&1 && problem "--toggle-key F9, the user's key, was taken"
PROGRAM --toggle-key Ctrl+F10 >"$WORK/key.out" 2>&1 || problem "--toggle-key Ctrl+F10: $(cat "$WORK/key.out")"
ctrl_f10() { type_keys +17 +121 -121 -17 sleep:300; }
# A new binding reaches Sway's seat only after a while: until then the
# key reaches the window.
a_down_twice() { [ "$(count 'key: 38; state: 1')" -ge 2 ]; }
for _ in 1 2 3 4 5; do ctrl_f10; wait_for 3 a_down_twice && break; done
has_count 'key: 38; state: 1' 2 || fail "Ctrl+F10 started no hold"
FROM=$(wc -l <"$WEV")
ctrl_f10
has_count 'key: 38; state: 0' 2 || fail "Ctrl+F10 did not stop the hold"
! tail -n "+$FROM" "$WEV" | grep -q 'key: 76; state: 1' || problem "F10 reached the window during the run"
stop_program
ctrl_f10
wait_for 10 bash -c "tail -n '+$FROM' '$WEV' | grep -q 'key: 76; state: 1'" || problem "Ctrl+F10 stayed bound after the program"
wait_for 10 rate_is 0 || problem "virtual keyboards repeat at $(virtual_rate) after the program, though the configuration says 0"
stop_key_until test -e "$USER_STOP" || problem "the user's own Ctrl+Shift+S did nothing after the program ended"

# No binding of the user's, another rate: the first copy binds the key.
reload_with 30
start_copy "$WORK/first.log"
FIRST_PID=$PROGRAM_PID
program_window >/dev/null || fail "the first copy's window did not appear"
# The second copy, of another session: the key is the first's.
mkdir -m 0700 "$WORK/runtime2"
start_copy "$WORK/second.log" "$WORK/runtime2"
SECOND_PID=$PROGRAM_PID
wait_for 30 error_box_shown || problem "the second copy did not say Ctrl+Shift+S is taken"
note "closed $(close_error_boxes) error box(es)"

# Reloaded mid-hold: the key still ends the first copy's hold.
in_front
PROGRAM --start >"$WORK/start.out" 2>&1 || fail "--start of the first copy: $(cat "$WORK/start.out")"
has_count 'key: 38; state: 1' 3 || fail "no A down in the first copy's hold"
swaymsg -q reload || fail "Sway did not reload mid-hold"
a_up_thrice() { [ "$(count 'key: 38; state: 0')" = 3 ]; }
stop_key_until a_up_thrice || fail "Ctrl+Shift+S did not end the hold after Sway reloaded"
wait_for 10 rate_is 0 || problem "virtual keyboards repeat at $(virtual_rate) after the reload, during the run"

# The first copy killed: its guard puts back the rate read from Sway, and
# takes its bindings away; the second never bound the keys.
kill -KILL "$FIRST_PID"
wait_for 10 rate_is 30 || problem "virtual keyboards repeat at $(virtual_rate) after the first copy, not 30"
before=$(count 'key: 39; state: 1')
s_reached_wev() { [ "$(count 'key: 39; state: 1')" -gt "$before" ]; }
stop_key_until s_reached_wev || problem "Ctrl+Shift+S stayed bound after the first copy"
# Its start/stop key (kept from above) too.
before=$(grep -c 'key: 76; state: 1' "$WEV")
ctrl_f10
wait_for 10 bash -c "[ \$(grep -c 'key: 76; state: 1' '$WEV') -gt $before ]" ||
  problem "Ctrl+F10 stayed bound after the first copy was killed"
PROGRAM_PID=$SECOND_PID
stop_program
wait_for 10 rate_is 30 || problem "the second copy changed the repeat rate: $(virtual_rate)"
finish
