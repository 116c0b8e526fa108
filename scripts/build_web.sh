#!/usr/bin/env bash
# Installs what the browser build needs (scripts/packages-web.txt) and builds
# the site into build-web/site/: index.html and the files it loads, art
# included. Any static web server can serve that folder.
#   bash scripts/build_web.sh
# DUNMARK_WEB_BUILD_DIR builds elsewhere (the site is then in its site/).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(cd "$here/.." && pwd)
build=${DUNMARK_WEB_BUILD_DIR:-$source_dir/build-web}

bash "$here/install_packages.sh" "$here/packages-web.txt"

# Emscripten runs with Debian's Python and finds the Node modules Debian
# installs (its optimizer needs acorn) whichever node comes first on PATH.
export EMSDK_PYTHON=/usr/bin/python3
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

cd "$source_dir"
cmake --preset web -B "$build" > "$build.configure.log" 2>&1 || {
  cat "$build.configure.log"
  echo "build_web: configuring the browser build failed" >&2
  exit 1
}
rm -f "$build.configure.log"
cmake --build "$build" -j"$(nproc)"
echo "The site is in $build/site/ ($(du -sb "$build/site" | cut -f1) bytes)."
