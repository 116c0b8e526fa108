#!/usr/bin/env bash
# Installs the Debian packages that are missing, then configures and builds
# the game into build/ (or $DUNMARK_BUILD_DIR). Safe to run again and again.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
build=${DUNMARK_BUILD_DIR:-$top/build}

bash "$here/install_packages.sh" "$here/packages.txt"

cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo ${DUNMARK_CMAKE_ARGS:-}
cmake --build "$build" -j "$(nproc)"
