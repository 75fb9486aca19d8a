# A native Wayland window on GNOME's Mutter (wev), reached through the
# Remote Desktop portal (a stand-in that asks no one and passes the calls on
# to Mutter): the list offers the window in front; a refused dialog is one
# line and nothing goes down; a granted one lets the keys and the left button
# go down once each, after the keyboard left our window, and come up on
# --stop, on the desktop's global shortcut and when the program is killed
# mid-hold.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/native_lib.sh"
source "$(dirname "$0")/page_lib.sh"
unset QT_QPA_PLATFORM
[ "$E2E_WM" = mutter ] || fail "not on Mutter: $E2E_WM"
/usr/bin/python3 -c 'import dbus, gi' 2>/dev/null || skip "python3-dbus or python3-gi is missing"
TOOLS=$(cd "$(dirname "$0")/../../wayland" && pwd)
PROGRAM() { "$PROGRAM" "$@"; }

write_settings BackupSwitch=Off Text1=1 Option1=True Option2=False OftenIndex=2
write_keyset "160,65,1,"
start_wev
ANSWER=$WORK/answer
echo granted >"$ANSWER"
# With global shortcuts and answers it remembers, as newer GNOME has them
# (43 has neither).
/usr/bin/python3 "$TOOLS/portal_standin.py" --log "$WORK/portal.log" --answer-file "$ANSWER" --shortcuts --version 2 >"$WORK/portal.out" 2>&1 &
PORTAL_PID=$!
STARTED_PIDS+=($PORTAL_PID)
wait_for 10 grep -qx ready "$WORK/portal.out" || fail "the portal's stand-in did not start: $(cat "$WORK/portal.out")"

# The seat's own keyboard and mouse, as a desktop has them: a headless Mutter
# has none until a session sends something. The mouse rests over wev, where
# its clicks give wev the keyboard.
coproc seat { exec /usr/bin/python3 "$TOOLS/portal_client.py"; }
STARTED_PIDS+=($seat_PID)
seat() { echo "$1" >&"${seat[1]}" && read -r -t 20 said <&"${seat[0]}" && [[ $said == ok* ]] || fail "the seat's $1: $said"; }
# seat_until "KEY|BUTTON CODE" CHECK...: presses and lets go until CHECK
# holds (what Mutter has not settled yet takes no input), 20 times at most.
seat_until() {
  local what=$1 _
  shift
  for _ in $(seq 1 20); do
    seat "$what 1"
    seat "$what 0"
    "$@" && return 0
    sleep 0.3
  done
  return 1
}
seat "start 3"
seat_until "key 42" grep -q 'key: 50; state: 0' "$WEV"
seat "motion -4000 -4000"
seat "motion 640 260"
pointer_in_wev() { grep 'wl_pointer\] \(enter\|leave\)' "$WEV" | tail -n 1 | grep -q enter; }
click_wev() {
  # A nudge makes Mutter look again at what is under the pointer, once our
  # window has moved off wev.
  seat "motion 1 0"
  seat "motion -1 0"
  wait_for 10 pointer_in_wev || fail "the pointer is not over wev"
  # The middle button, which the key set has not: what the test counts is
  # only what the program sent, however late Mutter hands on this click. A
  # click Mutter takes for a window still settling is given again.
  local _
  for _ in 1 2 3; do
    seat "button 274 1"
    seat "button 274 0"
    wait_for 5 bash -c "grep 'wl_keyboard\] \(enter\|leave\)' '$WEV' | tail -n 1 | grep -q enter" && return
  done
  fail "wev did not take the keyboard"
}
# Counted from here on.
mark() { MARK=$(wc -l <"$WEV"); }
since() { tail -n +$((MARK + 1)) "$WEV" | grep -oE 'serial: [0-9]+; time: [0-9]+; (key: [0-9]+;|button: 272 \(left\),) state: [01]' | uniq | sed 's/.*\(key\|button\)/\1/'; }
new() { wait_for "${2:-10}" bash -c "$(declare -f since); MARK=$MARK WEV='$WEV'; since | grep -q '$1'"; }

start_quindorel() {
  "$PROGRAM" >>"$WORK/program.log" 2>&1 &
  PROGRAM_PID=$!
  STARTED_PIDS+=("$PROGRAM_PID")
  local window
  window=$(program_window) || fail "the main window did not appear on X11"
  # Out of wev's way: Mutter puts both in the middle.
  xdotool windowmove "$window" 0 520
}
start_quindorel
STATUS=$(PROGRAM --status 2>&1)
[[ $STATUS == *'neither list nor raise native Wayland windows: choose "(the window in front when the wait ends)"'*'the pointer is.' ]] ||
  problem "--status said: $STATUS"
# The stop key is asked for once the window's first frame is up, which may
# come after the answer to --status.
wait_for 10 grep -qx 'BindShortcuts stop-hold CTRL+SHIFT+s' "$WORK/portal.log" ||
  problem "Ctrl+Shift+S was not asked for"

