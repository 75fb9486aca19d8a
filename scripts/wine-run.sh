#!/usr/bin/env bash
# Runs a Windows program under Wine: the emulator that ctest uses for the
# tests of the cross build (CMAKE_CROSSCOMPILING_EMULATOR).
#   wine-run.sh PROGRAM.exe [arguments...]
# WINEPREFIX, DISPLAY and WINEDEBUG come from the caller (scripts/test-windows.sh).
# Debian 12 puts no wine64 on PATH; /usr/lib/wine/wine64 runs 64-bit programs.
wine=/usr/lib/wine/wine64
[[ -x "$wine" ]] || wine="$(command -v wine64 || command -v wine)"
exec "$wine" "$@"
