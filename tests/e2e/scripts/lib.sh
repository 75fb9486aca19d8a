# Shared by the end-to-end scripts. Sourced with the arguments
#   PROGRAM RECORDER TOOL LAYOUT
# on a display that with-x-server.sh or with-wayland-desktop.sh has started;
# LAYOUT is the table of the window's keys that the build writes.
# Gives every test a fresh home, settings and key-set folder, and stops
# whatever it started on exit.
set -u

PROGRAM=$1
RECORDER=$2
TOOL=$3
LAYOUT=$4
E2E_WM=${QUINDOREL_TEST_WM:-none}
E2E_NAME=$(basename "$0" .sh)

WORK=$(mktemp -d "${TMPDIR:-/tmp}/quindorel-e2e.XXXXXX")
# The desktop's settings folder where it has one of its own (the keyboard's
# settings are read there).
export HOME=$WORK/home XDG_CONFIG_HOME=${QUINDOREL_TEST_CONFIG_HOME:-$WORK/config} XDG_CACHE_HOME=$WORK/cache TEMP=$WORK/temp
export XDG_RUNTIME_DIR=$WORK/runtime
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$TEMP" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=xcb
SETTINGS_FILE=$XDG_CONFIG_HOME/Marvenhal.conf
KEYSET_FILE=$TEMP/xsettings.txt

STARTED_PIDS=()
CLEANUP_HOOKS=()
E2E_FAILED=0

