# Waiting on processes and windows, shared by the shell tests (sourced).

# wait_for SECONDS command...: polls the command every 0.1 s until it succeeds.
wait_for() {
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -ge "$end" ] && return 1
    sleep 0.1
  done
}

alive() { kill -0 "$1" 2>/dev/null; }
exited() { ! alive "$1"; }

# The ids of the visible windows whose name matches the regular expression.
visible_windows() { xdotool search --onlyvisible --name "$1" 2>/dev/null; }
has_window() { [ -n "$(visible_windows "$1")" ]; }
