#!/usr/bin/env bash
# Leak check of the real program: builds the game with AddressSanitizer (and
# UndefinedBehaviorSanitizer), then runs the soak against it for the given
# number of seconds: random clicks through whole games, every screen from the
# title to the game over and back, then Escape. LeakSanitizer looks for
# unreachable blocks when the program exits.
# Passes when no sanitizer reported anything, the game said goodbye and
# exited with 0.
#   bash scripts/leak_check.sh [seconds]     (default 60)
# Environment: DUNMARK_ASAN_BUILD_DIR (default build-asan/).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
seconds=${1:-60}
build=${DUNMARK_ASAN_BUILD_DIR:-$top/build-asan}

echo "== Building the AddressSanitizer game in $build"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDUNMARK_SANITIZE=address >/dev/null
cmake --build "$build" --target dunmark art -j "${DUNMARK_JOBS:-$(nproc)}" >/dev/null

# Leak detection on whatever the caller's options say; a report fails the
# run instead of ending it halfway. The suppressions name libraries outside
# the project only, each with its reason (tests/lsan.supp).
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=1:leak_check_at_exit=1:abort_on_error=0"
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$top/tests/lsan.supp:print_suppressions=1"
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

echo "== Playing the AddressSanitizer game for $seconds s"
DUNMARK_BUILD_DIR=$build bash "$here/soak.sh" "$seconds"
echo "PASS: no leak or other sanitizer report, goodbye, exit code 0"
