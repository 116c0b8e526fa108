#!/usr/bin/env bash
# Sets up what building and playing need, builds the game and starts it. Run
# it as yourself: only the installing of missing packages asks for sudo. A
# build configured with its tests keeps them (setup.sh says so).
# Without a display it runs under Xvfb, and since nobody can hear it there
# either, its sound goes to OpenAL Soft's null output (unless ALSOFT_DRIVERS
# is set). With a display a missing sound device stays the game's own error.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=${DUNMARK_BUILD_DIR:-$(cd "$here/.." && pwd)/build}
display_packages=()
[[ -n "${DISPLAY:-}" ]] || display_packages=(xvfb)
bash "$here/setup.sh" "${display_packages[@]}"
cd "$build/bin"
if [[ -n "${DISPLAY:-}" ]]; then
  exec ./dunmark "$@"
fi
echo "No DISPLAY: starting the game under Xvfb, its sound to OpenAL Soft's ${ALSOFT_DRIVERS:-null} output."
export ALSOFT_DRIVERS=${ALSOFT_DRIVERS:-null}
exec bash "$here/with_xvfb.sh" ./dunmark "$@"
