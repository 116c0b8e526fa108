#!/usr/bin/env bash
# A one-minute soak of the real program: random clicks through several games,
# no gross growth of resident memory, a game that still answers at the end, a
# clean close.
# scripts/soak.sh runs the same for as long as asked (ten minutes by default).
set -euo pipefail
# Judged from the half-minute on, with quarter-minute windows, while the
# OpenGL driver's heap may still be growing to its largest frame: the margin
# only catches gross growth. The ten-minute run, judged from the first minute
# on, is held to 2 MB.
export DUNMARK_SOAK_MARGIN_KB=${DUNMARK_SOAK_MARGIN_KB:-8192}
exec bash "$(dirname "$0")/../../scripts/soak.sh" "${DUNMARK_SOAK_SECONDS:-60}"
