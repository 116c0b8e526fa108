#!/usr/bin/env bash
# Runs the normal build's whole suite several times in a row while stress-ng
# keeps every core busy: no test may depend on how busy the machine is.
#   bash scripts/load_check.sh [runs]    (default 3)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
build=${DUNMARK_BUILD_DIR:-$top/build}
runs=${1:-3}

bash "$here/install_packages.sh" "$here/packages-play.txt" "$here/packages-test.txt" stress-ng
DUNMARK_BUILD_DIR=$build bash "$here/setup.sh" --tests
stress-ng --cpu "$(nproc)" --timeout 0 --quiet &
stress=$!
trap 'kill "$stress" 2>/dev/null || true; wait "$stress" 2>/dev/null || true' EXIT
for ((run = 1; run <= runs; run++)); do
  start=$SECONDS
  (cd "$build" && bash "$here/with_xvfb.sh" ctest --output-on-failure -j "$(nproc)") ||
    { echo "load check: run $run of $runs failed under load" >&2; exit 1; }
  echo "load check: run $run of $runs passed in $((SECONDS - start)) s"
done
