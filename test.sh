#!/usr/bin/env bash
# Installs what is missing, builds Quindorel and runs every test: the unit and
# widget tests (also under AddressSanitizer and UndefinedBehaviorSanitizer),
# short fuzzing runs, the Windows program and its tests under Wine (the first
# run on a machine builds a static Qt for Windows: 15 to 30 minutes), and the
# real-X tests on private Xvfb displays.
#
# Every step runs, whatever became of the ones before it (a build that failed
# leaves the steps that need it to fail too, and says so); at the end the
# steps that failed are listed and the exit status is 1. When all passed, the
# last lines are ctest's summary of the main build.
set -uo pipefail
cd "$(dirname "$0")"
jobs=$(nproc 2>/dev/null || echo 2)

failed=()
# step NAME COMMAND...: runs one step in a subshell of its own, with -e, so
# that its first failing command ends it and only it.
step() {
  local name=$1
  shift
  printf '\n== %s\n' "$name"
  # Not in an if: there -e would be off inside the subshell too.
  (set -e; "$@")
  local status=$?
  if [ "$status" -ne 0 ]; then
    printf '== FAILED (exit status %d): %s\n' "$status" "$name"
    failed+=("$name")
  fi
}

install_deps() { ./scripts/install-deps.sh build x test wayland package windows; }
build_release() {
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUINDOREL_TESTS=ON >/dev/null
  cmake --build build -j "$jobs"
}
build_asan() {
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUINDOREL_SANITIZE=ON >/dev/null
  cmake --build build-asan -j "$jobs"
}
unit_under_sanitizers() {
  export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  cd build-asan
  ctest -L unit -j "$jobs" --output-on-failure --timeout 300
}
release_tests() {
  cd build
  ctest -j "$jobs" --output-on-failure --timeout 300
}

step "Installing what is missing" install_deps
step "Building (Release)" build_release
step "Building with AddressSanitizer and UndefinedBehaviorSanitizer" build_asan
step "Unit and widget tests under the sanitizers" unit_under_sanitizers
if [ -x scripts/fuzz.sh ]; then
  step "Short fuzzing runs" ./scripts/fuzz.sh --smoke
fi
step "The Windows program and its tests under Wine" ./scripts/test-windows.sh
step "Installed copy and Debian package" ./scripts/test-install.sh build
step "All tests of the Release build" release_tests

if [ ${#failed[@]} -gt 0 ]; then
  printf '\n== %d of the steps failed:\n' "${#failed[@]}"
  printf '   %s\n' "${failed[@]}"
  exit 1
fi
