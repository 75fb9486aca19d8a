# The X server goes away while the program holds keys: the program ends by
# itself, without hanging and without crashing.
source "$(dirname "$0")/lib.sh"

# with-x-server.sh started Xvfb; it is our parent's child.
XVFB_PID=$(pgrep -P "$PPID" -x Xvfb) || skip "cannot find the Xvfb of this display"

autorepeat_off
write_settings BackupSwitch=On Text1=1 Option1=True Option2=False OftenIndex=2
write_keyset "65,"
start_recorder Recorder "$WORK/recorder.log"
start_program
program_window >/dev/null || fail "the main window did not appear"
wait_for 30 has_events "$WORK/recorder.log" press "a" || fail "the key did not go down"

kill -TERM "$XVFB_PID"
wait_exit "$PROGRAM_PID" 60 || fail "the program still runs 60 s after the X server went away"
note "the program ended with status $EXIT_STATUS"
# 128 + signal number: killed by a signal (a crash), not an orderly end.
[ "$EXIT_STATUS" -lt 128 ] || fail "the program crashed (status $EXIT_STATUS)"
finish
