#!/usr/bin/env bash
# Builds the Windows program on this Debian machine:
#   build/windows/quindorel.exe       static, 64-bit, GUI, stripped; needs only
#                                     Windows' own DLLs
#   build/windows/xsettings.txt       the default key set
#   build/windows/HAND-M.CUR          the hand cursor shown over buttons
#   build/windows/Quindorel-win64.zip those three and a short readme
#
#   scripts/build-windows.sh [--tests]
#
# Qt comes from scripts/build-qt-mingw.sh (built once per machine). The cross
# build tree is build-mingw/; --tests builds the tests in it as well, with
# Wine (scripts/wine-run.sh) as the emulator that ctest runs them with.
set -euo pipefail

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
log() { echo "build-windows: $*" >&2; }
with_tests=OFF
[[ "${1:-}" == "--tests" ]] && with_tests=ON

"$repo_root/scripts/install-deps.sh" build windows
qt_prefix="$("$repo_root/scripts/build-qt-mingw.sh" | tail -n 1)"
build_dir="$repo_root/build-mingw"
out_dir="$repo_root/build/windows"
mkdir -p "$build_dir" "$out_dir"

# --- the icon and the cursor, drawn by the host build's quindorel_art ---------
# (packaging/render_art.cpp: the program's own icon and hand cursor)
if [[ ! -f "$repo_root/build/CMakeCache.txt" ]]; then
    cmake -S "$repo_root" -B "$repo_root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$repo_root/build" --target quindorel_art_files >/dev/null
icon="$repo_root/build/packaging/art/quindorel.ico"
cursor="$repo_root/build/packaging/art/HAND-M.CUR"

# --- the program ------------------------------------------------------------------
# Qt's toolchain file adds Qt to the find root path and loads ours.
configure_args=(-S "$repo_root" -B "$build_dir"
    -DCMAKE_TOOLCHAIN_FILE="$qt_prefix/lib/cmake/Qt6/qt.toolchain.cmake"
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$repo_root/cmake/mingw-w64.cmake"
    -DCMAKE_BUILD_TYPE=Release
    -DQUINDOREL_TESTS="$with_tests"
    -DQUINDOREL_WINDOWS_ICON="$icon"
    -DCMAKE_CROSSCOMPILING_EMULATOR="$repo_root/scripts/wine-run.sh")
[[ -f "$build_dir/CMakeCache.txt" ]] || configure_args+=(-G Ninja)
cmake "${configure_args[@]}" >"$build_dir/configure.log" 2>&1 || {
    cat "$build_dir/configure.log" >&2
    exit 2
}
if [[ "$with_tests" == ON ]]; then
    cmake --build "$build_dir"
else
    cmake --build "$build_dir" --target quindorel
fi

exe="$out_dir/quindorel.exe"
x86_64-w64-mingw32-strip -o "$exe.new" "$build_dir/quindorel.exe"
mv "$exe.new" "$exe"
cp "$repo_root/resources/xsettings.txt" "$out_dir/xsettings.txt"
cp "$cursor" "$out_dir/HAND-M.CUR"

# --- checks: 64-bit, GUI subsystem, only Windows' own DLLs --------------------
headers="$(x86_64-w64-mingw32-objdump -p "$exe")"
grep -q '^Magic.*20b' <<<"$headers" || { log "$exe is not a 64-bit program"; exit 1; }
grep -Eq '^Subsystem[[:space:]]+0*2[[:space:]]' <<<"$headers" ||
    { log "$exe is not a GUI program"; exit 1; }
system_dlls='^(advapi32|authz|comdlg32|d3d11|d3d12|d3d9|dwmapi|dwrite|dxgi|gdi32|imm32|kernel32|msvcrt|netapi32|ole32|oleaut32|setupapi|shcore|shell32|shlwapi|user32|userenv|uxtheme|version|winmm|ws2_32|wtsapi32|api-ms-win-[a-z0-9-]+)\.dll$'
dlls="$(awk '/DLL Name:/ { print tolower($3) }' <<<"$headers" | sort -u)"
foreign="$(grep -Ev "$system_dlls" <<<"$dlls" || true)"
[[ -z "$foreign" ]] || { log "$exe needs DLLs that Windows lacks: $foreign"; exit 1; }

# --- the zip --------------------------------------------------------------------
version="$(sed -n 's/^project(Quindorel VERSION \([0-9.]*\).*/\1/p' "$repo_root/CMakeLists.txt")"
staging="$build_dir/zip/Quindorel"
rm -rf "$build_dir/zip"
mkdir -p "$staging"
cp "$exe" "$out_dir/xsettings.txt" "$out_dir/HAND-M.CUR" "$staging/"
sed 's/$/\r/' >"$staging/README.txt" <<EOF
Quindorel $version for 64-bit Windows

Quindorel holds keyboard keys down for a window you choose. Keep the three
files together in one folder and start quindorel.exe; nothing is installed.

- quindorel.exe: the program (it needs no other files or DLLs).
- xsettings.txt: the default key set, copied to %TEMP%\\xsettings.txt when
  that file is missing.
- HAND-M.CUR: the hand cursor shown over buttons (optional).

Settings are kept in the registry, HKEY_CURRENT_USER\\Software\\Marvenhal\\Quindorel;
the marked keys in %TEMP%\\xsettings.txt.

Keys cannot be sent into a program that runs as administrator unless
Quindorel runs as administrator too: Windows refuses them, and Quindorel
says so in an error box.
EOF
rm -f "$out_dir/Quindorel-win64.zip"
(cd "$build_dir/zip" && zip -q -X -r "$out_dir/Quindorel-win64.zip" Quindorel)
log "$exe ($(stat -c %s "$exe") bytes) and $out_dir/Quindorel-win64.zip"
