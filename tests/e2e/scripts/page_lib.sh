# Shared by the scripts that hold keys into a browser game (after lib.sh): Firefox ESR natively on
# the Wayland desktop, its page writing each keydown (and its repeat flag), keyup, mouse button,
# blur and focus to Firefox's output, in order.
command -v firefox-esr >/dev/null || skip "firefox-esr is not installed (scripts/install-deps.sh wayland)"
PAGE_LOG=$WORK/page.log
start_page() {
  PAGE_MARK=0
  cat >"$WORK/page.html" <<'HTML'
<!doctype html><title>Game</title><body style="height: 100vh; margin: 0"><script>
const tell = (what) => dump("page: " + what + "\n");
for (const type of ["keydown", "keyup"]) addEventListener(type, (e) => tell(type + " " + e.key + (e.repeat ? " repeat" : "")));
for (const type of ["mousedown", "mouseup"]) addEventListener(type, (e) => tell(type + " " + e.button));
for (const type of ["blur", "focus"]) addEventListener(type, () => tell(type));
tell("loaded");
</script>
HTML
  # A fresh profile that shows the page alone: no welcome, no questions.
  mkdir -p "$WORK/firefox"
  printf 'user_pref("%s", %s);\n' browser.shell.checkDefaultBrowser false browser.aboutwelcome.enabled false \
    datareporting.policy.dataSubmissionEnabled false toolkit.telemetry.reportingpolicy.firstRun false \
    browser.startup.homepage_override.mstone '"ignore"' browser.sessionstore.resume_from_crash false \
    browser.dom.window.dump.enabled true >"$WORK/firefox/user.js"
  env -u DISPLAY -u XAUTHORITY MOZ_ENABLE_WAYLAND=1 GDK_BACKEND=wayland \
    firefox-esr --no-remote --profile "$WORK/firefox" "file://$WORK/page.html" \
    > >(stdbuf -oL sed -n 's/^page: //p' >"$PAGE_LOG") 2>&1 &
  STARTED_PIDS+=($!)
  wait_for 120 grep -qx loaded "$PAGE_LOG" || fail "Firefox did not show the page"
}
# What the page saw since page_mark, in order, one event a line.
page_mark() { PAGE_MARK=$(wc -l <"$PAGE_LOG"); }
page_events() { tail -n +$((PAGE_MARK + 1)) "$PAGE_LOG"; }
page_saw() { wait_for "${2:-10}" bash -c "$(declare -f page_events); PAGE_MARK=$PAGE_MARK PAGE_LOG='$PAGE_LOG'; page_events | grep -qxE '$1'"; }
page_summary() { page_events | uniq -c | tr -s ' \n' ' '; }
# Whether the page had the keyboard at its last word on it.
page_has_keyboard() { [ "$(grep -xE 'blur|focus' "$PAGE_LOG" | tail -n 1)" = focus ]; }
# page_hold OFF ON: --start into the page, --stop after a while longer than
# any desktop's repeat delay; the caller's repeat_is says OFF meanwhile and
# ON after; the page saw one A down, one A up, no repeat and no blur.
page_hold() {
  page_mark
  PROGRAM --start >"$WORK/start.out" 2>&1 || fail "--start into the page failed: $(cat "$WORK/start.out")"
  page_saw 'keydown A( repeat)?' || fail "no A down in the page: $(cat "$WORK/start.out")"
  repeat_is "$1" || problem "key repeat is on while keys are held"
  sleep 2 # a repeating client would have repeated by now
  PROGRAM --stop >/dev/null 2>&1 || problem "--stop failed"
  page_saw 'keyup A' || fail "A stayed down in the page after --stop"
  # Firefox on KWin now and then flags a lone first press as a repeat.
  [ "$(page_events | grep -c '^keydown A')" = 1 ] || problem "the page saw A repeated: $(page_summary)"
  ! page_events | grep -q blur || problem "the page lost the keyboard: $(page_summary)"
  wait_for 10 repeat_is "$2" || problem "key repeat was not put back after --stop"
  note "page: $(page_summary)"
}
