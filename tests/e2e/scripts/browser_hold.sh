# A browser game on Sway: Firefox natively on Wayland, a page reporting its
# key, button and focus events to a local server. A hold of A and the left
# button with Firefox in front: each goes down and up once, no repeat, and
# the page never loses the keyboard. Killed mid-hold, the program's guard
# gives virtual keyboards their repeat back.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/native_lib.sh"
unset QT_QPA_PLATFORM
[ "$E2E_WM" = sway ] || fail "not on Sway: $E2E_WM"
command -v firefox-esr >/dev/null || skip "firefox-esr is not installed (scripts/install-deps.sh wayland)"
write_settings BackupSwitch=Off Text1=1 Option1=True Option2=False OftenIndex=2
write_keyset "65,1,"

# The page's events, a line each: "N TYPE KEY REPEAT" (N counts on the page).
EVENTS=$WORK/events.log
python3 -c 'import http.server as h, sys, urllib.parse as u
log = open(sys.argv[1], "a", buffering=1)
class Handler(h.BaseHTTPRequestHandler):
    def do_GET(self):
        q = u.parse_qs(u.urlparse(self.path).query)
        log.write(" ".join(q.get(k, ["-"])[0] for k in "ntkr") + "\n")
        self.send_response(204); self.end_headers()
    def log_message(self, *args): pass
server = h.HTTPServer(("127.0.0.1", 0), Handler)
open(sys.argv[2], "w").write(str(server.server_port)); server.serve_forever()' "$EVENTS" "$WORK/port" &
STARTED_PIDS+=($!)
wait_for 10 test -s "$WORK/port" || fail "the event server did not start"
cat >"$WORK/game.html" <<PAGE
<!doctype html><title>game</title><body style="height:100vh"><script>
let n = 0;
const report = (t, k, r) => fetch("http://127.0.0.1:$(cat "$WORK/port")/?n=" + n++ + "&t=" + t +
  "&k=" + (k === undefined ? "-" : encodeURIComponent(k)) + "&r=" + (r ? 1 : 0), {mode: "no-cors"});
for (const t of ["keydown", "keyup"]) addEventListener(t, e => report(t, e.key, e.repeat));
for (const t of ["mousedown", "mouseup"]) addEventListener(t, e => report(t, e.button));
for (const t of ["blur", "focus"]) addEventListener(t, () => report(t));
report("loaded");
</script>
PAGE
start_mouse
start_keys
# Firefox natively on Wayland, in a home and profile of its own.
mkdir -p "$WORK/firefox/profile"
env -u DISPLAY -u XAUTHORITY HOME="$WORK/firefox" MOZ_ENABLE_WAYLAND=1 GDK_BACKEND=wayland \
  firefox-esr --no-remote --new-instance --profile "$WORK/firefox/profile" "file://$WORK/game.html" \
  >"$WORK/firefox.log" 2>&1 &
STARTED_PIDS+=($!)
wait_for 90 grep -q ' loaded ' "$EVENTS" || fail "the page did not load in Firefox"

PROGRAM() { "$PROGRAM" "$@"; }
start_program
program_window >/dev/null || fail "the main window did not appear on X11"
in_front() { swaymsg -q '[app_id="^firefox"] focus'; }
focused_name() {
  swaymsg -t get_tree -r | python3 -c 'import json, sys
def focused(node):
    return node.get("name") if node.get("focused") else next(filter(None, map(focused, node.get("nodes", []) + node.get("floating_nodes", []))), None)
print(focused(json.load(sys.stdin)))'
}
quindorel_focused() { [ "$(focused_name)" = Quindorel ]; }
# What the page saw after event number MARK (the page numbers its events in
# order; the server may hear of them in another).
count() { awk -v m="$MARK" -v t="$1" -v k="$2" -v r="${3:--}" '$1 > m && $2 == t && $3 == k && (r == "-" || $4 == r)' "$EVENTS" | wc -l; }
page_has() { [ "$(count "$@")" -gt 0 ]; }
# Firefox in front, and the page has said so last: MARK is that event.
focused() { MARK=$(awk '$2 == "focus" || $2 == "blur" { if ($1 + 0 >= n) { n = $1 + 0; t = $2 } } END { print (t == "focus" ? n : "") }' "$EVENTS"); [ -n "$MARK" ]; }

# Once Sway has given the new main window the keyboard, Firefox takes it.
wait_for 10 quindorel_focused || fail "Sway did not focus the main window"
in_front
wait_for 10 focused || fail "the page did not get the keyboard"
# Counted from the --start: on a slow machine the program's start-up may
# still be setting Sway up when the page first has the keyboard, and Sway
# sends it the keyboard again then (a blip before the hold, not in it).
# The page has it, and nothing has changed for a second.
quiet_focus() {
  local before
  before=$(wc -l <"$EVENTS")
  sleep 1
  [ "$(wc -l <"$EVENTS")" = "$before" ] && focused
}
wait_for 20 quiet_focus || fail "the page did not keep the keyboard before the hold"
PROGRAM --start >"$WORK/start.out" 2>&1 || fail "--start with Firefox in front: $(cat "$WORK/start.out")"
wait_for 10 page_has keydown a || fail "no A reached the page"
wait_for 10 page_has mousedown 0 || fail "no left button reached the page"
# Long enough for a client's repeat to begin (Sway's delay is 600 ms).
sleep 2
PROGRAM --stop >/dev/null 2>&1 || problem "--stop failed"
wait_for 10 page_has keyup a || fail "A stayed down in the page"
wait_for 10 page_has mouseup 0 || fail "the left button stayed down in the page"
FIGURES="keydown a: $(count keydown a), repeats: $(count keydown a 1), keyup a: $(count keyup a), mousedown: $(count mousedown 0), mouseup: $(count mouseup 0), blur: $(count blur -)"
note "$FIGURES"
[ "$FIGURES" = "keydown a: 1, repeats: 0, keyup a: 1, mousedown: 1, mouseup: 1, blur: 0" ] ||
  problem "not one key-down and key-up, one click, no repeat and no blur: $FIGURES"

# Killed mid-hold: the guard gives virtual keyboards their repeat back, and
# an A held on the test's keyboard repeats in the page again.
focused || fail "the page lost the keyboard"
PROGRAM --start >/dev/null 2>&1 || fail "the second --start failed"
wait_for 10 page_has keydown a || fail "no A in the second hold"
kill -KILL "$PROGRAM_PID"
wait_for 10 page_has keyup a || fail "A stayed down after SIGKILL"
wait_for 10 page_has mouseup 0 || fail "the button stayed down after SIGKILL"
# Held again until the guard has been (a key repeats at the rate it went down with).
repeats() { type_keys +65; wait_for 3 page_has keydown a 1; local held=$?; type_keys -65; return $held; }
wait_for 10 repeats || problem "a held key of a virtual keyboard does not repeat after SIGKILL"
finish
