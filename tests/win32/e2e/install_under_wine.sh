#!/usr/bin/env bash
# The installer under Wine, on the display and prefix scripts/test-windows.sh
# prepares:  install_under_wine.sh Quindorel-win64.msi
# 1. Install: the files in LocalAppData\Programs\Quindorel, a Start-menu
#    shortcut to the exe with the icon, one uninstall entry (version,
#    publisher, icon); the manifest; the installed program shows its window.
# 2. The same package again, then a newer one: one entry, the newer; then the
#    older package is refused.
# 3. Uninstall: nothing of the installer's is left; settings and key set stay.
set -u
MSI=$1
repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
wine="$repo_root/scripts/wine-run.sh"
# Else Wine copies the Start-menu entry into the real home's menus.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}winemenubuilder.exe=d"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/quindorel-wine-msi.XXXXXX")
note() { echo "[wine-msi] $*"; }
fail() { echo "[wine-msi] FAIL: $*" >&2; exit 1; }
win() { "$wine" "$@" 2>/dev/null | tr -d '\r'; }
unix_path() { local path; path="$(win winepath -u "$(win cmd /c echo "$1")")"; echo "${path%/}"; }
msiexec() { timeout -k 10 300 "$wine" msiexec "$@" /qn >>"$WORK/msiexec.log" 2>&1; }
install() { msiexec /i "$(win winepath -w "$1")"; }
# named ROOT...: the keys below them whose DisplayName or ProductName is Quindorel.
named() {
  local root
  for root in "$@"; do win reg query "$root" /s | awk '/^HKEY_/ { key = $0 }
    /^ +(DisplayName|ProductName) +REG_SZ +Quindorel$/ { print key }'; done
}
value() { win reg query "$1" /v "$2" | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }
uninstall=('HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall'
  'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
  'HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall')
remove_all() { local key; for key in $(named "${uninstall[@]}"); do msiexec /x "${key##*\\}"; done; }
cleanup() {
  local status=$?
  [[ -n "${PROGRAM_PID:-}" ]] && kill "$PROGRAM_PID" 2>/dev/null && wait "$PROGRAM_PID" 2>/dev/null
  remove_all
  [[ $status != 0 ]] && tail -n 30 "$WORK/msiexec.log" >&2
  rm -rf "$WORK"
  exit "$status"
}
trap cleanup EXIT
one_entry() { # one_entry VERSION: exactly one uninstall entry, that version, by Marvenhal
  entry="$(named "${uninstall[@]}")"
  [[ $(grep -c . <<<"$entry") == 1 ]] || fail "uninstall entries: ${entry:-none}"
  [[ "$(value "$entry" DisplayVersion)/$(value "$entry" Publisher)" == "$1/Marvenhal" ]] ||
    fail "the entry says $(value "$entry" DisplayVersion)/$(value "$entry" Publisher), not $1/Marvenhal"
}

version="$(sed -n 's/^project(Quindorel VERSION \([0-9.]*\).*/\1/p' "$repo_root/CMakeLists.txt")"
newer="${version%.*}.$((${version##*.} + 1))"
icon="$repo_root/build/packaging/art/quindorel.ico"
"$repo_root/scripts/build-windows.sh" --msi "$newer" "$WORK/newer.msi" || fail "no installer of $newer"
remove_all
win reg delete 'HKCU\Software\Marvenhal' /f >/dev/null
keyset="$(unix_path %TEMP%)/xsettings.txt"
rm -f "$keyset"
programs="$(unix_path %LOCALAPPDATA%)/Programs"
dir="$programs/Quindorel"
shortcut="$(unix_path %APPDATA%)/Microsoft/Windows/Start Menu/Programs/Quindorel.lnk"
[[ -d "$programs" ]] && programs_before=yes || programs_before=no

# --- 1 --------------------------------------------------------------------------------
install "$MSI" || fail "msiexec /i $MSI failed"
for name in quindorel.exe xsettings.txt HAND-M.CUR; do [[ -f "$dir/$name" ]] || fail "no $dir/$name"; done
target="$(strings -a "$shortcut" 2>/dev/null | grep -i '^C:.*\\quindorel\.exe$')"
[[ "$(win winepath -u "$target")" == "$dir/quindorel.exe" ]] || fail "the shortcut leads to \"$target\""
shortcut_icon="$(strings -a -el "$shortcut" | grep -io 'C:.*\.ico$')"
cmp -s "$(win winepath -u "$shortcut_icon")" "$icon" || fail "the shortcut's icon is \"$shortcut_icon\""
one_entry "$version"
product_icon="$(value "$(named 'HKCU\Software\Microsoft\Installer\Products')" ProductIcon)"
cmp -s "$(win winepath -u "$product_icon")" "$icon" || fail "the entry's icon is \"$product_icon\""
note "installed in $dir; shortcut and uninstall entry ($version, Marvenhal) with the icon"

manifest="$(wrestool -x --raw -t 24 -n 1 "$dir/quindorel.exe")"
[[ $(wrestool -l "$dir/quindorel.exe" | grep -c 'type=24 ') == 1 ]] || fail "not one manifest in the exe"
xmllint --noout - <<<"$manifest" || fail "the manifest is not well-formed"
for text in 'requestedExecutionLevel level="asInvoker"' '>PerMonitorV2</dpiAwareness>' \
  'supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"' '>true/pm</dpiAware>'; do
  grep -qF "$text" <<<"$manifest" || fail "the manifest lacks $text"
done

"$wine" "$target" >/dev/null 2>&1 &
PROGRAM_PID=$!
for _ in $(seq 600); do xdotool search --onlyvisible --name '^Quindorel$' >/dev/null 2>&1 && break; sleep 0.1; done
xdotool search --onlyvisible --name '^Quindorel$' >/dev/null 2>&1 || fail "the installed program showed no window"
kill "$PROGRAM_PID"
wait "$PROGRAM_PID" 2>/dev/null
PROGRAM_PID=
note "its manifest is right, and it shows its window"

# --- 2 --------------------------------------------------------------------------------
install "$MSI" || fail "the same package again failed"
one_entry "$version"
install "$WORK/newer.msi" || fail "the newer package failed"
one_entry "$newer"
install "$MSI" && fail "the older package installed over the newer one"
one_entry "$newer"
[[ -f "$dir/quindorel.exe" ]] || fail "the refused older package took the program away"
note "again, then $newer: one entry; $version refused after it"

# --- 3 --------------------------------------------------------------------------------
win reg add 'HKCU\Software\Marvenhal\Quindorel' /v Text1 /d 7 /f >/dev/null
printf '65,\r\n' >"$keyset"
msiexec /x "${entry##*\\}" || fail "msiexec /x failed"
left="$(named "${uninstall[@]}" 'HKCU\Software\Microsoft\Installer')"
for path in "$dir" "$shortcut" "$(win winepath -u "$product_icon")"; do [[ -e "$path" ]] && left+=" $path"; done
[[ $programs_before == no && -e "$programs" ]] && left+=" $programs"
"$wine" reg query 'HKCU\Software\Marvenhal\QuindorelInstall' >/dev/null 2>&1 && left+=" QuindorelInstall key"
[[ -z "$left" ]] || fail "uninstall left $left"
[[ "$(value 'HKCU\Software\Marvenhal\Quindorel' Text1)" == 7 ]] || fail "uninstall took the settings"
[[ "$(od -An -c "$keyset" | tr -d ' \n')" == '65,\r\n' ]] || fail "uninstall took $keyset"
note "uninstalled: nothing left; the settings and %TEMP%\\xsettings.txt stay"
note "passed"
