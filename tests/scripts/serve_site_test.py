"""The site's static server (scripts/serve_site.py) over a real socket: the
folder's files with their types, and nothing outside it, however the path
is encoded or a link points, and no folder listing; every answer kept."""

import http.client
import os
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'scripts'))
from serve_site import Site  # noqa: E402

FILES = {'index.html': b'<p>page</p>', 'engine.wasm': b'\0asm', 'page.js': b'go()', 'sub/a.txt': b'a',
         'sw.js': b'', 'app.webmanifest': b'{}'}
# path asked for, status, content type
CASES = [('/', 200, 'text/html'), ('/engine.wasm', 200, 'application/wasm'),
         ('/page.js', 200, 'text/javascript'), ('/sw.js', 200, 'text/javascript'),
         ('/app.webmanifest', 200, 'application/manifest+json'), ('/sub/', 404, None),
         ('/../secret.txt', 404, None), ('/..%2F..%2F..%2F..%2Fetc%2Fpasswd', 404, None),
         ('/%2E%2E%2fsecret.txt', 404, None), ('/sub/..%2F..%2Fsecret.txt', 404, None),
         ('/link.txt', 404, None), ('/linked/secret.txt', 404, None), ('/linked/', 404, None)]


def main():
    failures = []
    with tempfile.TemporaryDirectory() as scratch:
        site = os.path.join(scratch, 'site')
        for name, data in FILES.items():
            os.makedirs(os.path.dirname(os.path.join(site, name)), exist_ok=True)
            with open(os.path.join(site, name), 'wb') as f:
                f.write(data)
        with open(os.path.join(scratch, 'secret.txt'), 'w') as f:
            f.write('secret')
        os.symlink(os.path.join(scratch, 'secret.txt'), os.path.join(site, 'link.txt'))
        os.symlink(scratch, os.path.join(site, 'linked'))
        server = Site(site, record=True)
        for path, status, kind in CASES:
            connection = http.client.HTTPConnection('127.0.0.1', server.port)
            connection.request('GET', path)
            response = connection.getresponse()
            data = response.read()
            got = (response.status, response.getheader('Content-Type').split(';')[0])
            if got[0] != status or kind and got[1] != kind or b'secret' in data or b'root:' in data:
                failures.append('%s: %s %s %r' % (path, got[0], got[1], data[:60]))
            connection.close()
        server.close()
        if server.answers != [(path, status) for path, status, _ in CASES]:
            failures.append('the answers kept: %s' % server.answers)
    for failure in failures:
        print('serve_site: FAIL: ' + failure)
    print('serve_site: %d of %d requests as expected' % (len(CASES) - len(failures), len(CASES)))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
