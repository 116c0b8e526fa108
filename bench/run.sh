#!/usr/bin/env bash
# Sets everything up, builds the floor programs, the probe and the clicker,
# and runs the benchmark on this machine; its results are kept in
# build/bench/results-debianN.json and BENCHMARKS.md is written from every
# release's results kept there.
#   bash bench/run.sh [RUNS]             measure on this machine (RUNS: 3)
#   bash bench/run.sh --debian13 [RUNS]  measure in a fresh Debian 13 root made
#                                        as scripts/fresh_root_check.sh makes
#                                        them (needs root), then the table
#   bash bench/run.sh --latency          measure the click latency on this
#                                        machine again (a quieter moment)
#   bash bench/run.sh --table            only write BENCHMARKS.md again
#   bash bench/run.sh --web [RUNS]       the browser build in headless
#                                        Chromium beside its replay floor page
#                                        (bench/web/): results in
#                                        build/bench/results-web-debianN.json,
#                                        its section of BENCHMARKS.md
#   bash bench/run.sh --web-table        only write that section again
# Settings: DUNMARK_BENCH_CLICKS (clicks per program and hold time, 200),
# DUNMARK_BENCH_WORLDS (worlds of the long game, "1 10 30 60 100").
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
build=${DUNMARK_BUILD_DIR:-$top/build}

table() {
  python3 "$here/bench.py" --table "$build"/bench/results-debian*.json
}

case "${1:-}" in
  --table)
    table
    exit 0
    ;;
  --latency)
    version=$(. /etc/os-release && echo "$VERSION_ID")
    python3 "$here/bench.py" --latency "$build" "$build/bench/results-debian$version.json"
    table
    exit 0
    ;;
  --web)
    bash "$here/web/run_web.sh" "$build" "${2:-3}"
    exit 0
    ;;
  --web-table)
    version=$(. /etc/os-release && echo "$VERSION_ID")
    /usr/bin/python3 "$here/web/web_bench.py" --table "$build/bench/results-web-debian$version.json"
    exit 0
    ;;
  --debian13)
    bash "$here/debian_root.sh" trixie "${2:-3}" "$build/bench/results-debian13.json"
    table
    exit 0
    ;;
esac

bash "$top/scripts/setup.sh" --tests
# perf for the sampling profile (bench/profile.py); XTest for the clicker.
bash "$top/scripts/install_packages.sh" linux-perf libxtst-dev libx11-dev python3
mkdir -p "$build/bench"
cc -O2 -shared -fPIC -o "$build/bench/probe.so" "$here/probe.c" -ldl -lpthread
cc -O2 -o "$build/bench/click_latency" "$here/click_latency.c" -lXtst -lX11
version=$(. /etc/os-release && echo "$VERSION_ID")
python3 "$here/bench.py" "$build" "${1:-3}" "$build/bench/results-debian$version.json"
table
