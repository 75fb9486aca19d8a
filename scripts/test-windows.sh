#!/usr/bin/env bash
# The Windows program under Wine: builds quindorel.exe and the tests for
# Windows (scripts/build-windows.sh --tests), then, on a private Xvfb
# display, runs every unit, logic and widget test (ctest label unit) and the
# Windows back end's own test as Windows programs, then the end-to-end test
# of the real exe (tests/win32/e2e/hold_under_wine.sh), and last the
# installer's: install, upgrade, uninstall (tests/win32/e2e/install_under_wine.sh).
#
#   scripts/test-windows.sh
#
# The Wine prefix lives in build-mingw/wineprefix; scripts/wine-run.sh
# prepares it (Arial and Arial Narrow are given Liberation's metric-compatible
# faces there, as Wine has neither).
set -euo pipefail

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="$repo_root/build-mingw"

if [[ "${1:-}" != "--on-display" ]]; then
  "$repo_root/scripts/install-deps.sh" build x windows
  "$repo_root/scripts/build-windows.sh" --tests
  exec "$repo_root/tests/x11/with-x-server.sh" "$0" --on-display
fi

# --- on the private display: the Wine prefix ----------------------------------
export WINEPREFIX="$build_dir/wineprefix"
wine="$repo_root/scripts/wine-run.sh"
trap '"$wine" --stop >/dev/null 2>&1 || true' EXIT
"$wine" --prepare "$build_dir/wineboot.log"

# --- the tests ------------------------------------------------------------------
status=0
(cd "$build_dir" && QUINDOREL_WINE_REPORT=1 ctest -L unit -j "$(nproc)" --output-on-failure --timeout 300) || status=1
"$repo_root/tests/win32/e2e/hold_under_wine.sh" "$repo_root/build/windows/quindorel.exe" \
  "$build_dir/tests/win32/win32_e2e_tool.exe" "$repo_root/build/tests/e2e/window-layout.tsv" ||
  status=1
"$repo_root/tests/win32/e2e/install_under_wine.sh" "$repo_root/build/windows/Quindorel-win64.msi" || status=1
exit "$status"
