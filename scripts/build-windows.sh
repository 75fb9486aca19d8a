#!/usr/bin/env bash
# Builds the Windows program on this Debian machine:
#   build/windows/quindorel.exe       static, 64-bit, GUI, stripped; needs only
#                                     Windows' own DLLs
#   build/windows/xsettings.txt       the default key set
#   build/windows/HAND-M.CUR          the hand cursor shown over buttons
#   build/windows/Quindorel-win64.zip those three and a readme: the portable copy
#   build/windows/Quindorel-win64.msi the per-user installer (packaging/quindorel.wxs,
#                                     built with Debian's wixl)
#
#   scripts/build-windows.sh [--tests]
#   scripts/build-windows.sh --msi VERSION OUTPUT.msi
#
# Qt comes from scripts/build-qt-mingw.sh (built once per machine). The cross
# build tree is build-mingw/; --tests builds the tests in it as well, with
# Wine (scripts/wine-run.sh) as the emulator that ctest runs them with.
# --msi builds only an installer of the program already built, under another
# version: the upgrade test needs a newer package of the same program.
set -euo pipefail

repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
log() { echo "build-windows: $*" >&2; }
build_dir="$repo_root/build-mingw"
out_dir="$repo_root/build/windows"
icon="$repo_root/build/packaging/art/quindorel.ico"
cursor="$repo_root/build/packaging/art/HAND-M.CUR"

# build_msi VERSION OUTPUT: the installer of the program in $out_dir.
build_msi() {
  local version=$1 output=$2 staging="$build_dir/msi" name
  # Windows Installer compares major.minor.build, at most 255.255.65535.
  if ! [[ "$version" =~ ^([0-9]{1,3})\.([0-9]{1,3})\.([0-9]{1,5})$ ]] ||
    ((BASH_REMATCH[1] > 255 || BASH_REMATCH[2] > 255 || BASH_REMATCH[3] > 65535)); then
    log "\"$version\" is not an installer version (major.minor.patch, at most 255.255.65535)"
    return 2
  fi
  rm -rf "$staging"
  mkdir -p "$staging"
  for name in quindorel.exe xsettings.txt HAND-M.CUR; do
    cp "$out_dir/$name" "$staging/" 2>/dev/null ||
      { log "no $out_dir/$name: build the program first"; return 2; }
  done
  cp "$icon" "$staging/quindorel.ico" 2>/dev/null || { log "no $icon: build the program first"; return 2; }
  cp "$repo_root/packaging/quindorel.wxs" "$staging/"
  # wixl 0.101 takes sources only by names relative to where it runs, and
  # passes over what it does not know with no more than a warning.
  if ! (cd "$staging" && wixl -a x64 -D Version="$version" -o Quindorel.msi quindorel.wxs) \
    >"$staging/wixl.log" 2>&1 || grep -Eq 'WARNING|CRITICAL' "$staging/wixl.log"; then
    cat "$staging/wixl.log" >&2
    log "wixl could not build the installer from packaging/quindorel.wxs"
    return 1
  fi
  mkdir -p "$(dirname "$output")"
  cp "$staging/Quindorel.msi" "$output.part"
  mv "$output.part" "$output"
}

# host_files WITH_TESTS: what the host build makes for the Windows one: the
# icon and the cursor (packaging/render_art.cpp), and for the tests the table
# of where the window's keys lie, which is the same on every system.
host_files() {
  local targets=(quindorel_art_files)
  [[ "$1" == ON ]] && targets+=(e2e_window_layout_table)
  if [[ ! -f "$repo_root/build/CMakeCache.txt" ]]; then
    cmake -S "$repo_root" -B "$repo_root/build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  fi
  cmake --build "$repo_root/build" --target "${targets[@]}" >/dev/null
}

