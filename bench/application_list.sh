# Figure: rebuild of the application list with 1,000 real top-level windows,
# on this display (bench.sh runs it with and without openbox).
source "$(dirname "$0")/lib.sh"
fresh_home applist
read -r rows median slowest < <("$BUILD/bench/bench_application_list" 1000 20 2>/dev/null)
result "applist_${QUINDOREL_TEST_WM}_rows" "$rows"
result "applist_${QUINDOREL_TEST_WM}_ms" "$median"
result "applist_${QUINDOREL_TEST_WM}_max_ms" "$slowest"
