# Shared by the scripts that hold keys into a browser game (sourced after
# lib.sh): Firefox ESR running natively on the Wayland desktop, showing a
# page that reports every keydown (and whether the browser repeats it),
# keyup, mouse button, blur and focus to a small local HTTP server. Toolkits
# repeat held keys in the client, as games see them.
command -v firefox-esr >/dev/null || skip "firefox-esr is not installed (scripts/install-deps.sh wayland)"
PAGE_LOG=$WORK/page.log
start_page() {
  : >"$PAGE_LOG"
  PAGE_MARK=0
  /usr/bin/python3 -c '
import http.server, sys, urllib.parse
log = open(sys.argv[1], "a", buffering=1)
class Told(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        log.write(urllib.parse.unquote(self.path[1:]) + "\n")
        self.send_response(204)
        self.end_headers()
    def log_message(self, *args):
        pass
server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Told)
print(server.server_address[1], flush=True)
server.serve_forever()' "$PAGE_LOG" >"$WORK/page.port" &
  STARTED_PIDS+=($!)
  wait_for 10 test -s "$WORK/page.port" || fail "the page's server did not start"
  # Each report numbered: they may arrive out of order.
  cat >"$WORK/page.html" <<HTML
<!doctype html><title>Game</title><body style="height: 100vh; margin: 0"><script>
let n = 0;
const tell = (what) => fetch("http://127.0.0.1:$(cat "$WORK/page.port")/" + encodeURIComponent(n++ + " " + what), {mode: "no-cors"});
addEventListener("keydown", (e) => tell("keydown " + e.key + (e.repeat ? " repeat" : "")));
addEventListener("keyup", (e) => tell("keyup " + e.key));
addEventListener("mousedown", (e) => tell("mousedown " + e.button));
addEventListener("mouseup", (e) => tell("mouseup " + e.button));
addEventListener("blur", () => tell("blur"));
addEventListener("focus", () => tell("focus"));
tell("loaded");
</script>
HTML
  mkdir -p "$WORK/firefox"
  # A fresh profile that shows the page alone: no welcome, no questions.
  printf 'user_pref("%s", %s);\n' browser.shell.checkDefaultBrowser false browser.aboutwelcome.enabled false \
    datareporting.policy.dataSubmissionEnabled false toolkit.telemetry.reportingpolicy.firstRun false \
    browser.startup.homepage_override.mstone '"ignore"' browser.sessionstore.resume_from_crash false >"$WORK/firefox/user.js"
  env -u DISPLAY -u XAUTHORITY MOZ_ENABLE_WAYLAND=1 GDK_BACKEND=wayland \
    firefox-esr --no-remote --profile "$WORK/firefox" "file://$WORK/page.html" >"$WORK/firefox.log" 2>&1 &
  STARTED_PIDS+=($!)
  wait_for 120 grep -q ' loaded$' "$PAGE_LOG" || fail "Firefox did not show the page"
}
# What the page saw from here on, in order, one event a line.
page_mark() { PAGE_MARK=$(wc -l <"$PAGE_LOG"); }
page_events() { tail -n +$((PAGE_MARK + 1)) "$PAGE_LOG" | sort -n | cut -d' ' -f2-; }
page_count() { page_events | grep -cx "$1"; }
page_saw() { wait_for "${2:-10}" bash -c "$(declare -f page_events); PAGE_MARK=$PAGE_MARK PAGE_LOG='$PAGE_LOG'; page_events | grep -qx '$1'"; }
# Whether the page had the keyboard at its last word on it.
page_has_keyboard() { [ "$(sort -n "$PAGE_LOG" | grep -oE ' (blur|focus)$' | tail -n 1)" = " focus" ]; }
