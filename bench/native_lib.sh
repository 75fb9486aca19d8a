# Shared by the figures into a native Wayland window (sourced after lib.sh):
# wev as that window, each line of its log stamped with the moment it was
# read (CLOCK_MONOTONIC ms), and the program started with keys marked.
# PROGRAM names the program to run.
command -v wev >/dev/null && command -v python3 >/dev/null ||
  { echo "wev or python3 missing (scripts/install-deps.sh wayland bench)" >&2; exit 1; }
now_ms() { python3 -c 'import time; print(time.monotonic_ns() // 1000000)'; }
log=$WORK/wev.log
: >"$log"
stdbuf -oL wev 2>&1 | python3 -u -c '
import sys, time
for line in sys.stdin:
    sys.stdout.write("%d %s" % (time.monotonic_ns() // 1000000, line))' >"$log" &
# Both ends: wev would outlive its reader until it next writes, and the
# figure's end waits for the whole pipeline.
STARTED+=($(jobs -p %%) $!)
for _ in $(seq 1 100); do grep -q 'xdg_toplevel\] configure' "$log" && break; sleep 0.05; done
fresh_home native
# The desktop's own settings folder, as on a user's desktop: KWin and GNOME
# read the key repeat the program writes there.
[ -n "${QUINDOREL_TEST_CONFIG_HOME:-}" ] && export XDG_CONFIG_HOME=$QUINDOREL_TEST_CONFIG_HOME
write_settings BackupSwitch=Off Text1=1 Option1=True Option2=False OftenIndex=2
# start_program KEYS: the program with those keys marked.
start_program() {
  printf '%s\r\n' "$1" >"$TEMP/xsettings.txt"
  "$PROGRAM" >>"$WORK/program.log" 2>&1 &
  program=$!
  STARTED+=($program)
  wait_window '^Quindorel$' >/dev/null || { echo "no program window" >&2; exit 1; }
  sleep 1
}
# arrival N STATE: when the Nth key event of that state (1 down, 0 up) was read.
arrival() {
  local end=$((SECONDS + 10)) t
  while [ "$SECONDS" -lt "$end" ]; do
    t=$(grep -E "key: [0-9]+; state: $2" "$log" | sed -n "${1}p" | cut -d' ' -f1)
    [ -n "$t" ] && { echo "$t"; return 0; }
    sleep 0.01
  done
  return 1
}
downs() { grep -cE 'key: [0-9]+; state: 1' "$log"; }
# timed_rounds OURS PEER PAUSE PRESS... -- RELEASE...: ROUNDS rounds, each
# timing our --toggle and then the peer's key-down (PRESS, let go by
# RELEASE) to wev, PAUSE seconds apart, with `focus` first; the medians go to
# the results OURS and PEER.
timed_rounds() {
  local ours=$1 peer=$2 pause=$3 press=() n t0 down
  shift 3
  while [ "$1" != -- ]; do press+=("$1"); shift; done
  shift
  : >"$WORK/ours"
  : >"$WORK/peer"
  for _ in $(seq 1 "$rounds"); do
    focus
    toggle_ms >>"$WORK/ours"
    sleep "$pause"
    n=$(($(downs) + 1))
    t0=$(now_ms)
    "${press[@]}" >/dev/null
    down=$(arrival "$n" 1) || { echo "no key-down from ${press[*]}" >&2; exit 1; }
    echo $((down - t0)) >>"$WORK/peer"
    "$@" >/dev/null
    sleep "$pause"
  done
  result "$ours" "$(median <"$WORK/ours")"
  result "$peer" "$(median <"$WORK/peer")"
}
# toggle_ms: from "quindorel --toggle" to its key-down read in wev, in ms;
# the hold is toggled off again after.
toggle_ms() {
  local n t0 down
  n=$(($(downs) + 1))
  t0=$(now_ms)
  "$PROGRAM" --toggle >/dev/null
  down=$(arrival "$n" 1) || { echo "no key-down from --toggle" >&2; exit 1; }
  echo $((down - t0))
  "$PROGRAM" --toggle >/dev/null
}

# Every key of the picture but the mouse buttons, once each: their codes,
# comma-separated, as the key-set file has them.
picture_key_codes() {
  awk -F'\t' 'NR > 1 && $2 ~ /^[0-9]+$/ && $2 != 1 && $2 != 2 && ($2 < 4 || $2 > 6) { print $2 }' \
    "$BUILD/tests/e2e/window-layout.tsv" | sort -un | tr '\n' ','
}

# press_passes NAME CODES ROUNDS: the program, started with CODES marked,
# holds them ROUNDS times into the window `focus` brings forward. Results
# NAME_arrived (the fewest that arrived, of all) and NAME_span_ms (the
# median time from the first key-down to the last); each round's span goes
# to the log.
press_passes() {
  local spans=() arrived= first last count
  for _ in $(seq 1 "$3"); do
    focus
    first=$(($(downs) + 1))
    "$PROGRAM" --start >/dev/null
    sleep 1
    last=$(downs)
    count=$((last - first + 1))
    spans+=($(($(arrival "$last" 1) - $(arrival "$first" 1))))
    [ -z "$arrived" ] || [ "$count" -lt "$arrived" ] && arrived=$count
    "$PROGRAM" --stop >/dev/null
    sleep 0.5
  done
  echo "$1 spans (ms): ${spans[*]}" >&2
  result "$1_arrived" "$arrived/$(tr ',' '\n' <<<"$2" | grep -c .)"
  result "$1_span_ms" "$(printf '%s\n' "${spans[@]}" | median)"
}
