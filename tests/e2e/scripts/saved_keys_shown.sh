# The keys saved by one run are shown marked (green) by the next: read from a
# key-set file written beforehand, then a key clicked, the program restarted.
source "$(dirname "$0")/lib.sh"

GREEN=00ff00
GREY=c0c0c0

# key_colours WINDOW LEFT TOP WIDTH HEIGHT (twips inside the keyboard frame):
# the colours 3 pixels in from the key's top-left and bottom-right corners,
# clear of its edge and its caption.
key_colours() {
  local x=$(((120 + $2) / 15)) y=$(((5790 + $3) / 15)) w=$(($4 / 15)) h=$(($5 / 15))
  "$TOOL" pixel "$1" $((x + 3)) $((y + 3)) $((x + w - 4)) $((y + h - 4)) | tr '\n' ' ' | sed 's/ $//'
}
key_a() { key_colours "$1" 1140 1500 345 285; }
key_s() { key_colours "$1" 1560 1500 345 285; }
key_enter() { key_colours "$1" 5610 1500 765 285; }
key_keypad_enter() { key_colours "$1" 8970 1830 345 615; }

is_colour() { [ "$($1 "$2")" = "$3 $3" ]; }

check_keys() {
  local window=$1 label=$2 s_colour=$3
  wait_for 20 is_colour key_a "$window" "$GREEN" || problem "$label: key a shows $(key_a "$window"), not green"
  is_colour key_enter "$window" "$GREEN" || problem "$label: Enter shows $(key_enter "$window"), not green"
  is_colour key_keypad_enter "$window" "$GREEN" ||
    problem "$label: keypad Enter shows $(key_keypad_enter "$window"), not green"
  is_colour key_s "$window" "$s_colour" || problem "$label: key s shows $(key_s "$window"), not $s_colour"
}

write_keyset "65,13,"
start_program
WINDOW=$(program_window) || fail "the main window did not appear"
check_keys "$WINDOW" "first run" "$GREY"

# Marking s saves at once: a, s and both Enter keys, in key order.
read -r X Y <<<"$(key_point s)"
click "$WINDOW" "$X" "$Y"
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
