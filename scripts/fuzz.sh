#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan, UBSan) into build-fuzz and runs them.
#   fuzz.sh --smoke     each target for a short bounded time, after replaying
#                       its committed corpus and regression inputs; for test.sh
#   fuzz.sh [seconds]   long runs, 600 s per target unless given; the corpus
#                       they grow is kept in build-fuzz/corpus/<target>
# libFuzzer's output goes to build-fuzz/logs/<target>.log; one line per target
# is printed. Inputs that crash are saved in build-fuzz/crashes/<target>/;
# commit them to fuzz/regressions/<target>/ so that every run replays them.
# Exits non-zero when any target crashed.
set -euo pipefail
cd "$(dirname "$0")/.."

smoke=0
seconds=600
case "${1:-}" in
  --smoke) smoke=1; seconds=15 ;;
  "") ;;
  *[!0-9]*) echo "usage: fuzz.sh [--smoke | seconds]" >&2; exit 2 ;;
  *) seconds=$1 ;;
esac

./scripts/install-deps.sh build test
mkdir -p build-fuzz
CC=clang CXX=clang++ cmake -S fuzz -B build-fuzz -G Ninja >build-fuzz/configure.log 2>&1 ||
  { cat build-fuzz/configure.log >&2; exit 1; }
cmake --build build-fuzz -j "$(nproc 2>/dev/null || echo 2)" >build-fuzz/build.log 2>&1 ||
  { tail -n 40 build-fuzz/build.log >&2; exit 1; }

# Qt's font and system libraries keep some memory for the life of the process.
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
# A small quarantine keeps the resident size flat over long runs of the window fuzzer.
export ASAN_OPTIONS="quarantine_size_mb=32:detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
mkdir -p build-fuzz/logs

failed=0
# run_target <label> <target> [environment assignments...]
run_target() {
  local label=$1 target=$2
  shift 2
  local work=build-fuzz/corpus/$target crashes=build-fuzz/crashes/$target
  local log=build-fuzz/logs/$label.log
  [ "$smoke" = 1 ] && work=build-fuzz/smoke-corpus/$target && rm -rf "$work"
  mkdir -p "$work" "$crashes"
  local inputs=("$work" "fuzz/corpus/$target")
  [ -d "fuzz/regressions/$target" ] && inputs+=("fuzz/regressions/$target")
  local status=0
  env "$@" timeout $((seconds + 120)) "build-fuzz/${target}_fuzzer" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$crashes/" "${inputs[@]}" >"$log" 2>&1 || status=$?
  local runs
  runs=$(sed -n 's/^Done \([0-9]*\) runs.*/\1/p' "$log" | tail -n1)
  if [ "$status" = 0 ]; then
    printf 'fuzz %-22s ok      %9s runs in %ss\n' "$label" "${runs:-?}" "$seconds"
  else
    failed=1
    local saved
    saved=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -n1)
    printf 'fuzz %-22s FAILED  exit %s, input %s, log %s\n' "$label" "$status" "${saved:-none}" "$log"
  fi
}

run_target key_set_file key_set_file
run_target conversions conversions
# The numeric test reads the user's locale first: once more with a decimal comma.
run_target conversions-de_DE conversions LC_ALL=de_DE.UTF-8 LANG=de_DE.UTF-8
run_target start_up_settings start_up_settings
exit "$failed"