e2e_cleanup() {
  local status=$?
  local hook pid
  for hook in "${CLEANUP_HOOKS[@]}"; do "$hook"; done
  for pid in "${STARTED_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${STARTED_PIDS[@]}"; do
    for _ in $(seq 1 30); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  if [ "$status" != 0 ] && [ "$status" != 77 ]; then
    if [ -s "${QUINDOREL_TEST_DESKTOP_LOG:-}" ]; then
      echo "---- the desktop's log ----" >&2
      tail -n 20 "$QUINDOREL_TEST_DESKTOP_LOG" >&2
    fi
    for log in "$WORK"/*.log; do
      [ -f "$log" ] || continue
      echo "---- $(basename "$log") ----" >&2
      tail -n 40 "$log" >&2
    done
  fi
  rm -rf "$WORK"
  exit "$status"
}
trap e2e_cleanup EXIT
trap 'exit 1' TERM INT HUP

note() { echo "[$E2E_NAME/$E2E_WM] $*"; }
fail() {
  echo "[$E2E_NAME/$E2E_WM] FAIL: $*" >&2
  exit 1
}
# problem MESSAGE: a failure that does not stop the test; finish reports it.
PROBLEMS=0
problem() {
  echo "[$E2E_NAME/$E2E_WM] FAIL: $*" >&2
  PROBLEMS=$((PROBLEMS + 1))
}
# describe_screen: the pointer, the window under it and every visible window
# with its place, for the report of an input that went astray.
describe_screen() {
  note "pointer: $(xdotool getmouselocation 2>&1)"
  local id
  for id in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
    note "visible: $id \"$(xdotool getwindowname "$id" 2>/dev/null)\"" \
      "$(xdotool getwindowgeometry "$id" 2>/dev/null | tail -n +2 | tr -s ' \n' ' ')"
  done
}
finish() {
  [ "$PROBLEMS" = 0 ] || fail "$PROBLEMS problem(s), see above"
  note "passed"
}
skip() {
  echo "[$E2E_NAME/$E2E_WM] SKIPPED: $*"
  exit 77
}

source "$(dirname "${BASH_SOURCE[0]}")/../../shell/waits.sh"

# --- what the program finds at start-up ---------------------------------------

# write_settings KEY=VALUE...: the program's settings file, group [Quindorel].
write_settings() {
  { printf '[Quindorel]\n'; printf '%s\n' "$@"; } >"$SETTINGS_FILE"
}
# write_keyset "65,160,": the key-set file, with its CR LF line end.
write_keyset() { printf '%s\r\n' "$1" >"$KEYSET_FILE"; }

# --- processes ------------------------------------------------------------------

# start_recorder TITLE LOG [X Y]: a recording window; sets LAST_PID.
start_recorder() {
  local title=$1 log=$2
  shift 2
  : >"$log"
  "$RECORDER" "$title" "$log" "$@" 2>>"$WORK/recorder-errors.log" &
  LAST_PID=$!
  STARTED_PIDS+=("$LAST_PID")
  wait_for 20 grep -q '^mapped' "$log" || fail "recorder \"$title\" did not show its window"
}

# start_program [LOG]: the program, with its output in LOG; sets PROGRAM_PID.
start_program() {
  local log=${1:-$WORK/program.log}
  "$PROGRAM" >>"$log" 2>&1 &
  PROGRAM_PID=$!
  STARTED_PIDS+=("$PROGRAM_PID")
}

# wait_exit PID SECONDS: waits for the process to end; sets EXIT_STATUS.
wait_exit() {
  wait_for "$2" exited "$1" || return 1
  wait "$1" 2>/dev/null
  EXIT_STATUS=$?
}

# stop_program: SIGTERM, and the program must end by itself.
stop_program() {
  kill -TERM "$PROGRAM_PID" 2>/dev/null
  wait_exit "$PROGRAM_PID" 30 || fail "the program did not end within 30 s of SIGTERM"
}

# --- windows --------------------------------------------------------------------

# program_window [SECONDS]: waits for a main window and prints its id (the newest).
program_window() {
  wait_for "${1:-30}" has_window '^Quindorel$' || return 1
  visible_windows '^Quindorel$' | tail -n 1
}

error_box_shown() { has_window '^Application Error$'; }

# close_error_boxes: closes every error box that is open; prints how many.
close_error_boxes() {
  local closed=0 box
  for _ in $(seq 1 50); do
    box=$(visible_windows '^Application Error$' | head -n 1)
    if [ -z "$box" ] && [ "$closed" -gt 0 ]; then
      # One report may follow another as soon as the first is closed.
      wait_for 2 bash -c "xdotool search --onlyvisible --name '^Application Error$' >/dev/null 2>&1" || true
      box=$(visible_windows '^Application Error$' | head -n 1)
    fi
    [ -z "$box" ] && break
    "$TOOL" close "$box"
    wait_for 5 bash -c "! xdotool search --onlyvisible --name '^Application Error$' 2>/dev/null | grep -qx '$box'"
    closed=$((closed + 1))
  done
  echo "$closed"
}

# The window's keys and switch, from LAYOUT (NAME CODE X Y WIDTH HEIGHT a
# line, tab-separated, in client-area pixels): KEY_CODE[NAME] and
# CONTROL_RECT[NAME]="X Y WIDTH HEIGHT". A key's NAME is its spoken name ("A",
# "Keypad Enter"); the switch button is "Switch".
declare -A KEY_CODE CONTROL_RECT
read_layout() {
  local name code x y width height count=0
  while IFS=$'\t' read -r name code x y width height; do
    [[ $name == \#* ]] && continue
    KEY_CODE[$name]=$code
    CONTROL_RECT[$name]="$x $y $width $height"
    count=$((count + 1))
  done <"$LAYOUT" && [ "$count" -gt 100 ]
}
read_layout || fail "cannot read the window layout $LAYOUT, or it is incomplete"

# click WINDOW X Y: a real (XTEST) click at a point of the window's client area.
click() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
}

# click_control WINDOW NAME: a click at the middle of a key or the switch.
click_control() {
  [ -n "${CONTROL_RECT[$2]:-}" ] || fail "no control \"$2\" in $LAYOUT"
  local x y width height
  read -r x y width height <<<"${CONTROL_RECT[$2]}"
  click "$1" $((x + width / 2)) $((y + height / 2))
}

# --- keys -----------------------------------------------------------------------

# Autorepeat would turn a held key into extra press/release pairs in the
# recordings; the tests look at the program's own events only.
autorepeat_off() { "$TOOL" autorepeat off || fail "cannot switch autorepeat off"; }

keys_down() { "$TOOL" keys-down; }
no_keys_down() { [ -z "$(keys_down)" ]; }

# events LOG KIND [FROM_LINE]: the key names of press or release lines, one a
# line, from line FROM_LINE of the recording on.
events() { tail -n "+${3:-1}" "$2" | awk -v kind="$1" '$1 == kind { print $2 }'; }
# has_events LOG KIND "a Shift_L" [FROM_LINE]: the names occur in this order.
has_events() {
  events "$2" "$1" "${4:-1}" | awk -v want="$3" '
    BEGIN { n = split(want, w, " "); i = 1 }
    i <= n && $1 == w[i] { i++ }
    END { exit i <= n }'
}
# event_list LOG KIND [FROM_LINE]: the names on one line, space-separated.
event_list() { events "$2" "$1" "${3:-1}" | tr '\n' ' ' | sed 's/ $//'; }
line_count() { wc -l <"$1"; }
