#!/usr/bin/env bash
# Sets everything up, then plays the game under Xvfb through every screen and
# writes a picture of each into a folder (default ./screenshots), numbered in
# the order they are reached. docs/screenshot.png is 04-slime.png of this set.
#   bash scripts/screenshots.sh [folder] [en]    (en: the game in English)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/.." && pwd)
export DUNMARK_BUILD_DIR=${DUNMARK_BUILD_DIR:-$top/build}
export ALSOFT_DRIVERS=${ALSOFT_DRIVERS:-null}
out=${1:-screenshots}
mkdir -p "$out"
out=$(cd "$out" && pwd)

bash "$here/setup.sh" --tests

source "$top/tests/e2e/lib.sh"
source "$top/tests/e2e/screens_lib.sh"
screens_mode=export
screens_out=$out
screens_language=${2:-ru}
run_screens
echo "Screenshots written to $out"
