#!/usr/bin/env bash
# A native Wayland window (wev, which logs what it receives) gets the keys
# and buttons of the back end's virtual keyboard and pointer, is listed and
# focused through foreign-toplevel, and the keys of a killed client come up.
# One driver keeps one virtual keyboard throughout, as the program does. Run
# by with-wayland-desktop.sh sway.
#   native_input.sh DRIVER
set -u
driver=$1
command -v wev >/dev/null || { echo "SKIPPED: wev is not installed (scripts/install-deps.sh wayland)"; exit 77; }
log=$(mktemp)
stdbuf -oL wev >"$log" 2>&1 &
wev=$!
# With no keyboard on the seat, the driver's keymap is one for the layout
# named here: German, whose Y key is the US Z key.
coproc drive { XKB_DEFAULT_LAYOUT=de exec "$driver" -; }
driven=$drive_PID  # bash forgets drive_PID once the driver ends
trap 'kill $wev $driven 2>/dev/null; rm -f "$log"' EXIT
# Sway 1.7 itself sometimes crashes (SIGSEGV) while a virtual keyboard
# comes and goes; that is no failure of ours: exit 75, and the test runs
# again on a new Sway (tests/wayland/CMakeLists.txt).
fail() {
  if ! swaymsg -t get_version >/dev/null 2>&1; then
    echo "Sway has gone (its own crash) before: $*"
    exit 75
  fi
  echo "FAIL: $*"
  grep -E 'key:|button:' "$log"
  exit 1
}
# Sends one step; its answer (and what it printed before) goes to $answer.
send() {
  echo "$1" >&"${drive[1]}"
  answer=
  local line
  while read -r -t 20 line <&"${drive[0]}"; do
    [ "$line" = ok ] && return 0
    [ "$line" = failed ] && return 1
    answer+="$line"$'\n'
  done
  return 1
}
# Waits up to 5 s for a line of wev's log.
seen() { for _ in $(seq 1 100); do grep -qE "$1" "$log" && return 0; sleep 0.05; done; return 1; }

send wait:wev && send activate:wev && send sleep:100 && send list || fail "the window was not listed or focused"
grep -qE $'^-[0-9]+\t1\twev\t' <<<"$answer" || fail "not listed as the focused native window: $answer"

# A new virtual keyboard reaches the window in front only after a while on
# Sway 1.7 (the program makes its one keyboard at start): Shift until it does.
for _ in $(seq 1 50); do
  send +160 && send -160 || fail "the driver could not send"
  grep -q 'key: 50; state: 0' "$log" && break
  send sleep:100
done
# The pointer is made at the first move: the window takes the seat's new
# pointer before the button comes.
for stroke in +65 -65 +89 -89 center sleep:300 +1 -1 +66; do send $stroke || fail "could not send $stroke"; done
seen 'key: 38; state: 1 \(pressed\)' || fail "no key-down of A"
seen 'key: 38; state: 0 \(released\)' || fail "no key-up of A"
seen 'key: 52; state: 1' || fail "no key-down of Y on the US Z key"
grep -A1 'key: 52; state: 1' "$log" | grep -q 'sym: y' || fail "the keymap did not reach the desktop"
seen 'button: 272 \(left\), state: 1' || fail "no left button down"
seen 'button: 272 \(left\), state: 0' || fail "no left button up"
seen 'key: 56; state: 1' || fail "no key-down of B"

# wlroots lets go of a killed client's keys.
kill -KILL $driven
wait $driven 2>/dev/null
seen 'key: 56; state: 0' || fail "B stayed down after its client was killed"
echo "PASS"
