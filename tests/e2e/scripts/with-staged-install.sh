#!/usr/bin/env bash
# Installs the build into a staging prefix, as a user's `cmake --install`
# would, and runs the command with the installed program named in
# QUINDOREL_STAGED_PROGRAM and its desktop entry findable through
# XDG_DATA_DIRS (KWin lets in the program an entry names). Each --grant
# gives another program (a test's key sender) an entry of its own:
#   with-staged-install.sh BUILD_DIR [--grant EXECUTABLE]... command [arguments...]
set -u
build=$1
shift
grants=()
while [ "${1:-}" = --grant ]; do
  grants+=("$2")
  shift 2
done
stage=$(mktemp -d "${TMPDIR:-/tmp}/quindorel-stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT
chmod 0755 "$stage"
cmake --install "$build" --prefix "$stage" >/dev/null || { echo "with-staged-install.sh: install failed" >&2; exit 1; }
for program in "${grants[@]}"; do
  printf '[Desktop Entry]\nType=Application\nName=%s\nExec=%s\nNoDisplay=true\nX-KDE-Wayland-Interfaces=org_kde_kwin_fake_input\n' \
    "$(basename "$program")" "$program" >"$stage/share/applications/test-$(basename "$program").desktop"
done
export QUINDOREL_STAGED_PROGRAM=$stage/bin/quindorel
export XDG_DATA_DIRS=$stage/share:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}
"$@"
