#!/usr/bin/env bash
# Builds the Debian package for the release this machine runs and prints its
# path as the last line. Installs what packing needs on top of building and
# playing (packages-package.txt). A build folder that is already configured
# (build/, or $DUNMARK_BUILD_DIR) is brought up to date as it is configured;
# otherwise it is set up as for playing. Safe to run again and again.
#   bash scripts/package.sh && sudo apt install ./build/dunmark_*.deb
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build=${DUNMARK_BUILD_DIR:-$(cd "$here/.." && pwd)/build}
(($# == 0)) || { echo "package: takes no arguments" >&2; exit 2; }
if [[ -f "$build/CMakeCache.txt" ]]; then
  bash "$here/install_packages.sh" "$here/packages-play.txt" "$here/packages-package.txt"
  cmake --build "$build" -j "$(nproc)"
else
  DUNMARK_BUILD_DIR=$build bash "$here/setup.sh" "$here/packages-package.txt"
fi
rm -f "$build"/dunmark_*.deb "$build"/dunmark-dbgsym_*.ddeb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/dunmark_*.deb
