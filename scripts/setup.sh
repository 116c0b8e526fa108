#!/usr/bin/env bash
# Installs the Debian packages that are missing, then configures and builds
# into build/ (or $DUNMARK_BUILD_DIR). Safe to run again and again.
#   bash scripts/setup.sh           what building and playing need; the game only
#   bash scripts/setup.sh --tests   the test tools too; the game and its tests
# Further arguments name more packages to install (play.sh adds xvfb).
# Extra CMake arguments, which win over these: $DUNMARK_CMAKE_ARGS.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
build=${DUNMARK_BUILD_DIR:-$top/build}

lists=("$here/packages-play.txt")
tests=OFF
if [[ "${1:-}" == --tests ]]; then
  lists+=("$here/packages-test.txt")
  tests=ON
  shift
fi
[[ "${1:-}" != -* ]] || { echo "setup: unknown option $1" >&2; exit 2; }
bash "$here/install_packages.sh" "${lists[@]}" "$@"

# shellcheck disable=SC2086
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDUNMARK_TESTS=$tests -DDUNMARK_WERROR=OFF \
  ${DUNMARK_CMAKE_ARGS:-}
cmake --build "$build" -j "$(nproc)"
