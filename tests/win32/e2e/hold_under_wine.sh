#!/usr/bin/env bash
# The real quindorel.exe under Wine on an X display (scripts/test-windows.sh
# prepares the display and the Wine prefix):
#   hold_under_wine.sh QUINDOREL.EXE WIN32_E2E_TOOL.EXE WINDOW_LAYOUT.TSV
# (the table of where the window's keys lie, which the build writes)
# 1. The window comes up; a click on the on-screen "a" marks it and writes
#    the key-set file in the Windows temporary folder; the settings are in
#    HKCU\Software\Marvenhal\Quindorel.
# 2. A forever hold into a recording Wine window: key-downs with scan codes,
#    the modifier first, then the others in key-set order, the left mouse
#    button last, at the pointer put over the window; Ctrl+Shift+S arrives as
#    the stop key and the keys and the button go up, the modifier last.
# 3. The exe killed during a hold: its key guard sends the same key-ups and
#    lets go of the button, and ends.
# 4. One running copy: a second start ends and leaves one window; --toggle
#    holds into the window in front and lets go.
set -u
EXE=$1
TOOL=$2
LAYOUT=$3
repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
wine="$repo_root/scripts/wine-run.sh"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/quindorel-wine-e2e.XXXXXX")
PIDS=()

cleanup() {
  local status=$? pid
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${PIDS[@]}"; do wait "$pid" 2>/dev/null; done
  if [[ $status != 0 ]]; then
    for log in "$WORK"/*.log; do
      [[ -f "$log" ]] && { echo "---- $(basename "$log") ----" >&2; tail -n 30 "$log" >&2; }
    done
  fi
  rm -rf "$WORK"
  exit "$status"
}
trap cleanup EXIT
note() { echo "[wine-e2e] $*"; }
fail() {
  echo "[wine-e2e] FAIL: $*" >&2
  exit 1
}
source "$repo_root/tests/shell/waits.sh"
win() { "$wine" "$@" 2>/dev/null | tr -d '\r'; }

settings_key='HKCU\Software\Marvenhal\Quindorel'
temp_dir="$(win winepath -u "$(win cmd /c echo %TEMP%)")"
temp_dir=${temp_dir%/}
keyset="$temp_dir/xsettings.txt"
[[ -d "$temp_dir" ]] || fail "no Windows temporary folder ($temp_dir)"
win reg delete 'HKCU\Software\Marvenhal' /f >/dev/null
rm -f "$keyset"
cp "$EXE" "$(dirname "$EXE")/xsettings.txt" "$WORK/" || fail "no $EXE"
[[ -f "$(dirname "$EXE")/HAND-M.CUR" ]] && cp "$(dirname "$EXE")/HAND-M.CUR" "$WORK/"
program="$WORK/quindorel.exe"

start_program() {
  "$wine" "$program" >>"$WORK/program.log" 2>&1 &
  PROGRAM_PID=$!
  PIDS+=("$PROGRAM_PID")
  wait_for 60 has_window '^Quindorel$' || fail "the main window did not appear"
}
no_guard_left() { ! pgrep -f -- '--quindorel-key-guard' >/dev/null; }
stop_program() {
  kill "$PROGRAM_PID" 2>/dev/null
  wait "$PROGRAM_PID" 2>/dev/null
  wait_for 10 no_guard_left || fail "the key guard outlived the program"
}

# --- 1: window, a click, the key-set file and the settings ----------------------
start_program
has_window '^Application Error$' && fail "an error box at start-up"
read -r x y < <(win "$TOOL" origin Quindorel) || fail "no client area for Quindorel"
# The middle of key "a", from the layout table (NAME CODE X Y WIDTH HEIGHT).
read -r key_x key_y < <(awk -F'\t' '$1 == "A" { print $3 + int($5 / 2), $4 + int($6 / 2) }' "$LAYOUT") ||
  fail "no key A in the layout table $LAYOUT"
xdotool mousemove $((x + key_x)) $((y + key_y)) click 1
keyset_is() { [[ -f "$keyset" && "$(od -An -c "$keyset" | tr -d ' \n')" == "$1" ]]; }
wait_for 10 keyset_is '65,\r\n' ||
  fail "the click did not save 65 in $keyset: $(od -An -c "$keyset" 2>/dev/null)"
note "a click marked \"a\" and wrote $(od -An -c "$keyset" | tr -d ' \n') to %TEMP%\\xsettings.txt"
stop_program
settings="$(win reg query "$settings_key")"
for name in Text1 Option1 Option2; do
  grep -q "^ *$name *REG_SZ" <<<"$settings" || fail "$name is not in $settings_key: $settings"
done
note "settings in $settings_key: $(grep -c REG_SZ <<<"$settings") values"

# --- 2 and 3: holds into a recording window ---------------------------------------
for value in BackupSwitch=On Text1=1 Option1=True Option2=False OftenIndex=2; do
  win reg add "$settings_key" /v "${value%%=*}" /d "${value#*=}" /f >/dev/null
done
printf '65,160,38,1,\r\n' >"$keyset"
recording="$WORK/recorder.log"
"$wine" "$TOOL" record Recorder "Z:$recording" >>"$WORK/recorder-errors.log" 2>&1 &
PIDS+=($!)
recorder_up() { grep -q '^mapped' "$recording" 2>/dev/null; }
wait_for 30 recorder_up || fail "the recording window did not come up"

# keys_since LINE KIND: the key messages of one kind after line LINE.
keys_since() { tail -n "+$(($1 + 1))" "$recording" | tr -d '\r' | awk -v kind="$2" '$1 == kind { print $2, $3, $4 }' | tr '\n' ';'; }
has_keys() { [[ "$(keys_since "$1" "$2")" == *"$3"* ]]; }
downs='16 0x2A 0;65 0x1E 0;38 0x48 1;1 0x00 0;'
ups='65 0x1E 0;38 0x48 1;1 0x00 0;16 0x2A 0;'

start=$(wc -l <"$recording")
start_program
wait_for 30 has_keys "$start" down "$downs" ||
  fail "the hold's key-downs did not arrive as $downs: $(keys_since "$start" down)"
note "the hold sent $(keys_since "$start" down)"
start=$(wc -l <"$recording")
xdotool key ctrl+shift+s
# Ctrl+Shift+S itself arrives (but S, taken by the hot key); then the program's ups.
wait_for 10 has_keys "$start" up "$ups" || fail "Ctrl+Shift+S did not release as $ups: $(keys_since "$start" up)"
note "Ctrl+Shift+S released: $(keys_since "$start" up)"
has_window '^Application Error$' && fail "an error box during the hold"
stop_program

start=$(wc -l <"$recording")
start_program
wait_for 30 has_keys "$start" down "$downs" || fail "the second hold sent $(keys_since "$start" down)"
pgrep -f -- '--quindorel-key-guard' >/dev/null || fail "no key guard runs beside the program"
start=$(wc -l <"$recording")
kill -KILL "$PROGRAM_PID"
wait "$PROGRAM_PID" 2>/dev/null
wait_for 10 has_keys "$start" up "$ups" ||
  fail "killed during a hold, the keys did not come up as $ups: $(keys_since "$start" up)"
wait_for 10 no_guard_left || fail "the key guard did not end after the release"
note "killed during a hold, the guard released: $(keys_since "$start" up)"

# --- 4: one running copy, and the command line into the window in front ----------
win reg add "$settings_key" /v BackupSwitch /d Off /f >/dev/null
printf '65,\r\n' >"$keyset"
start_program
"$wine" "$program" >>"$WORK/second.log" 2>&1 &
second=$!
wait_for 30 exited "$second" || fail "a second start did not end"
windows=$(xdotool search --onlyvisible --name '^Quindorel$' | wc -l)
[[ $windows == 1 ]] || fail "a second start left $windows windows"
xdotool search --name '^Recorder$' windowactivate 2>/dev/null
start=$(wc -l <"$recording")
"$wine" "$program" --toggle >>"$WORK/commands.log" 2>&1 || fail "--toggle failed: $(tail -n 2 "$WORK/commands.log")"
wait_for 20 has_keys "$start" down '65 0x1E 0;' || fail "--toggle sent $(keys_since "$start" down)"
"$wine" "$program" --status >"$WORK/status.out" 2>&1
code=$?
[[ $code == 4 ]] || fail "--status while holding ended with $code: $(tr -d '\r' <"$WORK/status.out")"
note "--status while holding: $code, \"$(tr -d '\r' <"$WORK/status.out")\""
"$wine" "$program" --toggle >>"$WORK/commands.log" 2>&1 || fail "the second --toggle failed"
wait_for 20 has_keys "$start" up '65 0x1E 0;' || fail "--toggle released $(keys_since "$start" up)"
note "--toggle held and released: $(keys_since "$start" down) / $(keys_since "$start" up)"
stop_program
note "passed"
