"""A folder of static files served on 127.0.0.1, quietly: the browser's site
for scripts/play_web.sh, the browser tests and the benchmark. It serves only
files inside the folder (a path that leads out of it, however encoded, or a
link that points out of it, is not found) and lists no folders.
Site(folder) serves it on a free port from a thread of its own; its origin
is http://127.0.0.1:PORT and close() stops it. Asked to, it keeps what it
answered: (path, status) in answers, in order. FIRST_SCREEN_BYTES and
folder_bytes are the two sizes the browser tests and the benchmark hold the
site to."""

import functools
import http.server
import os
import threading

# What a first visit costs before the game's first screen, evaluated in the
# page: the transferSize (the body as sent, uncompressed here, and 300 bytes
# that Chromium counts for any response's headers) of the document and of
# every request begun before the page's mark of its first screen. The sounds come after the mark, and the service
# worker registers later still. A page that makes no mark (one from before
# the sounds) fetches nothing later: all it fetched counts.
FIRST_SCREEN_BYTES = """(function () {
  const mark = performance.getEntriesByName('dunmark: first screen')[0];
  return performance.getEntriesByType('navigation').concat(performance.getEntriesByType('resource')
    .filter(e => !mark || e.startTime < mark.startTime)).reduce((sum, e) => sum + e.transferSize, 0);
})()"""


def folder_bytes(folder):
    """The bytes of every file under folder: the whole site."""
    return sum(os.path.getsize(os.path.join(root, name)) for root, _, names in os.walk(folder) for name in names)


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                      '.wasm': 'application/wasm', '.js': 'text/javascript',
                      '.webmanifest': 'application/manifest+json'}

    def send_head(self):
        root = os.path.realpath(self.directory)
        path = os.path.realpath(self.translate_path(self.path))
        if path != root and not path.startswith(root + os.sep):
            self.send_error(404)
            return None
        return super().send_head()

    def list_directory(self, path):
        self.send_error(404)
        return None

    def log_message(self, *args):
        pass

    def log_request(self, code='-', size='-'):
        if self.server.answers is not None:
            self.server.answers.append((self.path, int(code)))


class Site:
    """A folder served on 127.0.0.1 (on a free port unless told) while the
    caller runs."""

    def __init__(self, folder, port=0, record=False):
        handler = functools.partial(Handler, directory=folder)
        self.server = http.server.ThreadingHTTPServer(('127.0.0.1', port), handler)
        self.server.answers = self.answers = [] if record else None
        threading.Thread(target=self.server.serve_forever, daemon=True).start()
        self.port = self.server.server_address[1]
        self.origin = 'http://127.0.0.1:%d' % self.port

    def close(self):
        self.server.shutdown()
        self.server.server_close()

