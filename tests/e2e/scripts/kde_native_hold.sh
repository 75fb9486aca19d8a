# A native Wayland window on KDE Plasma's KWin (wev), the program installed
# (with-staged-install.sh) and started as a Plasma session starts it, KWin
# checking who may send keys: KWin lets the installed copy in through its
# desktop entry; the window is listed and brought to the front; its keys and
# the left button go down once each and come up on --stop, on Ctrl+Shift+S
# typed into the native window (and KDE's start/stop action, given a key,
# starts and stops a hold there), on SIGTERM, and when the program is killed
# mid-hold (KWin keeps a dead client's keys down:
# the key guard lets go of them). Whatever ended it, the copy's KWin script is
# unloaded and its shortcut inactive; a new copy unloads what dead copies
# left in KWin, and never a running copy's script.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/native_lib.sh"
source "$(dirname "$0")/page_lib.sh"
unset QT_QPA_PLATFORM
[ "$E2E_WM" = kwin ] || fail "not on KWin: $E2E_WM"
[ -n "${QUINDOREL_STAGED_PROGRAM:-}" ] || fail "no installed program (with-staged-install.sh)"
PROGRAM() { "$QUINDOREL_STAGED_PROGRAM" "$@"; }

source "$(dirname "$0")/../../shell/kwin.sh"
# What a user's click does: KWin gives wev the keyboard.
in_front() {
  kwin_script test-script 'if (w.resourceClass == "wev") workspace.activeClient = w;'
  wait_for 10 bash -c "grep 'wl_keyboard\] \(enter\|leave\)' '$WEV' | tail -n 1 | grep -q enter"
}
# Where KWin has wev, and whether above the others: "X Y above|normal".
wev_place() {
  kwin_script test-script 'if (w.resourceClass == "wev") print("wev-place " + w.frameGeometry.x + " " + w.frameGeometry.y + " " + (w.keepAbove ? "above" : "normal"));'
  sleep 0.3
  grep -o 'wev-place .*' "$QUINDOREL_TEST_DESKTOP_LOG" | tail -n 1 | cut -d' ' -f2-
}
start_quindorel() {
  "$QUINDOREL_STAGED_PROGRAM" >>"$WORK/program.log" 2>&1 &
  PROGRAM_PID=$!
  STARTED_PIDS+=("$PROGRAM_PID")
  program_window >/dev/null || fail "the main window did not appear on X11"
}

write_settings BackupSwitch=Off Text1=1 Option1=True Option2=False OftenIndex=2
write_keyset "160,65,1,"
start_wev
[ "$(wev_place)" != "0 0 normal" ] || fail "wev starts in the corner: the test would show nothing"
start_quindorel
STATUS=$(PROGRAM --status 2>&1)
[ "$STATUS" = idle ] || fail "KWin did not let the installed copy in: $STATUS"

# KWin's log says each change of wev's place above the others.
kwin_script test-script 'if (w.resourceClass == "wev") w.keepAboveChanged.connect(function () { print("wev-above " + w.keepAbove); });'
# From Quindorel's own window: the native window is the list's only row,
# chosen, and comes to the front for the keys.
xdotool windowactivate --sync "$(program_window)" 2>/dev/null
wait_for 10 bash -c "grep 'wl_keyboard\] \(enter\|leave\)' '$WEV' | tail -n 1 | grep -q leave" ||
  fail "the native window kept the keyboard"
PROGRAM --start >"$WORK/start.out" 2>&1 || fail "--start into the listed native window: $(cat "$WORK/start.out")"
grep -q 'into "wev"' "$WORK/start.out" || problem "--start said: $(cat "$WORK/start.out")"
seen 'key: 50; state: 1' || fail "no Shift down in the native window"
seen 'key: 38; state: 1' || fail "no A down in the native window"
grep -A1 'key: 38; state: 1' "$WEV" | grep -q 'sym: A' || problem "A did not type a capital: Shift did not hold"
seen 'button: 272 \(left\), state: 1' || fail "no left button down in the native window"
# Above the others for the press pass, then back among them in the corner.
in_corner() { [ "$(wev_place)" = "0 0 normal" ]; }
wait_for 10 in_corner || problem "wev is not back in the corner among the others: $(wev_place)"
[ "$(grep -o 'wev-above .*' "$QUINDOREL_TEST_DESKTOP_LOG" | tr '\n' ' ')" = "wev-above true wev-above false " ] ||
  problem "wev was not above the others for the press pass: $(grep -o 'wev-above .*' "$QUINDOREL_TEST_DESKTOP_LOG")"
stop_lets_go "key: 38; state: 0 key: 50; state: 0 "

# Ctrl+Shift+S typed while the native window is in front: KDE's global
# shortcut (the test's key sender is let in as the program is).
DRIVER=$(dirname "$RECORDER")/../wayland/wayland_driver
in_front
PROGRAM --start >/dev/null 2>&1 || fail "the second --start failed"
has_count 'key: 38; state: 1' 2 || fail "no second A down"
"$DRIVER" +17 +16 +83 -83 -16 -17 sleep:300 >"$WORK/driver.log" 2>&1 || fail "the key sender failed: $(cat "$WORK/driver.log")"
has_count 'key: 38; state: 0' 2 || fail "A stayed down after Ctrl+Shift+S in the native window"
wait_for 10 is_idle || problem "not idle after Ctrl+Shift+S"
! grep -q 'key: 39; state: 1' "$WEV" || problem "S reached the window: the shortcut did not take it"