# The dialog refused, or closed: one line, nothing down, the switch off.
echo refused >"$ANSWER"
click_wev
mark
PROGRAM --start >"$WORK/start.out" 2>&1 && fail "--start succeeded though the dialog was refused"
[ "$(cat "$WORK/start.out")" = "Remote control was not allowed in the desktop's dialog, so no keys are held." ] ||
  problem "--start said: $(cat "$WORK/start.out")"
sleep 0.5
[ -z "$(since)" ] || fail "keys reached wev though the dialog was refused: $(since)"
STATUS=$(PROGRAM --status 2>&1)
[[ $STATUS == "idle; the last start was turned down: Remote control was not allowed in the desktop's dialog"* ]] ||
  problem "not idle after the refusal, or the refusal untold: $STATUS"
echo closed >"$ANSWER"
PROGRAM --start >"$WORK/start.out" 2>&1 && fail "--start succeeded though the dialog was closed"
[ "$(cat "$WORK/start.out")" = "The desktop's dialog for remote control was closed unanswered, so no keys are held." ] ||
  problem "--start said: $(cat "$WORK/start.out")"

# Stopped while the dialog is open: the question is withdrawn, the start
# says so, and nothing goes down when the dialog would have been answered.
echo "granted 3" >"$ANSWER"
dialogs() { grep -c '^parent window' "$WORK/portal.log"; }
before=$(dialogs)
PROGRAM --start >"$WORK/start.out" 2>&1 &
START_PID=$!
wait_for 10 bash -c "$(declare -f PROGRAM); PROGRAM=$PROGRAM; PROGRAM --status >/dev/null 2>&1; [ \$? = 3 ]" ||
  problem "the dialog did not show as waiting"
wait_for 10 bash -c "$(declare -f dialogs); WORK='$WORK'; [ \$(dialogs) -gt $before ]" || problem "no dialog came up"
PROGRAM --stop >/dev/null 2>&1 || problem "--stop during the dialog failed"
wait "$START_PID"
[ $? = 5 ] || problem "--start stopped during the dialog did not fail"
[[ $(cat "$WORK/start.out") == "The hold was stopped while the desktop's dialog"* ]] ||
  problem "--start stopped during the dialog said: $(cat "$WORK/start.out")"
wait_for 10 grep -qx 'request closed' "$WORK/portal.log" || problem "the dialog's request was not closed"
wait_for 10 bash -c "[ \$(grep -c '^session closed' '$WORK/portal.log') -ge 1 ]" || problem "the withdrawn session was not closed"
[ -z "$(since)" ] || fail "keys reached wev though the dialog was withdrawn: $(since)"

# Granted, from Quindorel's own window: the keys wait until the user clicks
# the native window.
echo granted >"$ANSWER"
xdotool windowactivate --sync "$(program_window)" 2>/dev/null
wait_for 10 bash -c "grep 'wl_keyboard\] \(enter\|leave\)' '$WEV' | tail -n 1 | grep -q leave" ||
  fail "the native window kept the keyboard"
PROGRAM --start >"$WORK/start.out" 2>&1 || fail "--start failed: $(cat "$WORK/start.out")"
sleep 0.5
mark
click_wev
new 'key: 50; state: 1' || fail "no Shift down in the native window"
new 'key: 38; state: 1' || fail "no A down in the native window"
grep -A1 'key: 38; state: 1' "$WEV" | grep -q 'sym: A' || problem "A did not type a capital: Shift did not hold"
new 'button: 272 (left), state: 1' || fail "no left button down in the native window"
PROGRAM --stop >/dev/null 2>&1 || problem "--stop failed"
new 'key: 38; state: 0' || fail "A stayed down after --stop"
new 'key: 50; state: 0' || fail "Shift stayed down after --stop"
new 'button: 272 (left), state: 0' || fail "the left button stayed down after --stop"
[ "$(since | grep -c 'key: 38; state: 1')" = 1 ] || problem "A went down more than once: $(since)"
[ "$(since | grep 'key: .*state: 0' | tr '\n' ' ')" = "key: 38; state: 0 key: 50; state: 0 " ] ||
  problem "the keys came up in the wrong order: $(since)"
grep -qx 'Start granted' "$WORK/portal.log" || problem "the portal was not asked"
# The dialog belongs to no window, so that GNOME gives the keyboard back to
# the window that had it, and our window's buttons answer meanwhile.
[ -z "$(grep '^parent window' "$WORK/portal.log" | grep -v '(none)$')" ] ||
  problem "the dialog was tied to a window: $(grep '^parent window' "$WORK/portal.log")"

# Killed mid-hold: the portal ends the session of a client that left the
# bus, and Mutter lets go of what it held.
mark
PROGRAM --start >/dev/null 2>&1 || fail "--start before the kill failed"
new 'key: 38; state: 1' || fail "no A down before the kill"
kill -KILL "$PROGRAM_PID"
new 'key: 38; state: 0' || fail "A stayed down after the program was killed"
new 'key: 50; state: 0' || fail "Shift stayed down after the program was killed"
new 'button: 272 (left), state: 0' || fail "the left button stayed down after the program was killed"

