# Key-set files the program cannot use: a folder that does not exist, a
# 50 MB file, a file of random bytes, a FIFO (whose open would never end). The program reports what it must,
# shows its window, keeps running, and leaves the file as it was.
source "$(dirname "$0")/lib.sh"

window_or_box() { has_window '^Quindorel$' || error_box_shown; }

# start_through_boxes LABEL: starts the program and closes the error boxes
# until its main window shows; sets WINDOW and BOXES.
start_through_boxes() {
  start_program
  BOXES=0
  for _ in $(seq 1 10); do
    wait_for 30 window_or_box || fail "$1: neither a window nor an error box appeared"
    BOXES=$((BOXES + $(close_error_boxes)))
    has_window '^Quindorel$' && break
    sleep 0.5
  done
  WINDOW=$(program_window 5) || fail "$1: the main window did not appear"
}

# still_running LABEL: a few seconds later the program is there and quiet.
still_running() {
  sleep 3
  alive "$PROGRAM_PID" || fail "$1: the program ended"
  ! error_box_shown || problem "$1: an unexpected error box: $(close_error_boxes) closed"
}

# A missing folder: the read and every save are reported.
export TEMP=$WORK/no-such-folder/temp
start_through_boxes "missing folder"
[ "$BOXES" -ge 1 ] || problem "missing folder: reading the key set reported nothing"
note "missing folder: $BOXES error box(es) at start-up"
click_control "$WINDOW" A
wait_for 20 error_box_shown || problem "missing folder: saving the key set reported nothing"
note "missing folder: $(close_error_boxes) error box(es) on save"
still_running "missing folder"
[ ! -e "$WORK/no-such-folder" ] || problem "missing folder: the program created $TEMP"
stop_program

# A file far too large, then one of random bytes: neither may be changed.
export TEMP=$WORK/temp
KEYSET_FILE=$TEMP/xsettings.txt
yes 65, | tr -d '\n' | head -c $((50 * 1024 * 1024)) >"$KEYSET_FILE"
head -c 60000 /dev/urandom >"$WORK/random-bytes"
for kind in large random; do
  [ "$kind" = random ] && cp "$WORK/random-bytes" "$KEYSET_FILE"
  BEFORE=$(md5sum <"$KEYSET_FILE")
  start_through_boxes "$kind file"
  note "$kind file: $BOXES error box(es) at start-up"
  still_running "$kind file"
  [ "$(md5sum <"$KEYSET_FILE")" = "$BEFORE" ] || problem "$kind file: the key-set file was changed"
  stop_program
done
# A FIFO at the path: reported, never waited on, and SIGTERM still ends it.
rm -f "$KEYSET_FILE"
mkfifo "$KEYSET_FILE"
start_through_boxes "fifo"
[ "$BOXES" -ge 1 ] || problem "fifo: reading the key set reported nothing"
note "fifo: $BOXES error box(es) at start-up"
still_running "fifo"
stop_program
finish
