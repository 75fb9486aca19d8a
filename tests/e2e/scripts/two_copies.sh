# Two copies of the program share one key-set file and save in turn: the
# file always holds one whole line, and the last save wins.
source "$(dirname "$0")/lib.sh"

# Every press and release each copy gets from the X server goes to its log,
# which is shown when a click seems lost: none, two, or elsewhere.
export QT_LOGGING_RULES='qt.qpa.input.events=true'
# Timed mode: only one copy on a display can own Ctrl+Shift+S.
write_settings BackupSwitch=Off Text1=1 Option1=False Option2=True OftenIndex=2
write_keyset ""
start_program "$WORK/first.log"
FIRST_PID=$PROGRAM_PID
FIRST=$(program_window) || fail "the first window did not appear"
xdotool windowmove "$FIRST" 0 0
# One copy runs per session: the second is of another session (its own
# runtime folder) that shares the key-set folder.
mkdir -m 700 "$WORK/runtime2"
XDG_RUNTIME_DIR=$WORK/runtime2 start_program "$WORK/second.log"
SECOND_PID=$PROGRAM_PID
has_second() { visible_windows '^Quindorel$' | grep -qvx "$FIRST"; }
wait_for 30 has_second || fail "the second window did not appear"
SECOND=$(visible_windows '^Quindorel$' | grep -vx "$FIRST" | head -n 1)
xdotool windowmove "$SECOND" 624 380
sleep 1

"$TOOL" watch-keyset "$KEYSET_FILE" >"$WORK/watch.log" 2>&1 &
WATCH_PID=$!
STARTED_PIDS+=("$WATCH_PID")

# Each copy marks keys of its own; after each click the file is that copy's set.
FIRST_KEYS=(A S D F)
SECOND_KEYS=(H J K L)
first_set=""
second_set=""
file_is() { [ "$(cat "$KEYSET_FILE")" = "$1"$'\r' ]; }
for round in 0 1 2 3; do
  click_control "$FIRST" "${FIRST_KEYS[$round]}"
  first_set+="${KEY_CODE[${FIRST_KEYS[$round]}]},"
  wait_for 20 file_is "$first_set" || {
    problem "after a click in the first copy the file reads $("$TOOL" check-keyset "$KEYSET_FILE"), not $first_set"
    describe_screen
  }
  click_control "$SECOND" "${SECOND_KEYS[$round]}"
  second_set+="${KEY_CODE[${SECOND_KEYS[$round]}]},"
  wait_for 20 file_is "$second_set" || {
    problem "after a click in the second copy the file reads $("$TOOL" check-keyset "$KEYSET_FILE"), not $second_set"
    describe_screen
  }
done

kill -TERM "$WATCH_PID"
wait "$WATCH_PID"
WATCH_STATUS=$?
note "watcher: $(tail -n 1 "$WORK/watch.log")"
[ "$WATCH_STATUS" = 0 ] || problem "a reader saw a broken key-set file: $(head -n 1 "$WORK/watch.log")"
alive "$FIRST_PID" && alive "$SECOND_PID" || fail "a copy of the program ended"
! error_box_shown || problem "an error box appeared: $(close_error_boxes) closed"
PROGRAM_PID=$FIRST_PID stop_program
PROGRAM_PID=$SECOND_PID stop_program
finish
