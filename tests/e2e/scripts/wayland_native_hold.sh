# A native Wayland window on Sway (wev, which logs what it receives), the
# program started as a Sway session starts it: the window is listed and
# brought to the front, the command line aims at it while it is in front; its keys and the left button go down once
# each, the pointer over it; clients are told that virtual keyboards do not
# repeat while the program runs, and the rate comes back when it ends;
# everything comes up on --stop, on Ctrl+Shift+S typed into the
# native window, and the keys when the program is killed mid-hold.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/native_lib.sh"
unset QT_QPA_PLATFORM
[ "$E2E_WM" = sway ] || fail "not on Sway: $E2E_WM"

run_as_sway_user

write_settings BackupSwitch=Off Text1=1 Option1=True Option2=False OftenIndex=2
# Shift, A, Z and the left button: the modifier first. The layout is German
# (the seat has no keyboard of its own to take it from), whose Z is the US Y key.
export XKB_DEFAULT_LAYOUT=de
write_keyset "160,65,90,1,"
start_wev
# The seat's mouse, as a desktop has one, once wev is up (wev 1.0.0 itself
# may crash when it starts on a seat with a pointer and a keyboard): the
# program's pointer then comes and goes on a seat that keeps one, as on a
# real desktop (Sway 1.7 crashes when its only pointer goes; docs/wayland.md).
start_mouse
start_quindorel() {
  hand_over
  "${as_sway_user[@]}" "$PROGRAM" >>"$WORK/program.log" 2>&1 &
  PROGRAM_PID=$!
  STARTED_PIDS+=("$PROGRAM_PID")
}
start_quindorel
program_window >/dev/null || fail "the main window did not appear on X11"

# Holding from inside the native window: it is in front.
in_front() { swaymsg -q '[app_id="^wev$"] focus'; }
# First from Quindorel's own window: the native window is the list's only
# row, chosen, and comes to the front for the keys.
swaymsg -q '[title="^Quindorel$"] focus'
wait_for 10 grep -q 'leave:' "$WEV" || fail "the native window kept the keyboard"
PROGRAM --start >"$WORK/start.out" 2>&1 || fail "--start into the listed native window: $(cat "$WORK/start.out")"
grep -q 'into "wev"' "$WORK/start.out" || problem "--start said: $(cat "$WORK/start.out")"
seen 'key: 50; state: 1' || fail "no Shift down in the native window"
seen 'key: 38; state: 1' || fail "no A down in the native window"
grep -A1 'key: 38; state: 1' "$WEV" | grep -q 'sym: A' || problem "A did not type a capital: Shift did not hold"
seen 'key: 29; state: 1' || fail "no Z down on the German Z key"
grep -A1 'key: 29; state: 1' "$WEV" | grep -q 'sym: Z' || problem "the German Z key did not type Z"
seen 'button: 272 \(left\), state: 1' || fail "no left button down in the native window"
grep 'repeat_info' "$WEV" | tail -n 1 | grep -q 'rate: 0 keys/sec' || problem "clients were not told to stop repeating"
STATUS=$(PROGRAM --status 2>&1)
[[ $STATUS == holding* ]] || problem "--status during the hold said: $STATUS"
# Shift comes up after A and Z, as a hand lets go.
stop_lets_go "key: 38; state: 0 key: 29; state: 0 key: 50; state: 0 "

# The stop key, typed into the native window through the compositor.
in_front
PROGRAM --start >/dev/null 2>&1 || fail "the second --start failed"
has_count 'key: 38; state: 1' 2 || fail "no second A down"
# A new virtual keyboard reaches Sway 1.7's seat only after a while (a
# driver that keeps its own): the keys again until the hold ends.
for _ in 1 2 3 4 5; do
  "$DRIVER" +17 +16 +83 -83 -16 -17 sleep:300 >/dev/null 2>&1
  [ "$(PROGRAM --status 2>&1)" = idle ] && break
done
has_count 'key: 38; state: 0' 2 ||
  fail "A stayed down after Ctrl+Shift+S in the native window"
wait_for 10 is_idle || problem "not idle after Ctrl+Shift+S"

# Ended mid-hold (SIGTERM): the program lets go itself, and takes its
# binding away: Ctrl+Shift+S reaches the window again.
hold_and TERM 3
for _ in 1 2 3 4 5; do
  "$DRIVER" +17 +16 +83 -83 -16 -17 sleep:300 >/dev/null 2>&1
  grep -q 'key: 39; state: 1' "$WEV" && break
done
grep -q 'key: 39; state: 1' "$WEV" || problem "Ctrl+Shift+S stayed bound after the program ended"
# What a virtual keyboard made now is told (the window hears of the seat's
# keyboard only while it has one).
repeats() {
  "$DRIVER" +16 -16 sleep:200 >/dev/null 2>&1
  grep 'repeat_info' "$WEV" | tail -n 1 | grep -q 'rate: 25 keys/sec'
}
wait_for 10 repeats || problem "repeat stayed off after the program ended"

# Killed mid-hold: the compositor lets go of the program's keys, the key
# guard of its button, and Sway gets its repeat and bindings back.
start_quindorel
program_window >/dev/null || fail "the main window did not appear again"
hold_and KILL 4
wait_for 10 repeats || problem "repeat stayed off after SIGKILL"
finish
