#!/usr/bin/env bash
# Builds the Windows back end and its test program with MinGW-w64 and runs
# the tests under Wine on a private Xvfb display.
#
#   scripts/test-win32.sh [build-dir]
#
# build-dir defaults to build-win32 in the repository; a relative path is
# taken from the repository root. Missing Debian packages are installed.
# The last line printed is the test program's "N passed, M failed"; the exit
# status is the test program's.
set -euo pipefail

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
log() { echo "test-win32: $*" >&2; }

if [[ "${1:-}" != "--on-display" ]]; then
  build_dir="${1:-build-win32}"
  case "$build_dir" in
    /*) ;;
    *) build_dir="$repo_root/$build_dir" ;;
  esac
  "$repo_root/scripts/install-deps.sh" win32 >&2

  # --- build ----------------------------------------------------------------
  configure_args=(-S "$repo_root/tests/win32" -B "$build_dir"
    -DCMAKE_TOOLCHAIN_FILE="$repo_root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release)
  if [[ ! -f "$build_dir/CMakeCache.txt" ]]; then
    configure_args+=(-G Ninja)
  fi
  mkdir -p "$build_dir"
  cmake "${configure_args[@]}" >"$build_dir/configure.log" 2>&1 || {
    cat "$build_dir/configure.log" >&2
    exit 2
  }
  cmake --build "$build_dir" >&2
  exec "$repo_root/tests/x11/with-x-server.sh" "$0" --on-display "$build_dir"
fi

# --- on the private display: the Wine prefix, then the tests -----------------
build_dir=$2
export WINEPREFIX="$build_dir/wineprefix"
wine="$repo_root/scripts/wine-run.sh"
trap '"$wine" --stop >/dev/null 2>&1 || true' EXIT
"$wine" --prepare "$build_dir/wineboot.log"

output="$build_dir/win32_test.log"
status=0
timeout -k 10 300 "$wine" "$build_dir/win32_test.exe" >"$output.raw" 2>"$build_dir/win32_test.stderr" ||
  status=$?
# The Windows C runtime ends its lines with CR LF.
tr -d '\r' <"$output.raw" >"$output"
rm -f "$output.raw"
grep -v -E '^[0-9]+ passed, [0-9]+ failed$' "$output" || true
summary="$(grep -E '^[0-9]+ passed, [0-9]+ failed$' "$output" | tail -n 1 || true)"
if [[ -z "$summary" ]]; then
  log "win32_test.exe ended without a result (exit status $status)"
  cat "$build_dir/win32_test.stderr" >&2
  echo "0 passed, 1 failed"
  exit $((status == 0 ? 1 : status))
fi
echo "$summary"
exit "$status"
