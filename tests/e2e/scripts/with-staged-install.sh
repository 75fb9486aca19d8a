#!/usr/bin/env bash
# Installs the build into a staging prefix, as a user's `cmake --install`
# would, and runs the command with the installed program named in
# QUINDOREL_STAGED_PROGRAM and its desktop entry findable through
# XDG_DATA_DIRS (KWin lets in the program an entry names):
#   with-staged-install.sh BUILD_DIR command [arguments...]
set -u
build=$1
shift
stage=$(mktemp -d "${TMPDIR:-/tmp}/quindorel-stage.XXXXXX")
trap 'rm -rf "$stage"' EXIT
chmod 0755 "$stage"
cmake --install "$build" --prefix "$stage" >/dev/null || { echo "with-staged-install.sh: install failed" >&2; exit 1; }
export QUINDOREL_STAGED_PROGRAM=$stage/bin/quindorel
export XDG_DATA_DIRS=$stage/share:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}
"$@"
