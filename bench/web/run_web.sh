#!/usr/bin/env bash
# The browser benchmark (bench/run.sh --web): builds the site
# (scripts/build_web.sh), the frame recorder and the texture packer, records
# the game's frames for the floor page, lays the floor page out beside them
# and measures both pages in headless Chromium (web_bench.py).
#   bash bench/web/run_web.sh BUILD_DIR [RUNS]
# Settings: DUNMARK_BENCH_CLICKS (clicks per page and hold time, 200),
# DUNMARK_WEB_BUILD_DIR (where the site is built, build-web/),
# DUNMARK_BENCH_BEFORE (a commit: its site, built from its own tree in
# BUILD_DIR/bench/, is measured beside the other two as the renderer before).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
top=$(cd "$here/../.." && pwd)
build=$1
runs=${2:-3}
site=${DUNMARK_WEB_BUILD_DIR:-$top/build-web}/site

bash "$top/scripts/build_web.sh"
bash "$top/scripts/install_packages.sh" "$top/scripts/packages-play.txt" "$top/scripts/packages-test.txt" \
  "$here/packages.txt"
if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DDUNMARK_TESTS=ON -DDUNMARK_WERROR=OFF
fi
cmake --build "$build" -j "$(nproc)" --target art record_frames pack_textures

floor="$build/bench/web-floor"
mkdir -p "$build/bin" "$floor"
(cd "$build/bin" && ../bench/record_frames "$floor/frames.txt" > /dev/null &&
  ../bench/pack_textures "$floor/frames.txt" "$floor/textures.bin" > /dev/null)
cp "$here/floor.html" "$here/floor.css" "$here/floor.js" "$floor/"
/usr/bin/python3 "$here/floor_shaders.py" "$top/ge/gles2/Quad.vert" "$top/ge/gles2/Quad.frag" \
  "$floor/floor-shaders.js"

before_site=()
if [[ -n "${DUNMARK_BENCH_BEFORE:-}" ]]; then
  before="$build/bench/before"
  commit=$(git -C "$top" rev-parse "$DUNMARK_BENCH_BEFORE")
  if [[ "$(cat "$before/commit" 2>/dev/null)" != "$commit" ]]; then
    rm -rf "$before/source"
    mkdir -p "$before/source"
    git -C "$top" archive "$commit" | tar -x -C "$before/source"
    echo "$commit" > "$before/commit"
  fi
  DUNMARK_WEB_BUILD_DIR="$before/web" bash "$before/source/scripts/build_web.sh"
  before_site=("$before/web/site" "${commit:0:7}")
fi

version=$(. /etc/os-release && echo "$VERSION_ID")
results="$build/bench/results-web-debian$version.json"
# Debian's Python, which has the driver's modules.
/usr/bin/python3 "$here/web_bench.py" "$site" "$floor" "$runs" "$results" "${before_site[@]}"
/usr/bin/python3 "$here/web_bench.py" --table "$results"
