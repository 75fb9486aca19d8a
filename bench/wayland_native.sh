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
command -v wtype >/dev/null || { echo "wtype missing (scripts/install-deps.sh bench)" >&2; exit 1; }
PROGRAM=$BUILD/quindorel
source "$(dirname "$0")/native_lib.sh"
start_program 65,
focus() { swaymsg -q '[app_id="^wev$"] focus'; }

timed_rounds native_toggle_ms native_wtype_ms 0.2 wtype -P a -- wtype -p a

codes=$(picture_key_codes)
kill "$program"
wait "$program" 2>/dev/null
start_program "$codes"
press_passes native_pass "$codes" "$rounds"