# "Start or stop the hold": KDE's action, with no key until the user gives
# it one in System Settings (here the way System Settings does it); then
# that key, Ctrl+Shift+F9 (KWin has Ctrl+F9), pressed in the native window, starts a hold there and
# stops it, and never reaches it.
kga() { gdbus call --session --dest org.kde.kglobalaccel --object-path /kglobalaccel --method "org.kde.KGlobalAccel.$1" "${@:2}"; }
TOGGLE_ID="['com.marvenhal.quindorel', 'toggle-hold', 'Quindorel', 'Start or stop the hold']"
[ "$(kga shortcut "$TOGGLE_ID")" = "(@ai [],)" ] ||
  problem "the start/stop action came with a key: $(kga shortcut "$TOGGLE_ID" 2>&1)"
kga setForeignShortcut "$TOGGLE_ID" "[117440568]" >/dev/null || problem "the key could not be given to the action"
in_front
"$DRIVER" +17 +16 +120 -120 -16 -17 sleep:300 >"$WORK/driver.log" 2>&1 || fail "the key sender failed: $(cat "$WORK/driver.log")"
has_count 'key: 38; state: 1' 3 || fail "KDE's start/stop key started no hold"
"$DRIVER" +17 +16 +120 -120 -16 -17 sleep:300 >"$WORK/driver.log" 2>&1 || fail "the key sender failed: $(cat "$WORK/driver.log")"
has_count 'key: 38; state: 0' 3 || fail "KDE's start/stop key did not stop the hold"
wait_for 10 is_idle || problem "not idle after the start/stop key"
! grep -q 'key: 75; state: 1' "$WEV" || problem "F9 reached the window: the shortcut did not take it"

kwin_call() { gdbus call --session --dest org.kde.KWin --object-path /Scripting --method "org.kde.kwin.Scripting.$1" "${@:2}"; }
script_gone() { [ "$(kwin_call isScriptLoaded "quindorel-windows-$1")" = "(false,)" ]; }
shortcut_inactive() {
  [ "$(gdbus call --session --dest org.kde.kglobalaccel --object-path /component/com_marvenhal_quindorel \
    --method org.kde.kglobalaccel.Component.isActive)" = "(false,)" ]
}
# left_clean LABEL PID: nothing of the copy PID stays in KDE.
left_clean() {
  wait_for 10 script_gone "$2" || problem "$1: KWin still holds the copy's script"
  wait_for 10 shortcut_inactive || problem "$1: the stop key's shortcut stayed active"
}
! script_gone "$PROGRAM_PID" && ! shortcut_inactive || fail "no script named for the copy, or no shortcut"
FIRST_PID=$PROGRAM_PID
# KWin's client key repeat, as KDE keeps it: unset is KDE's default (on).
repeat_is() { [ "$(kreadconfig5 --file kcminputrc --group Keyboard --key KeyRepeat)" = "$1" ]; }
hold_and TERM 4
left_clean SIGTERM "$FIRST_PID"
repeat_is "" || problem "key repeat was not put back after SIGTERM"

# Scripts in KWin as copies killed with their guard leave them: of a copy
# that has ended, and of one that still runs (a stand-in).
true & DEAD=$!
wait "$DEAD"
sleep 600 & ALIVE=$!
STARTED_PIDS+=("$ALIVE")
for pid in "$DEAD" "$ALIVE"; do
  echo 'print("left");' >"$XDG_RUNTIME_DIR/quindorel-kwin/windows-$pid.js"
  kwin_call loadScript "$XDG_RUNTIME_DIR/quindorel-kwin/windows-$pid.js" "quindorel-windows-$pid" >/dev/null
done
start_quindorel
script_gone "$DEAD" && [ ! -e "$XDG_RUNTIME_DIR/quindorel-kwin/windows-$DEAD.js" ] || problem "a dead copy's script stayed"
! script_gone "$ALIVE" || problem "a running copy's script was unloaded"
kwin_call unloadScript "quindorel-windows-$ALIVE" >/dev/null
hold_and KILL 5
# The key guard takes back what the killed copy left.
left_clean SIGKILL "$PROGRAM_PID"
wait_for 10 repeat_is "" || problem "key repeat was not put back after the program was killed"

# A browser game in front: one press and release of each, no repeat, no blur.
start_page
start_quindorel
# The page had the keyboard before: it goes to our window first, then back.
xdotool windowactivate --sync "$(program_window)" 2>/dev/null
wait_for 10 bash -c "$(declare -f page_has_keyboard); PAGE_LOG='$PAGE_LOG'; ! page_has_keyboard" || fail "the page kept the keyboard"
kwin_script test-script 'if (w.resourceClass == "firefox-esr") workspace.activeClient = w;'
wait_for 10 page_has_keyboard || fail "Firefox did not come to the front"
page_hold nothing ""
page_saw 'mousedown 0' && page_saw 'mouseup 0' || problem "the button did not go down and up in the page"
finish
