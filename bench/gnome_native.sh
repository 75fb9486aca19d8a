# A figure on a headless Mutter (with-wayland-desktop.sh mutter), into a
# native Wayland window (wev), through the tests' stand-in for the Remote
# Desktop portal (which passes each key on to Mutter, as GNOME's own does):
# a press pass of every key of the picture, how many arrive, and the time
# between the first and the last reaching the window.
source "$(dirname "$0")/lib.sh"
unset QT_QPA_PLATFORM
rounds=${ROUNDS:-5}
/usr/bin/python3 -c 'import dbus, gi' 2>/dev/null ||
  { echo "python3-dbus or python3-gi missing (scripts/install-deps.sh wayland)" >&2; exit 1; }
PROGRAM=$BUILD/quindorel
tools=$(cd "$(dirname "$0")/../tests/wayland" && pwd)
/usr/bin/python3 "$tools/portal_standin.py" --log "$WORK/portal.log" >"$WORK/portal.out" 2>&1 &
STARTED+=($!)
for _ in $(seq 1 100); do grep -qx ready "$WORK/portal.out" && break; sleep 0.1; done
grep -qx ready "$WORK/portal.out" || { echo "the portal's stand-in did not start" >&2; exit 1; }
source "$(dirname "$0")/native_lib.sh"
# wev takes a second keyboard object on Mutter and logs each key once for
# each: a key-down counts once, by its serial.
key_downs() {
  grep -E 'key: [0-9]+; state: 1' "$log" |
    awk '{ match($0, /serial: [0-9]+/); s = substr($0, RSTART, RLENGTH); if (!seen[s]++) print }'
}
downs() { key_downs | wc -l; }
arrival() {
  local end=$((SECONDS + 10)) t
  while [ "$SECONDS" -lt "$end" ]; do
    t=$(key_downs | sed -n "${1}p" | cut -d' ' -f1)
    [ -n "$t" ] && { echo "$t"; return 0; }
    sleep 0.01
  done
  return 1
}

# The seat's own keyboard and mouse, which a headless Mutter has not until a session
# sends something: it clicks wev, so that wev has the keyboard.
coproc seat { exec /usr/bin/python3 "$tools/portal_client.py"; }
STARTED+=($seat_PID)
seat() { echo "$1" >&"${seat[1]}" && read -r -t 20 said <&"${seat[0]}" && [[ $said == ok* ]] ||
  { echo "the seat's $1 failed: ${said:-}" >&2; exit 1; }; }
seat "start 3"
for _ in $(seq 1 20); do
  seat "key 42 1"
  seat "key 42 0"
  grep -q 'key: 50; state: 0' "$log" && break
  sleep 0.1
done
seat "motion -4000 -4000"
seat "motion 640 260"
pointer_in_wev() { grep 'wl_pointer\] \(enter\|leave\)' "$log" | tail -n 1 | grep -q enter; }
focus() {
  # A nudge makes Mutter look again at what is under the pointer.
  for _ in $(seq 1 100); do
    seat "motion 1 0"
    seat "motion -1 0"
    pointer_in_wev && break
    sleep 0.05
  done
  seat "button 274 1"
  seat "button 274 0"
  for _ in $(seq 1 100); do
    grep 'wl_keyboard\] \(enter\|leave\)' "$log" | tail -n 1 | grep -q enter && return
    sleep 0.05
  done
  echo "wev did not take the keyboard" >&2
  exit 1
}

# Every key of the picture but the mouse buttons, once each.
codes=$(picture_key_codes)
start_program "$codes"
# Out of wev's way: Mutter puts both in the middle.
xdotool windowmove "$(wait_window '^Quindorel$')" 0 520
# The program's own share: its key-downs as they reach the session bus, on
# their way to the portal (which passes them on one by one).
command -v dbus-monitor >/dev/null || { echo "dbus-monitor missing" >&2; exit 1; }
dbus-monitor --session "type='method_call',interface='org.freedesktop.portal.RemoteDesktop',member='NotifyKeyboardKeycode'" >"$WORK/bus.log" 2>&1 &
STARTED+=($!)
sleep 0.5
press_passes gnome_pass "$codes" "$rounds"
# Each pass's key-downs come as one burst; the seat's few keys are left out.
sent=$(python3 - "$WORK/bus.log" <<'SPANS'
import re, statistics, sys
bursts, last, stamp = [], None, None
for line in open(sys.argv[1]):
    call = re.match(r"method call time=([\d.]+) ", line)
    if call:
        stamp = float(call.group(1))
    elif stamp is not None and line.strip() == "uint32 1":
        if last is None or stamp - last > 0.3:
            bursts.append([])
        bursts[-1].append(stamp)
        last, stamp = stamp, None
spans = [1000 * (b[-1] - b[0]) for b in bursts if len(b) >= 10]
print("%.1f" % statistics.median(spans) if spans else "nan")
SPANS
)
result gnome_sent_span_ms "$sent"
