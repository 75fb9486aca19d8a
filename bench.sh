#!/usr/bin/env bash
# Measures Quindorel on private Xvfb displays and prints one table: every
# figure with its goal and, where there is one, the peer measured in the same
# run. Builds what it needs into build-bench. Asserts nothing.
#   bench.sh [--quick] [--idle-seconds N] [--rounds N]
# --quick: 10 s of idling and 3 rounds instead of 60 s and 5.
set -euo pipefail
cd "$(dirname "$0")"

idle=60 rounds=5
while [ $# -gt 0 ]; do
  case $1 in
    --quick) idle=10 rounds=3 ;;
    --idle-seconds) idle=$2; shift ;;
    --rounds) rounds=$2; shift ;;
    *) echo "usage: bench.sh [--quick] [--idle-seconds N] [--rounds N]" >&2; exit 2 ;;
  esac
  shift
done

./scripts/install-deps.sh build x wayland bench
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUINDOREL_BENCH=ON \
  -DQUINDOREL_TESTS=ON >/dev/null
# What the figures run, the window layout the scripts click by, and what an
# installed copy has (KWin lets in only that).
cmake --build build-bench -j "$(nproc 2>/dev/null || echo 2)" --target quindorel \
  bench_minimal_window bench_captions_window bench_designed_window bench_x11_probe bench_application_list x11_key_pass_bench \
  e2e_recorder e2e_x11tool wayland_driver e2e_window_layout_table quindorel_art_files >/dev/null

export BUILD=$PWD/build-bench ROUNDS=$rounds IDLE_SECONDS=$idle
results=$(mktemp)
log=build-bench/bench.log
: >"$log"
trap 'rm -f "$results"' EXIT
with_x=tests/x11/with-x-server.sh
figure() {  # figure [--wm] SCRIPT
  echo "== $*" >>"$log"
  "$with_x" "$@" 2>>"$log" | tee -a "$log" | sed -n 's/^RESULT //p' >>"$results" ||
    echo "bench.sh: $* failed, see $log" >&2
}
echo "Measuring (about $((idle + 3 * rounds + 80)) s); details in $log" >&2
figure bash bench/key_pass.sh
figure bash bench/application_list.sh
figure --wm bash bench/application_list.sh
figure bash bench/start_up.sh
figure bash bench/idle.sh
figure bash bench/timing.sh
figure bash bench/command.sh
# Into a native Wayland window, on a headless Sway.
echo "== wayland_native.sh" >>"$log"
tests/x11/with-wayland-desktop.sh sway bash bench/wayland_native.sh 2>>"$log" | tee -a "$log" |
  sed -n 's/^RESULT //p' >>"$results" || echo "bench.sh: wayland_native.sh failed, see $log" >&2
# Into the window in front on a headless Mutter, through the tests' stand-in
# for GNOME's Remote Desktop portal.
echo "== gnome_native.sh" >>"$log"
tests/x11/with-wayland-desktop.sh mutter bash bench/gnome_native.sh 2>>"$log" | tee -a "$log" |
  sed -n 's/^RESULT //p' >>"$results" || echo "bench.sh: gnome_native.sh failed, see $log" >&2
# Into a native window on a headless KWin, which lets in only an installed copy.
echo "== kde_native.sh" >>"$log"
tests/e2e/scripts/with-staged-install.sh build-bench --grant "$PWD/build-bench/tests/wayland/wayland_driver" \
  tests/x11/with-wayland-desktop.sh kwin \
  bash bench/kde_native.sh 2>>"$log" | tee -a "$log" |
  sed -n 's/^RESULT //p' >>"$results" || echo "bench.sh: kde_native.sh failed, see $log" >&2

