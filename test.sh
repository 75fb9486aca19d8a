#!/usr/bin/env bash
# Installs what is missing, builds Quindorel and runs every test: the unit and
# widget tests (also under AddressSanitizer and UndefinedBehaviorSanitizer),
# short fuzzing runs, the Windows program and its tests under Wine (the first
# run on a machine builds a static Qt for Windows: 15 to 30 minutes), and the
# real-X tests on private Xvfb displays. The last lines are ctest's summary of
# the main build.
set -euo pipefail
cd "$(dirname "$0")"
jobs=$(nproc 2>/dev/null || echo 2)

step() { printf '\n== %s\n' "$*"; }

step "Installing what is missing"
./scripts/install-deps.sh build x test wayland package windows

step "Building (Release)"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUINDOREL_TESTS=ON >/dev/null
cmake --build build -j "$jobs"

step "Building with AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUINDOREL_SANITIZE=ON >/dev/null
cmake --build build-asan -j "$jobs"

step "Unit and widget tests under the sanitizers"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
(cd build-asan && ctest -L unit -j "$jobs" --output-on-failure --timeout 300)

if [ -x scripts/fuzz.sh ]; then
  step "Short fuzzing runs"
  ./scripts/fuzz.sh --smoke
fi

step "The Windows program and its tests under Wine"
./scripts/test-windows.sh

step "Installed copy and Debian package"
./scripts/test-install.sh build

step "All tests of the Release build"
cd build
ctest -j "$jobs" --output-on-failure --timeout 300
