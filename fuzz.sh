#!/usr/bin/env bash
# Long fuzzing runs: ./fuzz.sh [seconds per target] (default 600); see scripts/fuzz.sh.
exec "$(dirname "$0")/scripts/fuzz.sh" "$@"
