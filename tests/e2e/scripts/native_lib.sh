# Shared by the scripts that hold keys into a native Wayland window (sourced
# after lib.sh): wev as that window, logging what it receives, and what the
# scripts ask of its log. Each script defines PROGRAM (runs the program with
# arguments), in_front (gives wev the keyboard) and PROGRAM_PID.
command -v wev >/dev/null || skip "wev is not installed (scripts/install-deps.sh wayland)"
WEV=$WORK/wev.log
DRIVER=$(dirname "$RECORDER")/../wayland/wayland_driver
start_wev() {
  stdbuf -oL wev >"$WEV" 2>&1 &
  STARTED_PIDS+=($!)
  wait_for 20 grep -q 'xdg_toplevel\] configure' "$WEV" || fail "wev did not show"
}
seen() { wait_for "${2:-10}" grep -qE "$1" "$WEV"; }
# Key events once each: wev logs a key once for each keyboard object it
# took from the seat, and takes one more whenever the seat changes; the
# serial tells them apart.
key_lines() { grep -oE 'serial: [0-9]+; time: [0-9]+; key: [0-9]+; state: [01]' "$WEV" | uniq; }
key_events() { key_lines | sed 's/.*\(key: \)/\1/'; }
count() { key_events | grep -cx "$1"; }
has_count() { wait_for 10 bash -c "[ \$(grep -oE 'serial: [0-9]+; time: [0-9]+; key: [0-9]+; state: [01]' '$WEV' | uniq | grep -c '$1\$') = $2 ]"; }
buttons() { grep -oE "serial: [0-9]+; time: [0-9]+; button: 272 \(left\), state: $1" "$WEV" | uniq | wc -l; }
more_buttons() { wait_for 10 bash -c "[ \$(grep -oE 'serial: [0-9]+; time: [0-9]+; button: 272 \(left\), state: $1' '$WEV' | uniq | wc -l) -gt $2 ]"; }
# stop_lets_go "UPS": --stop; A, Shift and the left button come up, the key-ups
# in the order UPS (as key_events writes them, each followed by a space),
# and A went down once.
stop_lets_go() {
  PROGRAM --stop >/dev/null 2>&1 || problem "--stop failed"
  seen 'key: 38; state: 0' || fail "A stayed down after --stop"
  seen 'key: 50; state: 0' || fail "Shift stayed down after --stop"
  seen 'button: 272 \(left\), state: 0' || fail "the left button stayed down after --stop"
  [ "$(key_events | grep -E 'state: 0' | tr '\n' ' ')" = "$1" ] ||
    problem "the keys came up in the wrong order: $(key_events)"
  [ "$(count 'key: 38; state: 1')" = 1 ] || problem "A went down $(count 'key: 38; state: 1') times"
}
is_idle() { [ "$(PROGRAM --status 2>&1)" = idle ]; }

# hold_and SIGNAL N: the Nth hold of A and the left button into wev, ended
# by the signal; both must come up and the program end.
hold_and() {
  local pressed released
  pressed=$(buttons 1)
  in_front
  PROGRAM --start >"$WORK/start.out" 2>&1 || fail "--start before $1 failed: $(cat "$WORK/start.out")"
  has_count 'key: 38; state: 1' "$2" || fail "no A down before $1"
  more_buttons 1 "$pressed" || fail "no button down before $1"
  released=$(buttons 0)
  kill -"$1" "$PROGRAM_PID"
  has_count 'key: 38; state: 0' "$2" || fail "A stayed down after $1"
  more_buttons 0 "$released" || fail "the left button stayed down after $1"
  wait_exit "$PROGRAM_PID" 10 || fail "the program did not end after $1"
}

# Sway runs its bindings as its own user: when that is another (the tests
# run Sway as nobody when they run as root), the program runs as that user
# too, as it would in a real session, so that the stop key's command reaches
# it. Defines PROGRAM (the command line, as that user), as_sway_user (the
# prefix that runs a command as that user) and hand_over (gives that user
# the test's folder).
run_as_sway_user() {
  SWAY_UID=$(stat -c %u "$SWAYSOCK")
  as_sway_user=()
  if [ "$SWAY_UID" != "$(id -u)" ]; then
    as_sway_user=(setpriv --reuid="$SWAY_UID" --regid="$(stat -c %g "$SWAYSOCK")" --clear-groups)
    chmod 0755 "$WORK"
    # A build folder closed to that user (one under /root) is installed where
    # the user can run it, as a user's own copy would be.
    if ! "${as_sway_user[@]}" "$PROGRAM" --version >/dev/null 2>&1; then
      cmake --install "$(dirname "$PROGRAM")" --prefix "$WORK/stage" >/dev/null || fail "cannot install the build for uid $SWAY_UID"
      PROGRAM=$WORK/stage/bin/quindorel
      "${as_sway_user[@]}" "$PROGRAM" --version >/dev/null 2>&1 || fail "uid $SWAY_UID cannot run the installed copy either"
    fi
  fi
  hand_over() { [ ${#as_sway_user[@]} = 0 ] || chown -R "$SWAY_UID" "$WORK"; }
  PROGRAM_AS_ROOT=$PROGRAM
  PROGRAM() { "${as_sway_user[@]}" "$PROGRAM_AS_ROOT" "$@"; }
}

# The seat's mouse (Sway 1.7 crashes when its only pointer goes), and a
# keyboard of the test's that type_keys STEP... drives: both to the end.
start_mouse() {
  coproc mouse { exec "$DRIVER" mouse; }
  STARTED_PIDS+=($mouse_PID)
  read -r -t 10 ready <&"${mouse[0]}" && [ "$ready" = ready ] || fail "no mouse on the seat"
}
start_keys() {
  coproc keys { exec "$DRIVER" -; }
  STARTED_PIDS+=($keys_PID)
  type_keys sleep:10
}
type_keys() {
  local step answer
  for step in "$@"; do
    echo "$step" >&"${keys[1]}"
    read -r -t 10 answer <&"${keys[0]}" && [ "$answer" = ok ] || fail "the test's keyboard failed at $step"
  done
}