# cross_build QT_PREFIX WITH_TESTS: the program (and the tests) in $build_dir.
cross_build() {
  local qt_prefix=$1 with_tests=$2
  # Qt's toolchain file adds Qt to the find root path and loads ours.
  local configure_args=(-S "$repo_root" -B "$build_dir"
    -DCMAKE_TOOLCHAIN_FILE="$qt_prefix/lib/cmake/Qt6/qt.toolchain.cmake"
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$repo_root/cmake/mingw-w64.cmake"
    -DCMAKE_BUILD_TYPE=Release
    -DQUINDOREL_TESTS="$with_tests"
    -DQUINDOREL_WINDOWS_ICON="$icon"
    -DCMAKE_CROSSCOMPILING_EMULATOR="$repo_root/scripts/wine-run.sh")
  # A build folder made against another Qt is never reused: CMake would keep
  # finding that Qt through its cache.
  if [[ -f "$build_dir/CMakeCache.txt" ]] && grep -q '^Qt6_DIR:' "$build_dir/CMakeCache.txt" &&
    ! grep -qxF "Qt6_DIR:PATH=$qt_prefix/lib/cmake/Qt6" "$build_dir/CMakeCache.txt"; then
    rm -rf "$build_dir/CMakeCache.txt" "$build_dir/CMakeFiles"
  fi
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
}

# place_program: the stripped exe, the default key set and the cursor in $out_dir.
place_program() {
  x86_64-w64-mingw32-strip -o "$exe.new" "$build_dir/quindorel.exe"
  mv "$exe.new" "$exe"
  cp "$repo_root/resources/xsettings.txt" "$out_dir/xsettings.txt"
  cp "$cursor" "$out_dir/HAND-M.CUR"
}

# check_program: 64-bit, GUI subsystem, only Windows' own DLLs.
check_program() {
  local headers dlls foreign
  local system_dlls='^(advapi32|authz|bcrypt|comdlg32|crypt32|d3d11|d3d12|d3d9|dwmapi|dwrite|dxgi|gdi32|imm32|iphlpapi|kernel32|msvcrt|netapi32|ole32|oleaut32|secur32|setupapi|shcore|shell32|shlwapi|user32|userenv|uxtheme|version|winhttp|winmm|ws2_32|wtsapi32|api-ms-win-[a-z0-9-]+)\.dll$'
  headers="$(x86_64-w64-mingw32-objdump -p "$exe")"
  grep -q '^Magic.*20b' <<<"$headers" || { log "$exe is not a 64-bit program"; exit 1; }
  grep -Eq '^Subsystem[[:space:]]+0*2[[:space:]]' <<<"$headers" ||
    { log "$exe is not a GUI program"; exit 1; }
  dlls="$(awk '/DLL Name:/ { print tolower($3) }' <<<"$headers" | sort -u)"
  foreign="$(grep -Ev "$system_dlls" <<<"$dlls" || true)"
  [[ -z "$foreign" ]] || { log "$exe needs DLLs that Windows lacks: $foreign"; exit 1; }
}

# make_zip VERSION: the portable copy, with the readme of packaging/.
make_zip() {
  local version=$1 staging="$build_dir/zip/Quindorel"
  rm -rf "$build_dir/zip"
  mkdir -p "$staging"
  cp "$exe" "$out_dir/xsettings.txt" "$out_dir/HAND-M.CUR" "$staging/"
  sed -e "s/@VERSION@/$version/" -e 's/$/\r/' "$repo_root/packaging/windows-readme.txt" \
    >"$staging/README.txt"
  rm -f "$out_dir/Quindorel-win64.zip.part"
  (cd "$build_dir/zip" && zip -q -X -r "$out_dir/Quindorel-win64.zip.part" Quindorel)
  mv "$out_dir/Quindorel-win64.zip.part" "$out_dir/Quindorel-win64.zip"
}

if [[ "${1:-}" == "--msi" ]]; then
  [[ $# == 3 ]] || { log "usage: $0 --msi VERSION OUTPUT.msi"; exit 2; }
  "$repo_root/scripts/install-deps.sh" windows
  build_msi "$2" "$3"
  exit
fi
with_tests=OFF
[[ "${1:-}" == "--tests" ]] && with_tests=ON
exe="$out_dir/quindorel.exe"
version="$(sed -n 's/^project(Quindorel VERSION \([0-9.]*\).*/\1/p' "$repo_root/CMakeLists.txt")"

"$repo_root/scripts/install-deps.sh" build windows
qt_prefix="$("$repo_root/scripts/build-qt-mingw.sh" | tail -n 1)"
mkdir -p "$build_dir" "$out_dir"
host_files "$with_tests"
cross_build "$qt_prefix" "$with_tests"
place_program
check_program
make_zip "$version"
build_msi "$version" "$out_dir/Quindorel-win64.msi"
log "$exe ($(stat -c %s "$exe") bytes), $out_dir/Quindorel-win64.zip and $out_dir/Quindorel-win64.msi"
