#!/usr/bin/env bash
# Sets everything up and runs every test: the whole suite in the normal build,
# again under AddressSanitizer with UndefinedBehaviorSanitizer, and again built
# by the other compiler (clang++ after g++, g++ after clang++), each with every
# warning an error; then the browser build and its tests in headless
# Chromium and Firefox ESR (scripts/test_web.sh); then the leak check and the
# ThreadSanitizer check of the real game, the Debian package check, the
# reproducible-build check and short fuzzing runs. The GoogleTest programs that
# need OpenGL share one Xvfb display; the end-to-end tests start their own.
#   bash scripts/test.sh           everything (what CI runs; --all says so too)
#   bash scripts/test.sh --quick   the normal build's suite only
#   bash scripts/test.sh --no-fuzz everything but the fuzzing runs
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
build=${DUNMARK_BUILD_DIR:-$top/build}
asan_build=${DUNMARK_ASAN_BUILD_DIR:-$top/build-asan}
other_build=${DUNMARK_OTHER_BUILD_DIR:-$top/build-other}
quick=0
fuzz=1
case "${1:-}" in
  "" | --all) ;;
  --quick) quick=1 ;;
  --no-fuzz) fuzz=0 ;;
  *) echo "test: unknown option $1 (--quick, --no-fuzz or --all)" >&2; exit 2 ;;
esac

# The browser tests have a step of their own, which builds the site first.
run_suite() {
  (cd "$1" && bash "$here/with_xvfb.sh" ctest --output-on-failure -j "$(nproc)" -E '^web\.')
}

# The C and C++ compilers the normal build did not use, as its configuration
# named them.
other_compilers() {
  sed -n 's/^DUNMARK_OTHER_COMPILERS:INTERNAL=//p' "$build/CMakeCache.txt" | tr ';' ' '
}

echo "== Normal build"
DUNMARK_BUILD_DIR=$build DUNMARK_CMAKE_ARGS="-DDUNMARK_WERROR=ON" bash "$here/setup.sh" --tests
run_suite "$build"
((quick)) && exit 0

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build"
DUNMARK_BUILD_DIR=$asan_build DUNMARK_CMAKE_ARGS="-DDUNMARK_SANITIZE=address -DDUNMARK_WERROR=ON" \
  bash "$here/setup.sh" --tests
ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0} \
LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$top/tests/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
  run_suite "$asan_build"

read -r other_cc other_cxx < <(other_compilers)
[[ -n "${other_cxx:-}" ]] || { echo "test: the normal build names no other compiler" >&2; exit 1; }
echo "== The whole project built with $other_cxx"
DUNMARK_BUILD_DIR=$other_build \
DUNMARK_CMAKE_ARGS="-DCMAKE_C_COMPILER=$other_cc -DCMAKE_CXX_COMPILER=$other_cxx -DDUNMARK_WERROR=ON" \
  bash "$here/setup.sh" --tests
run_suite "$other_build"

echo "== The browser build and the browser tests (headless Chromium, Firefox ESR)"
DUNMARK_BUILD_DIR=$build bash "$here/test_web.sh"

echo "== Leak check of the real game"
DUNMARK_ASAN_BUILD_DIR=$asan_build bash "$here/leak_check.sh" "${DUNMARK_LEAK_SECONDS:-60}"

echo "== ThreadSanitizer check of the real game"
bash "$here/thread_check.sh" "${DUNMARK_THREAD_SECONDS:-30}"

echo "== Debian package"
DUNMARK_BUILD_DIR=$build bash "$here/check_package.sh"

echo "== Reproducible build: the commit built twice, compared byte for byte"
bash "$here/reproducible_check.sh"

if ((fuzz)); then
  echo "== Fuzzing, ${DUNMARK_FUZZ_SECONDS:-60} s a target"
  bash "$here/fuzz.sh" "${DUNMARK_FUZZ_SECONDS:-60}"
fi
echo "== All tests passed"
