#!/usr/bin/env bash
# A one-minute soak of the real program: random clicks through several games,
# resident memory steady over the second half, a game that still answers at the
# end, a clean close.
# scripts/soak.sh runs the same for as long as asked (ten minutes by default).
set -euo pipefail
# Judged from the half-minute on, while the heap's pages are still becoming
# resident for the first time (up to 1.7 MB more by the end of such a run):
# a wider margin than the ten-minute run's, which is judged from the minute on.
export DUNMARK_SOAK_MARGIN_KB=${DUNMARK_SOAK_MARGIN_KB:-4096}
exec bash "$(dirname "$0")/../../scripts/soak.sh" "${DUNMARK_SOAK_SECONDS:-60}"
