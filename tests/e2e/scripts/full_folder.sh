# A save into a full folder: the program reports it, the old key set stays
# whole and no temporary file is left behind; once there is room, the next
# save writes everything the screen shows.
source "$(dirname "$0")/lib.sh"

[ "$(id -u)" = 0 ] || skip "mounting a small tmpfs needs root"
FOLDER=$WORK/small
mkdir -p "$FOLDER"
mount -t tmpfs -o size=8k,mode=0700 tmpfs "$FOLDER" 2>/dev/null || skip "cannot mount a tmpfs here"
unmount_folder() { umount "$FOLDER" 2>/dev/null; }
CLEANUP_HOOKS+=(unmount_folder)

export TEMP=$FOLDER
KEYSET_FILE=$FOLDER/xsettings.txt
write_keyset "65,"
head -c 1M /dev/zero >"$FOLDER/filler" 2>/dev/null
note "folder filled: $(df -k "$FOLDER" | tail -n 1)"

start_program
WINDOW=$(program_window) || fail "the main window did not appear"
! error_box_shown || fail "reading the key set from the full folder was reported"
click_control "$WINDOW" S
wait_for 20 error_box_shown || problem "the failed save was not reported"
note "$(close_error_boxes) error box(es) on save"
[ "$(cat "$KEYSET_FILE")" = $'65,\r' ] || problem "the old key set was damaged: $("$TOOL" check-keyset "$KEYSET_FILE")"
LEFT=$(ls "$FOLDER" | grep -v -x -e xsettings.txt -e filler)
[ -z "$LEFT" ] || problem "files left behind: $LEFT"

rm -f "$FOLDER/filler"
click_control "$WINDOW" D
saved() { [ "$(cat "$KEYSET_FILE")" = $'65,83,68,\r' ]; }
wait_for 20 saved || problem "with room again the key set reads $("$TOOL" check-keyset "$KEYSET_FILE")"
! error_box_shown || problem "the save with room was reported: $(close_error_boxes) closed"
alive "$PROGRAM_PID" || fail "the program ended"
stop_program
finish
