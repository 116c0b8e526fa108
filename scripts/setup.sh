#!/usr/bin/env bash
# Installs the Debian packages that are missing, then configures and builds
# into build/ (or $DUNMARK_BUILD_DIR). Safe to run again and again.
#   bash scripts/setup.sh              what building and playing need; the game,
#                                      and its tests if the build already has them
#   bash scripts/setup.sh --tests      the test tools too; the game and its tests
#   bash scripts/setup.sh --no-tests   the game only, even in a build with tests
# Further arguments name more packages to install (play.sh adds xvfb).
# Extra CMake arguments, which win over these: $DUNMARK_CMAKE_ARGS.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
build=${DUNMARK_BUILD_DIR:-$top/build}

lists=("$here/packages-play.txt")
# A build configured with its tests keeps them, so that playing does not take
# away the tests of a developer's build.
tests=OFF
cached=$(sed -n 's/^DUNMARK_TESTS:BOOL=//p' "$build/CMakeCache.txt" 2>/dev/null || true)
[[ ! "${cached^^}" =~ ^(ON|1|TRUE|YES|Y)$ ]] || tests=ON
case "${1:-}" in
  --tests) tests=ON; shift ;;
  --no-tests) tests=OFF; shift ;;
  -*) ;;
  *) [[ "$tests" == OFF ]] || echo "setup: $build keeps its tests (--no-tests builds the game only)" ;;
esac
[[ "${1:-}" != -* ]] || { echo "setup: unknown option $1 (--tests or --no-tests)" >&2; exit 2; }
[[ "$tests" == OFF ]] || lists+=("$here/packages-test.txt")
bash "$here/install_packages.sh" "${lists[@]}" "$@"

# shellcheck disable=SC2086
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDUNMARK_TESTS=$tests -DDUNMARK_WERROR=OFF \
  ${DUNMARK_CMAKE_ARGS:-}
cmake --build "$build" -j "$(nproc)"
