#!/usr/bin/env bash
# Everything that makes the game rock-solid, at full length: the whole suite in
# the normal and the ASan+UBSan builds, the leak check and the ThreadSanitizer
# check of the real game, long fuzzing runs and the ten-minute soak.
#   bash scripts/robustness.sh
# Lengths can be changed: DUNMARK_FUZZ_SECONDS (default 600 a target),
# DUNMARK_THREAD_SECONDS (default 60), DUNMARK_SOAK_SECONDS (default 600).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

DUNMARK_THREAD_SECONDS=${DUNMARK_THREAD_SECONDS:-60} bash "$here/test.sh" --no-fuzz
echo "== Fuzzing"
bash "$here/fuzz.sh" "${DUNMARK_FUZZ_SECONDS:-600}"
echo "== Soak"
bash "$here/soak.sh" "${DUNMARK_SOAK_SECONDS:-600}"
echo "== Rock-solid"