value() { awk -v k="$1" '$1 == k { print $2 }' "$results" | tail -n 1; }
ratio() { awk -v a="$(value "$1")" -v b="$(value "$2")" 'BEGIN { if (a != "" && b + 0 > 0) printf "%.2fx", a / b; else print "-" }'; }
row() { printf '| %-44s | %-22s | %-26s | %-16s | %-7s |\n' "$@"; }
row "Figure" "Quindorel" "Goal" "Peer" "Ratio"
row "---" "---" "---" "---" "---"
row "104-key press pass: keys arrived" "$(value pass_arrived)" "all" "xdotool $(value xdotool_arrived)" "-"
row "104-key press pass: first to last key-down" "$(value pass_span_ms) ms" "<= 2 ms" "xdotool $(value xdotool_span_ms) ms" "$(ratio pass_span_ms xdotool_span_ms)"
row "Application list rebuild, 1,000 windows, no WM" "$(value applist_none_ms) ms ($(value applist_none_rows) rows)" "< 20 ms" "-" "-"
row "Application list rebuild, 1,000 windows, openbox" "$(value applist_openbox_ms) ms ($(value applist_openbox_rows) rows)" "< 20 ms" "-" "-"
row "Start-up to a painted window (median)" "$(value start_program_ms) ms" "<= 1.2x minimal Qt" "$(value start_minimal_ms) ms" "$(ratio start_program_ms start_minimal_ms)"
row "Start-up: the window's size and captions alone (median)" "$(value start_captions_ms) ms" "-" "$(value start_minimal_ms) ms" "$(ratio start_captions_ms start_minimal_ms)"
row "Start-up: the designed window alone (median)" "$(value start_designed_ms) ms" "-" "$(value start_minimal_ms) ms" "$(ratio start_designed_ms start_minimal_ms)"
row "Start-up: the program beside its window alone" "$(value start_program_ms) ms" "-" "$(value start_designed_ms) ms" "$(ratio start_program_ms start_designed_ms)"
row "Peak resident memory (median)" "$(value start_program_kib) KiB" "<= 1.1x minimal Qt" "$(value start_minimal_kib) KiB" "$(ratio start_program_kib start_minimal_kib)"
row "Peak resident memory: size and captions alone" "$(value start_captions_kib) KiB" "-" "$(value start_minimal_kib) KiB" "$(ratio start_captions_kib start_minimal_kib)"
row "Peak resident memory: the designed window alone" "$(value start_designed_kib) KiB" "-" "$(value start_minimal_kib) KiB" "$(ratio start_designed_kib start_minimal_kib)"
row "Idle wake-ups over $(value idle_seconds) s (switch off, forever)" "$(value idle_program_wakeups_per_s) /s" "<= 1 /s" "$(value idle_minimal_wakeups_per_s) /s" "$(ratio idle_program_wakeups_per_s idle_minimal_wakeups_per_s)"
row "Idle CPU over $(value idle_seconds) s" "$(value idle_program_cpu_ms) ms" "none measurable" "$(value idle_minimal_cpu_ms) ms" "-"
row "quindorel --toggle to key-down (median)" "$(value command_toggle_ms) ms" "<= 1.5x xdotool keydown" "$(value command_xdotool_ms) ms" "$(ratio command_toggle_ms command_xdotool_ms)"
row "Native Wayland window (Sway): --toggle to key-down (median)" "$(value native_toggle_ms) ms" "<= 1.5x wtype -P a" "$(value native_wtype_ms) ms" "$(ratio native_toggle_ms native_wtype_ms)"
row "Native Wayland window (KWin): --toggle to key-down (median)" "$(value kde_toggle_ms) ms" "<= 1.5x fake input alone" "$(value kde_driver_ms) ms" "$(ratio kde_toggle_ms kde_driver_ms)"
row "Native Wayland window (Sway): 104-key press pass" "$(value native_pass_arrived) arrived, $(value native_pass_span_ms) ms first to last" "<= 2 ms" "-" "-"
row "Native Wayland window (GNOME portal): press pass, sent to the portal" "$(value gnome_sent_span_ms) ms first to last" "<= 5 ms" "Sway $(value native_pass_span_ms) ms" "-"
row "Native Wayland window (GNOME portal): press pass, in the window" "$(value gnome_pass_arrived) arrived, $(value gnome_pass_span_ms) ms first to last (the tests' portal passes each key on)" "-" "Sway $(value native_pass_span_ms) ms" "-"
row "\"Turn On\" to key-down, waiting time 5 s (median)" "$(value timing_wait_ms) ms (worst $(value timing_wait_worst_ms))" "5000 +- 20 ms" "-" "-"
row "Key-down to key-up, timed hold 10 s (median)" "$(value timing_hold_ms) ms (worst $(value timing_hold_worst_ms))" "10000 +- 20 ms" "-" "-"
