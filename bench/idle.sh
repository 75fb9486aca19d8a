# Figure: idle cost over IDLE_SECONDS with the switch off and forever mode
# chosen (the first-start defaults, so the stop key is armed): wake-ups as
# context switches of all threads, and CPU time; beside a minimal Qt window
# idling over the same seconds.
source "$(dirname "$0")/lib.sh"
seconds=${IDLE_SECONDS:-60}

# sample PID: "<thread id> <context switches> <CPU clock ticks>", a line per thread.
sample() {
  local task
  for task in /proc/"$1"/task/*; do
    echo "${task##*/} $(awk '/ctxt_switches/ { s += $2 } END { print s }' "$task/status")" \
      "$(sed 's/.*) //' "$task/stat" | awk '{ print $12 + $13 }')"
  done
}
# change BEFORE AFTER COLUMN: the growth of a column, over the threads in both samples.
change() {
  awk -v c="$3" 'NR == FNR { before[$1] = $c; next } $1 in before { sum += $c - before[$1] }
                 END { print sum + 0 }' "$1" "$2"
}

fresh_home program
"$BUILD/quindorel" >/dev/null 2>&1 &
program=$!
STARTED+=("$program")
fresh_home minimal
"$BUILD/bench/bench_minimal_window" >/dev/null 2>&1 &
minimal=$!
STARTED+=("$minimal")
wait_window '^Quindorel$' >/dev/null && wait_window '^Minimal Qt window$' >/dev/null ||
  { echo "a window did not appear" >&2; exit 1; }
sleep 2  # start-up work done, the stop-key loop entered
sample "$program" >"$WORK/program.0"
sample "$minimal" >"$WORK/minimal.0"
sleep "$seconds"
sample "$program" >"$WORK/program.1"
sample "$minimal" >"$WORK/minimal.1"
p=$(change "$WORK/program.0" "$WORK/program.1" 2) pt=$(change "$WORK/program.0" "$WORK/program.1" 3)
m=$(change "$WORK/minimal.0" "$WORK/minimal.1" 2) mt=$(change "$WORK/minimal.0" "$WORK/minimal.1" 3)
echo "threads: program $(wc -l <"$WORK/program.1"), minimal $(wc -l <"$WORK/minimal.1")" >&2
hz=$(getconf CLK_TCK)
result idle_seconds "$seconds"
result idle_program_wakeups_per_s "$(awk -v n="$p" -v s="$seconds" 'BEGIN { printf "%.2f", n / s }')"
result idle_minimal_wakeups_per_s "$(awk -v n="$m" -v s="$seconds" 'BEGIN { printf "%.2f", n / s }')"
result idle_program_cpu_ms "$((pt * 1000 / hz))"
result idle_minimal_cpu_ms "$((mt * 1000 / hz))"
