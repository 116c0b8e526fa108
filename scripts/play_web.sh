#!/usr/bin/env bash
# Builds the browser's site (build_web.sh), serves it on 127.0.0.1 and prints
# the address; on a desktop it opens the address in the desktop's browser.
# Ctrl+C stops the server.
#   bash scripts/play_web.sh
# DUNMARK_WEB_PORT chooses the port (default 8640). The port is part of the
# page's origin, and with it go the installed app, the kept site and what the
# page stores, so it stays the same from run to run.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(cd "$here/.." && pwd)
site=${DUNMARK_WEB_BUILD_DIR:-$source_dir/build-web}/site

bash "$here/build_web.sh"

# The site must be served: a page opened from disk (file://) cannot fetch its
# module and art.
exec /usr/bin/python3 - "$here" "$site" "${DUNMARK_WEB_PORT:-8640}" <<'PY'
import os, shutil, signal, subprocess, sys
sys.path.insert(0, sys.argv[1])
from serve_site import Site

site = Site(sys.argv[2], int(sys.argv[3]))
address = site.origin + '/'
print('Dunmark is served at ' + address + ' (Ctrl+C stops it)', flush=True)
if (os.environ.get('DISPLAY') or os.environ.get('WAYLAND_DISPLAY')) and shutil.which('xdg-open'):
    subprocess.Popen(['xdg-open', address], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
try:
    signal.pause()
except KeyboardInterrupt:
    site.close()
PY
