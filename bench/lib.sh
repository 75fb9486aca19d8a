# Shared by the figure scripts of bench.sh. Sourced on a display that
# with-x-server.sh started; BUILD names the build folder (build-bench).
# Every figure prints "RESULT name value" lines that bench.sh gathers.
set -u
BUILD=${BUILD:?}
PROBE=$BUILD/bench/bench_x11_probe
WORK=$(mktemp -d "${TMPDIR:-/tmp}/quindorel-bench.XXXXXX")
STARTED=()
bench_cleanup() {
  for pid in "${STARTED[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${STARTED[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$WORK"
}
trap bench_cleanup EXIT
export QT_QPA_PLATFORM=xcb QT_LOGGING_RULES='*.debug=false;qt.*=false'

result() { echo "RESULT $*"; }

# fresh_home NAME: a home, settings and key-set folder of its own, exported.
fresh_home() {
  local home=$WORK/$1
  rm -rf "$home"
  mkdir -p "$home/home" "$home/config" "$home/cache" "$home/temp" "$home/runtime"
  chmod 700 "$home/runtime"
  export HOME=$home/home XDG_CONFIG_HOME=$home/config XDG_CACHE_HOME=$home/cache
  export TEMP=$home/temp XDG_RUNTIME_DIR=$home/runtime
}
# write_settings KEY=VALUE...: the program's settings, in the current home.
write_settings() { { echo '[Quindorel]'; printf '%s\n' "$@"; } >"$XDG_CONFIG_HOME/Marvenhal.conf"; }

# median: the middle of the numbers on standard input.
median() { sort -g | awk '{ v[NR] = $1 } END { if (NR) print v[int((NR + 1) / 2)]; else print "nan" }'; }

# wait_window TITLE [SECONDS]: prints the id of a visible window of that name.
wait_window() {
  local end=$((SECONDS + ${2:-30})) id
  while [ "$SECONDS" -lt "$end" ]; do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.05
  done
  return 1
}

# first_event LOG KIND FROM_LINE SECONDS: server time of the first such event of "a".
first_event() {
  local end=$((SECONDS + $4)) time
  while [ "$SECONDS" -lt "$end" ]; do
    time=$(tail -n "+$3" "$1" | awk -v kind="$2" '$1 == kind && $2 == "a" { print $4; exit }')
    [ -n "$time" ] && { echo "$time"; return 0; }
    sleep 0.02
  done
  return 1
}
