#!/usr/bin/env bash
# Checks an installed copy: installs the build into a staging root, validates
# the desktop entry and the AppStream metadata, starts the installed program
# on a private X display (it must seed its key set from share/quindorel and
# show its window without an error report), and builds the Debian package.
#   scripts/test-install.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(cd "${1:-build}" && pwd)
id=com.marvenhal.quindorel
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "test-install.sh: $*" >&2; exit 1; }

stage=$work/stage
DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
for file in bin/quindorel lib/quindorel/libquindorel_window.so share/quindorel/xsettings.txt share/quindorel/HAND-M.CUR \
            share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
            share/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,128x128,256x256}/apps/$id.png; do
  compgen -G "$stage/usr/$file" >/dev/null || fail "not installed: $file"
done
desktop-file-validate "$stage/usr/share/applications/$id.desktop"
# KWin lets in the program the entry names by its full path.
grep -qx 'Exec=/usr/bin/quindorel' "$stage/usr/share/applications/$id.desktop" ||
  fail "the desktop entry does not name /usr/bin/quindorel"
grep -qx 'X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input' "$stage/usr/share/applications/$id.desktop" ||
  fail "the desktop entry does not ask KWin for fake input"
appstreamcli validate --no-net "$stage/usr/share/metainfo/$id.metainfo.xml"

# A prefix with characters a launcher reads specially: Exec= quotes and escapes
# it, so that a launcher (GLib's here) runs the program at that path.
odd="$work/Key's \$HOME \`1\` (2)"
cmake --install "$build" --prefix "$odd" >"$work/odd.log" 2>&1 || { cat "$work/odd.log" >&2; fail "install to $odd failed"; }
desktop-file-validate "$odd/share/applications/$id.desktop"
printf '#!/bin/sh\nprintf %%s "$0" >%q\n' "$work/ran" >"$odd/bin/quindorel"
gio launch "$odd/share/applications/$id.desktop"
for _ in $(seq 1 100); do [[ -s $work/ran ]] && break; sleep 0.1; done
[[ "$(cat "$work/ran" 2>/dev/null)" == "$odd/bin/quindorel" ]] ||
  fail "the desktop entry's Exec= does not name $odd/bin/quindorel: $(grep -m1 ^Exec= "$odd/share/applications/$id.desktop")"

# The installed copy, started from outside its folder with a fresh home.
mkdir -p "$work/home" "$work/temp"
start_installed() {
  cd /
  HOME=$work/home XDG_CONFIG_HOME=$work/home/.config TEMP=$work/temp QT_QPA_PLATFORM=xcb \
    "$stage/usr/bin/quindorel" >"$work/program.log" 2>&1 &
  local program=$!
  local status=0
  xdotool search --sync --onlyvisible --name '^Quindorel$' >/dev/null 2>&1 &
  local search=$!
  for _ in $(seq 1 100); do kill -0 "$search" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$search" 2>/dev/null; then
    kill "$search"; echo "the installed program showed no window" >&2; status=1
  elif xdotool search --name '^(Application Error|Tessavrin)$' >/dev/null 2>&1; then
    echo "the installed program reported an error" >&2; status=1
  fi
  kill "$program"; wait "$program" 2>/dev/null || true
  return $status
}
export -f start_installed
export work stage
tests/x11/with-x-server.sh bash -c start_installed || { cat "$work/program.log" >&2; fail "start failed"; }
cmp -s "$work/temp/xsettings.txt" resources/xsettings.txt || fail "key set not seeded from share/quindorel"

(cd "$build" && cpack -G DEB >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls -t "$build"/quindorel_*.deb | head -n1)
dpkg-deb -f "$deb" Depends >"$work/depends"
grep -q libqt6widgets6 "$work/depends" || fail "$deb: no dependencies from shlibdeps"
dpkg-deb -c "$deb" >"$work/contents"
grep -q "./usr/share/applications/$id.desktop" "$work/contents" || fail "$deb: no desktop entry"
grep -q "/quindorel/libquindorel_window.so" "$work/contents" || fail "$deb: no window module"
echo "Installed copy, desktop entry, metadata and $(basename "$deb"): fine"
