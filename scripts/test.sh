#!/usr/bin/env bash
# Sets everything up and runs every test. The GoogleTest programs that need
# OpenGL share one Xvfb display; the end-to-end tests start their own.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
build=${DUNMARK_BUILD_DIR:-$top/build}
bash "$here/setup.sh"
cd "$build"
xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" \
  ctest --output-on-failure -j "$(nproc)" "$@"
