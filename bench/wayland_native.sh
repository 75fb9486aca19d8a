# Figures on a headless Sway (with-wayland-desktop.sh sway), into a native
# Wayland window (wev):
# - from running "quindorel --toggle" to the key-down reaching the window,
#   beside "wtype -P a" timed the same way;
# - a press pass of every key of the picture: how many arrive, and the time
#   between the first and the last reaching the window.
# Times are when the window's client read each event (CLOCK_MONOTONIC), so
# both sides pay the same for the client's reading.
source "$(dirname "$0")/lib.sh"
unset QT_QPA_PLATFORM
rounds=${ROUNDS:-5}
command -v wev >/dev/null && command -v wtype >/dev/null || { echo "wev or wtype missing" >&2; exit 1; }
now_ms() { python3 -c 'import time; print(time.monotonic_ns() // 1000000)'; }
log=$WORK/wev.log
: >"$log"
# Each line of wev's with the moment it was read.
stdbuf -oL wev 2>&1 | python3 -u -c '
import sys, time
for line in sys.stdin:
    sys.stdout.write("%d %s" % (time.monotonic_ns() // 1000000, line))' >"$log" &
STARTED+=($!)
for _ in $(seq 1 100); do swaymsg -t get_tree | grep -q '"app_id": "wev"' && break; sleep 0.05; done
fresh_home native
write_settings BackupSwitch=Off Text1=1 Option1=True Option2=False OftenIndex=2
# start_program KEYS: the program with those keys marked.
start_program() {
  printf '%s\r\n' "$1" >"$TEMP/xsettings.txt"
  "$BUILD/quindorel" >>"$WORK/program.log" 2>&1 &
  program=$!
  STARTED+=($program)
  wait_window '^Quindorel$' >/dev/null || { echo "no program window" >&2; exit 1; }
  sleep 1
}
start_program 65,
focus() { swaymsg -q '[app_id="^wev$"] focus'; }
# arrival LINE STATE: when the Nth key event of that state (1 down, 0 up) was read.
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

: >"$WORK/ours"
: >"$WORK/peer"
for _ in $(seq 1 "$rounds"); do
  focus
  n=$(($(downs) + 1))
  t0=$(now_ms)
  "$BUILD/quindorel" --toggle >/dev/null
  down=$(arrival "$n" 1) || { echo "no key-down from --toggle" >&2; exit 1; }
  echo $((down - t0)) >>"$WORK/ours"
  "$BUILD/quindorel" --toggle >/dev/null
  sleep 0.2
  n=$(($(downs) + 1))
  t0=$(now_ms)
  wtype -P a
  down=$(arrival "$n" 1) || { echo "no key-down from wtype" >&2; exit 1; }
  echo $((down - t0)) >>"$WORK/peer"
  wtype -p a
  sleep 0.2
done
result native_toggle_ms "$(median <"$WORK/ours")"
result native_wtype_ms "$(median <"$WORK/peer")"

# Every key of the picture but the mouse buttons, once each.
codes=$(awk -F'\t' 'NR > 1 && $2 ~ /^[0-9]+$/ && $2 != 1 && $2 != 2 && ($2 < 4 || $2 > 6) { print $2 }' \
  "$BUILD/tests/e2e/window-layout.tsv" | sort -un | tr '\n' ',')
kill "$program"
wait "$program" 2>/dev/null
start_program "$codes"
spans=() arrived=
for _ in $(seq 1 "$rounds"); do
  focus
  first=$(($(downs) + 1))
  "$BUILD/quindorel" --start >/dev/null
  sleep 1
  last=$(downs)
  count=$((last - first + 1))
  spans+=($(($(arrival "$last" 1) - $(arrival "$first" 1))))
  [ -z "$arrived" ] || [ "$count" -lt "$arrived" ] && arrived=$count
  "$BUILD/quindorel" --stop >/dev/null
  sleep 0.5
done
result native_pass_arrived "$arrived/$(tr ',' '\n' <<<"$codes" | grep -c .)"
result native_pass_span_ms "$(printf '%s\n' "${spans[@]}" | median)"
