# The keys saved by one run are shown marked (green) by the next: read from a
# key-set file written beforehand, then a key clicked, the program restarted.
source "$(dirname "$0")/lib.sh"

GREEN=00ff00
GREY=c0c0c0

# key_colours WINDOW KEY: the colours 3 pixels in from the key's top-left and
# bottom-right corners, clear of its edge and its caption.
key_colours() {
  local x y w h
  read -r x y w h <<<"${CONTROL_RECT[$2]}"
  "$TOOL" pixel "$1" $((x + 3)) $((y + 3)) $((x + w - 4)) $((y + h - 4)) | tr '\n' ' ' | sed 's/ $//'
}

is_colour() { [ "$(key_colours "$1" "$2")" = "$3 $3" ]; }

# check_keys WINDOW LABEL COLOUR_OF_S: a, Enter and keypad Enter (one code for
# both) are shown marked, s as given.
check_keys() {
  local window=$1 label=$2 key colour
  for key in A Enter "Keypad Enter" S; do
    colour=$GREEN
    [ "$key" = S ] && colour=$3
    wait_for 20 is_colour "$window" "$key" "$colour" ||
      problem "$label: key $key shows $(key_colours "$window" "$key"), not $colour"
  done
}

write_keyset "65,13,"
start_program
WINDOW=$(program_window) || fail "the main window did not appear"
check_keys "$WINDOW" "first run" "$GREY"

# Marking s saves at once: a, s and both Enter keys, in key order.
click_control "$WINDOW" S
saved() { [ "$(cat "$KEYSET_FILE")" = $'65,83,13,13,\r' ]; }
wait_for 20 saved || problem "after marking s the key set reads $("$TOOL" check-keyset "$KEYSET_FILE")"
"$TOOL" close "$WINDOW"
wait_exit "$PROGRAM_PID" 30 || fail "the program did not end when its window was closed"

start_program
WINDOW=$(program_window) || fail "the main window did not appear after the restart"
check_keys "$WINDOW" "after the restart" "$GREEN"
! error_box_shown || problem "an error box appeared"
stop_program
finish
