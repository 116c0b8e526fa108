#!/usr/bin/env bash
# Sets everything up, builds the floor programs and the probe, records the
# game's frames for the replay floor and runs the benchmark; the table goes to
# BENCHMARKS.md. Usage: bash bench/run.sh [runs]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
build=${DUNMARK_BUILD_DIR:-$top/build}
bash "$top/scripts/setup.sh" --tests
# The sampling profile (bench/profile.py) needs perf; only the benchmark does.
bash "$top/scripts/install_packages.sh" linux-perf
mkdir -p "$build/bench"
cc -O2 -shared -fPIC -o "$build/bench/probe.so" "$here/probe.c" -ldl -lpthread
# The recorder resolves the art's paths as the game does, from bin/.
(cd "$build/bin" && ../bench/record_frames ../bench/frames.txt)
python3 "$here/bench.py" "$build" "${1:-3}"
