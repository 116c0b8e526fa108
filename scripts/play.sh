#!/usr/bin/env bash
# Sets everything up and starts the game. Without a display it runs under Xvfb.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=${DUNMARK_BUILD_DIR:-$(cd "$here/.." && pwd)/build}
bash "$here/setup.sh"
cd "$build/bin"
if [[ -n "${DISPLAY:-}" ]]; then
  exec ./dunmark "$@"
fi
echo "No DISPLAY: starting the game under Xvfb."
exec bash "$here/with_xvfb.sh" ./dunmark "$@"
