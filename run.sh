#!/usr/bin/env bash
# Installs what is missing, builds Quindorel (Release) and starts it. Without an
# X display it starts a virtual one with a window manager and saves a screenshot.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh build x
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target quindorel

if [ -n "${DISPLAY:-}" ]; then
  exec ./build/quindorel
fi

./scripts/install-deps.sh screenshot
exec ./scripts/virtual-desktop.sh ./build/quindorel
