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
exec xvfb-run -a -s "-screen 0 1024x768x24" ./dunmark "$@"
