#!/usr/bin/env bash
# Wine for our scripts and tests, in the prefix $WINEPREFIX on the X display
# $DISPLAY (both come from the caller):
#   wine-run.sh PROGRAM.exe [arguments...]  runs a Windows program; ctest's
#                                           emulator for the tests of the cross
#                                           build (CMAKE_CROSSCOMPILING_EMULATOR)
#   wine-run.sh --prepare LOG               readies a new prefix, once: wineboot,
#                                           no wait for a window manager, Arial
#                                           and Arial Narrow from Liberation's
#                                           metric-compatible faces; Wine's
#                                           output goes to LOG
#   wine-run.sh --stop                      ends the prefix's wineserver and
#                                           every program still running in it
# Wine runs 64-bit and quiet (only the errors that say why a program did not
# run, unless WINEDEBUG is set), never offers to
# download Mono or Gecko, and writes no menu entries into the real home; the
# caller's WINEDLLOVERRIDES come on top.
set -euo pipefail

export WINEARCH=win64
# Quiet, but for the errors that tell why a program did not run.
program_debug="${WINEDEBUG:--all,err+module,err+seh,err+process,err+server,err+virtual}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
# Debian 12 puts no wine64 on PATH; /usr/lib/wine/wine64 runs 64-bit programs.
wine=/usr/lib/wine/wine64
[[ -x "$wine" ]] || wine="$(command -v wine64 || command -v wine)"
wineserver="$(command -v wineserver || command -v wineserver-stable || echo wineserver)"

case "${1:-}" in
  --prepare)
    log=$2
    ready_stamp="$WINEPREFIX/.quindorel-ready"
    [[ -f "$ready_stamp" ]] && exit 0
    echo "wine-run: preparing the Wine prefix $WINEPREFIX" >&2
    rm -rf "$WINEPREFIX"
    timeout -k 10 600 "$wine" wineboot -i >"$log" 2>&1 || {
      echo "wine-run: wineboot failed, see $log" >&2
      exit 2
    }
    {
      # No window manager runs on our displays: windows that wait for one
      # take two seconds each to hide.
      "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f
      "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans' /f
      "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'Arial Narrow' \
        /d 'Liberation Sans Narrow' /f
    } >>"$log" 2>&1
    "$wineserver" -w
    touch "$ready_stamp"
    ;;
  --stop)
    exec "$wineserver" -k
    ;;
  *)
    # A program that did not start, or ended early, says why: Wine's own
    # errors (a DLL that would not load, an unhandled exception, a server that
    # could not be reached) go to standard error, which ctest shows beside
    # the program's output.
    export WINEDEBUG="$program_debug"
    if [[ -z "${QUINDOREL_WINE_REPORT:-}" ]]; then
      # exec'd: the caller's pid is the program's, so that a test can end
      # or kill it.
      exec "$wine" "$@"
    fi
    # For ctest's runs, which end a program only by its time limit: the exit
    # status too, which ctest does not show, and a TERM passed on.
    "$wine" "$@" &
    child=$!
    trap 'kill -TERM "$child" 2>/dev/null' TERM INT HUP
    status=0
    wait "$child" || status=$?
    # A trapped signal ends the first wait early: wait for the program itself.
    while kill -0 "$child" 2>/dev/null; do wait "$child" || status=$?; done
    if [[ "$status" -ne 0 ]]; then
      echo "wine-run: $(basename "$1") ended with exit status $status" \
        "($(date +%T.%N | cut -c1-12), wineserver $(pgrep -c -x wineserver || true) running)" >&2
    fi
    exit "$status"
    ;;
esac
