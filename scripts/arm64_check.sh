#!/usr/bin/env bash
# The fresh-root check on arm64: a minimal Debian arm64 root made and run
# under qemu-user-static, the play command until the game runs, the art it
# built compared byte for byte with the art this machine builds from the same
# commit, then the quick suite. First the emulation set-up's clean-up
# test. Needs root; takes 40 to 100 minutes a release, so it is not part of CI.
#   bash scripts/arm64_check.sh [RELEASE [TEST-OPTION]]   (default bookworm --quick)
# Emulation makes every capture-and-compare round of the screen tests slow:
# the end-to-end tests' patience is raised for this check alone
# (DUNMARK_E2E_PATIENCE, default here 600 s).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
bash "$here/emulation_cleanup_test.sh"
DUNMARK_FRESH_ROOT_ARCH=arm64 DUNMARK_E2E_PATIENCE=${DUNMARK_E2E_PATIENCE:-600} \
  exec bash "$here/fresh_root_check.sh" "${1:-bookworm}" "${2:---quick}"
