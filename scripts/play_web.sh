#!/usr/bin/env bash
# Builds the browser's site (build_web.sh), serves it on 127.0.0.1 and prints
# the address; on a desktop it opens the address in the desktop's browser.
# Ctrl+C stops the server.
#   bash scripts/play_web.sh
# DUNMARK_WEB_PORT chooses the port (default: a free one).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source_dir=$(cd "$here/.." && pwd)
site=${DUNMARK_WEB_BUILD_DIR:-$source_dir/build-web}/site

bash "$here/build_web.sh"

# The site must be served: a page opened from disk (file://) cannot fetch its
# module and art.
exec /usr/bin/python3 - "$site" "${DUNMARK_WEB_PORT:-0}" <<'PY'
import functools, http.server, os, shutil, subprocess, sys

site, port = sys.argv[1], int(sys.argv[2])

class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      '.wasm': 'application/wasm', '.js': 'text/javascript'}

    def log_message(self, *args):
        pass

server = http.server.ThreadingHTTPServer(('127.0.0.1', port), functools.partial(Handler, directory=site))
address = 'http://127.0.0.1:%d/' % server.server_address[1]
print('Dunmark is served at ' + address + ' (Ctrl+C stops it)', flush=True)
if (os.environ.get('DISPLAY') or os.environ.get('WAYLAND_DISPLAY')) and shutil.which('xdg-open'):
    subprocess.Popen(['xdg-open', address], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
try:
    server.serve_forever()
except KeyboardInterrupt:
    pass
PY
