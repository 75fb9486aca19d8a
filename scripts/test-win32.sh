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
build_dir="${1:-build-win32}"
case "$build_dir" in
    /*) ;;
    *) build_dir="$repo_root/$build_dir" ;;
esac

log() { echo "test-win32: $*" >&2; }

# --- packages ---------------------------------------------------------------
packages=(cmake ninja-build g++-mingw-w64-x86-64-posix wine wine64 xvfb)
missing=()
for package in "${packages[@]}"; do
    if ! dpkg -s "$package" 2>/dev/null | grep -q '^Status: install ok installed'; then
        missing+=("$package")
    fi
done
if ((${#missing[@]} > 0)); then
    log "installing ${missing[*]}"
    sudo_cmd=()
    if [[ $(id -u) -ne 0 ]]; then
        sudo_cmd=(sudo)
    fi
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

find_tool() {
    command -v "$1" 2>/dev/null || command -v "$1-stable" 2>/dev/null || {
        log "$1 not found"
        exit 2
    }
}
wine_bin="$(find_tool wine)"
wineboot_bin="$(find_tool wineboot)"
wineserver_bin="$(find_tool wineserver)"

# --- build ------------------------------------------------------------------
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
test_program="$build_dir/win32_test.exe"

# --- Xvfb and Wine ----------------------------------------------------------
export WINEPREFIX="$build_dir/wineprefix"
export WINEARCH=win64
# Never offer to download Mono or Gecko; keep Wine quiet.
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEDEBUG=-all

xvfb_pid=""
cleanup() {
    "$wineserver_bin" -k >/dev/null 2>&1 || true
    if [[ -n "$xvfb_pid" ]]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -f "$build_dir/xvfb-display"
}
trap cleanup EXIT

# Xvfb picks a free display itself and writes its number when it is ready.
display_file="$build_dir/xvfb-display"
rm -f "$display_file"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
    [[ -s "$display_file" ]] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
done
if [[ ! -s "$display_file" ]]; then
    log "Xvfb did not start"
    exit 2
fi
export DISPLAY=":$(tr -d '[:space:]' <"$display_file")"

ready_stamp="$WINEPREFIX/.quindorel-ready"
if [[ ! -f "$ready_stamp" ]]; then
    log "preparing the Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    timeout -k 10 600 "$wineboot_bin" -i >"$build_dir/wineboot.log" 2>&1 || {
        log "wineboot failed, see $build_dir/wineboot.log"
        exit 2
    }
    # No window manager runs here: windows that wait for one take two
    # seconds each to hide.
    timeout -k 10 120 "$wine_bin" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
        >>"$build_dir/wineboot.log" 2>&1
    "$wineserver_bin" -w
    touch "$ready_stamp"
fi

# --- run --------------------------------------------------------------------
output="$build_dir/win32_test.log"
status=0
timeout -k 10 300 "$wine_bin" "$test_program" >"$output.raw" 2>"$build_dir/win32_test.stderr" ||
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
