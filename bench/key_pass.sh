# Figure: a press pass of all 104 keys into a real X client, first to last
# key-down in X server milliseconds; beside xdotool keydown --delay 0 of the
# same keys. No window manager: its shortcuts would take some of the keys.
source "$(dirname "$0")/lib.sh"
rounds=${ROUNDS:-5}

line=$("$BUILD/tests/x11/x11_key_pass_bench" 20)
echo "$line" >&2
result pass_arrived "$(sed -n 's/.*: \([0-9]*\) of \([0-9]*\) distinct.*/\1\/\2/p' <<<"$line")"
result pass_span_ms "$(sed -n 's/.*median \([0-9]*\),.*/\1/p' <<<"$line")"

"$BUILD/tests/e2e/e2e_x11tool" autorepeat off
log=$WORK/recorder.log
: >"$log"
"$BUILD/tests/e2e/e2e_recorder" Recorder "$log" &
STARTED+=($!)
recorder=$(wait_window '^Recorder$') || { echo "no recorder window" >&2; exit 1; }
xdotool windowfocus --sync "$recorder"
keys=$("$PROBE" keysyms | tr '\n' ' ')
distinct=$(tr ' ' '\n' <<<"$keys" | grep -v '^$' | sort -u | wc -l)
spans=() arrived=$distinct
for _ in $(seq 1 "$rounds"); do
  from=$(($(wc -l <"$log") + 1))
  xdotool keydown --delay 0 $keys
  sleep 0.3
  xdotool keyup --delay 0 $keys
  sleep 0.3
  read -r count span < <(tail -n "+$from" "$log" | awk '$1 == "press" && !($3 in t) { t[$3] = $4 }
    END { n = 0; for (k in t) { if (!n || t[k] < lo) lo = t[k]; if (!n || t[k] > hi) hi = t[k]; n++ }
          print n, (n ? hi - lo : 0) }')
  [ "$count" -lt "$arrived" ] && arrived=$count
  spans+=("$span")
done
result xdotool_arrived "$arrived/$distinct"
result xdotool_span_ms "$(printf '%s\n' "${spans[@]}" | median)"
