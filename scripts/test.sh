#!/usr/bin/env bash
# Sets everything up and runs every test.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
build=${DUNMARK_BUILD_DIR:-$top/build}
bash "$here/setup.sh"
cd "$build"
ctest --output-on-failure -j "$(nproc)" "$@"
