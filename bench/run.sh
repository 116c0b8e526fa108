#!/usr/bin/env bash
# Sets everything up, builds the floor program and the probe, and runs the
# benchmark; the table goes to BENCHMARKS.md. Usage: bash bench/run.sh [runs]
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
build=${DUNMARK_BUILD_DIR:-$top/build}
bash "$top/scripts/setup.sh"
mkdir -p "$build/bench"
cc -O2 -shared -fPIC -o "$build/bench/probe.so" "$here/probe.c" -ldl -lpthread
python3 "$here/bench.py" "$build" "${1:-3}"