# The next run asks the portal to remember the answer it gave, and so the
# user is not asked again.
TOKEN=$(sed -n 's/^RemoteDesktopToken=//p' "$SETTINGS_FILE")
[ -n "$TOKEN" ] || problem "the portal's token was not kept with the settings"
# A dialog answered later than any fixed wait of a command's: the command
# waits for the answer and tells it, with one request; the program neither
# ends nor presses twice.
start_quindorel
echo "granted 8" >"$ANSWER"
click_wev
mark
starts=$(grep -c '^Start ' "$WORK/portal.log")
PROGRAM --start >"$WORK/start.out" 2>&1 &
START_PID=$!
# While the dialog is open, --status says what the hold waits for.
asking() { PROGRAM --status >"$WORK/status.out" 2>&1; [ $? = 3 ] && [[ $(cat "$WORK/status.out") == "waiting for the desktop's permission; "* ]]; }
wait_for 10 asking || problem "--status during the dialog said: $(cat "$WORK/status.out")"
# The window answers meanwhile: a click on B marks it, a second unmarks it;
# then wev takes the keyboard back.
xdotool windowactivate --sync "$(program_window)" 2>/dev/null
click_control "$(program_window)" B
wait_for 5 grep -q '66,' "$KEYSET_FILE" || problem "a click on B during the dialog marked nothing: $(cat "$KEYSET_FILE")"
click_control "$(program_window)" B
wait_for 5 bash -c "! grep -q '66,' '$KEYSET_FILE'" || problem "a second click on B during the dialog left it marked"
seat "motion -4000 -4000"
seat "motion 640 260"
click_wev
wait "$START_PID" || fail "--start with a late answer failed: $(cat "$WORK/start.out")"
[[ $(cat "$WORK/start.out") == "holding forever: "* ]] || problem "--start with a late answer said: $(cat "$WORK/start.out")"
[ "$(grep -c '^Start ' "$WORK/portal.log")" = $((starts + 1)) ] ||
  problem "one command asked the portal more than once: $(cat "$WORK/portal.log")"
new 'key: 38; state: 1' 15 || fail "no A down after the slow answer"
kill -0 "$PROGRAM_PID" 2>/dev/null || fail "the program ended while the dialog was open"
grep -qx "SelectDevices types 3 persist 2 restore $TOKEN" "$WORK/portal.log" || problem "the kept token was not given back"
[ "$(since | grep -c 'key: 38; state: 1')" = 1 ] || problem "A went down more than once: $(since)"
# The desktop's shortcut, pressed with wev in front.
kill -USR1 "$PORTAL_PID"
new 'key: 38; state: 0' || fail "A stayed down after the desktop's stop key"
# "Start or stop the hold", bound with no key of ours, pressed as the
# desktop's dialog or settings gave it one: a hold starts, and stops.
grep -qx "BindShortcuts toggle-hold " "$WORK/portal.log" || problem "the start/stop action was not bound, or came with a key"
mark
kill -USR2 "$PORTAL_PID"
new 'key: 38; state: 1' || fail "the desktop's start/stop key started no hold"
mark
kill -USR2 "$PORTAL_PID"
new 'key: 38; state: 0' || fail "the desktop's start/stop key did not stop the hold"

# A browser game in front: GNOME's client key repeat is off from the first
# key down to the last key up, so the page sees one press and one release,
# and keeps the keyboard; killed mid-hold, the guard puts the setting back.
repeat_is() { [ "$(gsettings get org.gnome.desktop.peripherals.keyboard repeat)" = "$1" ]; }
wait_for 10 repeat_is true || fail "key repeat is not on after the desktop's stop key"
echo granted >"$ANSWER"
start_page
seat "motion 0 40"
# The page says it is loaded before its window is on screen: the click is
# given again until the page has it.
seat_until "button 272" grep -qx 'mouseup 0' "$PAGE_LOG"
page_saw 'mouseup 0' || fail "the page did not take the click"
page_hold false true
page_mark
PROGRAM --start >/dev/null 2>&1 || fail "--start before the kill failed"
page_saw 'keydown A( repeat)?' || fail "no A down in the page before the kill"
kill -KILL "$PROGRAM_PID"
wait_for 10 repeat_is true || problem "key repeat stayed off after the program was killed"
page_saw 'keyup A' || problem "A stayed down in the page after the program was killed"
[ "$(page_events | grep -c '^keydown A')" = 1 ] || problem "the page saw A repeated around the kill: $(page_summary)"

# Power lost mid-hold: the note the run left puts the value back at the next start.
mkdir -p "$HOME/.local/state/quindorel"
printf 'quindorel key repeat 1\ndesktop=gnome\nwas=true\n' >"$HOME/.local/state/quindorel/key-repeat"
gsettings set org.gnome.desktop.peripherals.keyboard repeat false
start_quindorel
wait_for 10 repeat_is true || problem "the next start did not put key repeat back"
finish
