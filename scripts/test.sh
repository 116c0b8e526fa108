#!/usr/bin/env bash
# Sets everything up and runs every test, in named steps, each timed and
# bounded by its own limit (scripts/steps.sh): the whole suite in the normal
# build, again under AddressSanitizer with UndefinedBehaviorSanitizer, and
# again built by the other compiler (clang++ after g++, g++ after clang++),
# each with every warning an error; then the browser build and its tests in
# headless Chromium and Firefox ESR (scripts/test_web.sh); then the leak check
# and the ThreadSanitizer check of the real game, the Debian package check,
# the reproducible-build check and short fuzzing runs. The GoogleTest programs
# that need OpenGL share one Xvfb display; the end-to-end tests start their
# own. Each step's output goes to build/steps/; a failed step shows its end.
#   bash scripts/test.sh           everything (what CI runs; --all says so too)
#   bash scripts/test.sh --quick   the normal build's suite only
#   bash scripts/test.sh --no-fuzz everything but the fuzzing runs
#   bash scripts/test.sh --step NAME
#                                  one step, its output on the console: normal,
#                                  asan, other, web, leak, thread, package,
#                                  reproducible or fuzz
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
build=${DUNMARK_BUILD_DIR:-$top/build}
asan_build=${DUNMARK_ASAN_BUILD_DIR:-$top/build-asan}
other_build=${DUNMARK_OTHER_BUILD_DIR:-$top/build-other}

# The browser tests have a step of their own, which builds the site first.
run_suite() {
  (cd "$1" && bash "$here/with_xvfb.sh" ctest --output-on-failure -j "$(nproc)" -E '^web\.')
}

# The C and C++ compilers the normal build did not use, as its configuration
# named them.
other_compilers() {
  sed -n 's/^DUNMARK_OTHER_COMPILERS:INTERNAL=//p' "$build/CMakeCache.txt" | tr ';' ' '
}

step_normal() {
  DUNMARK_BUILD_DIR=$build DUNMARK_CMAKE_ARGS="-DDUNMARK_WERROR=ON" bash "$here/setup.sh" --tests
  run_suite "$build"
}

step_asan() {
  DUNMARK_BUILD_DIR=$asan_build DUNMARK_CMAKE_ARGS="-DDUNMARK_SANITIZE=address -DDUNMARK_WERROR=ON" \
    bash "$here/setup.sh" --tests
  ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0} \
  LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$top/tests/lsan.supp:print_suppressions=0" \
  UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
    run_suite "$asan_build"
}

step_other() {
  local other_cc other_cxx
  read -r other_cc other_cxx < <(other_compilers)
  [[ -n "${other_cxx:-}" ]] || { echo "test: the normal build names no other compiler" >&2; return 1; }
  echo "== The whole project built with $other_cxx"
  DUNMARK_BUILD_DIR=$other_build \
  DUNMARK_CMAKE_ARGS="-DCMAKE_C_COMPILER=$other_cc -DCMAKE_CXX_COMPILER=$other_cxx -DDUNMARK_WERROR=ON" \
    bash "$here/setup.sh" --tests
  run_suite "$other_build"
}

step_web() { DUNMARK_BUILD_DIR=$build bash "$here/test_web.sh"; }
step_leak() { DUNMARK_ASAN_BUILD_DIR=$asan_build bash "$here/leak_check.sh" "${DUNMARK_LEAK_SECONDS:-60}"; }
step_thread() { bash "$here/thread_check.sh" "${DUNMARK_THREAD_SECONDS:-30}"; }
step_package() { DUNMARK_BUILD_DIR=$build bash "$here/check_package.sh"; }
step_reproducible() { bash "$here/reproducible_check.sh"; }
step_fuzz() { bash "$here/fuzz.sh" "${DUNMARK_FUZZ_SECONDS:-60}"; }

# name:limit in seconds:what it proves. Each limit is about twice the time
# the step took in a whole run on this project's two-core machine with
# nothing else running, and at least two minutes (docs/DEVELOPING.md has the
# table); a bare machine's first run also installs packages within it.
steps=(
  "normal:480:the normal build, every warning an error, and its whole suite"
  "asan:600:the suite under AddressSanitizer and UndefinedBehaviorSanitizer"
  "other:400:the whole project built by the other compiler, and its suite"
  "web:900:the browser build and every browser test"
  "leak:210:no leak in the real game"
  "thread:120:no data race in the real game (ThreadSanitizer)"
  "package:120:the Debian package: lintian, install, play, purge"
  "reproducible:120:the commit built twice, the same bytes"
  "fuzz:480:fuzzing every file format the game reads"
)

quick=0
fuzz=1
case "${1:-}" in
  "" | --all) ;;
  --quick) quick=1 ;;
  --no-fuzz) fuzz=0 ;;
  --step)
    [[ "${2:-}" =~ ^[a-z]+$ ]] && declare -F "step_$2" >/dev/null ||
      { echo "test: no step '${2:-}' (${steps[*]%%:*})" >&2; exit 2; }
    "step_$2"
    exit ;;
  *) echo "test: unknown option $1 (--quick, --no-fuzz, --all or --step NAME)" >&2; exit 2 ;;
esac

source "$here/steps.sh"
for entry in "${steps[@]}"; do
  IFS=: read -r name limit what <<<"$entry"
  [[ "$name" != fuzz ]] || ((fuzz)) || continue
  step "test $name: $what" "$limit" bash "$here/test.sh" --step "$name"
  ((quick)) && break
done
steps_done
