#!/usr/bin/env bash
# A one-minute soak of the real program: random clicks through several games,
# resident memory flat over the second half, a game that still answers at the
# end, a clean close.
# scripts/soak.sh runs the same for as long as asked (ten minutes by default).
set -euo pipefail
exec bash "$(dirname "$0")/../../scripts/soak.sh" "${DUNMARK_SOAK_SECONDS:-60}"
