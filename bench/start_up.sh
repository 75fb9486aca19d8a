# Figure: start-up to a visible, painted window, and the peak resident memory,
# of the program (first start, empty home) beside a minimal Qt Widgets window,
# beside a window of its size drawing only its captions, and beside its own
# window built alone, with nothing behind it. The four are started in turn,
# ROUNDS times each; the medians are reported.
source "$(dirname "$0")/lib.sh"
rounds=${ROUNDS:-5}
for _ in $(seq 1 "$rounds"); do
  fresh_home minimal
  "$PROBE" launch 'Minimal Qt window' -- "$BUILD/bench/bench_minimal_window" >>"$WORK/minimal.times" 2>/dev/null
  fresh_home captions
  "$PROBE" launch 'Captions only' -- "$BUILD/bench/bench_captions_window" >>"$WORK/captions.times" 2>/dev/null
  fresh_home designed
  "$PROBE" launch 'Designed window' -- "$BUILD/bench/bench_designed_window" >>"$WORK/designed.times" 2>/dev/null
  fresh_home program
  "$PROBE" launch Quindorel -- "$BUILD/quindorel" >>"$WORK/program.times" 2>/dev/null
done
for who in minimal captions designed program; do
  result "start_${who}_ms" "$(awk '{ print $1 }' "$WORK/$who.times" | median)"
  result "start_${who}_kib" "$(awk '{ print $2 }' "$WORK/$who.times" | median)"
done
