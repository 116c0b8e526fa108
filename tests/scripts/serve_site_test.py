"""The static server of the browser's site (scripts/serve_site.py), asked
over a real socket: the files of the folder with their types, and nothing
outside it: no path that climbs out however it is encoded, no link that
points out, no folder listing."""

import http.client
import os
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'scripts'))
from serve_site import Site  # noqa: E402

SECRET = b'secret outside the site'

# path asked for, status, content type expected (None: any), body expected
CASES = [
    ('/', 200, 'text/html', b'<p>page</p>'),
    ('/engine.wasm', 200, 'application/wasm', b'\0asm'),
    ('/page.js', 200, 'text/javascript', b'go()'),
    ('/sub/deep.txt', 200, 'text/plain', b'deep'),
    ('/sub/', 404, None, None),
    ('/sub', 301, None, None),
    ('/../secret.txt', 404, None, None),
    ('/..%2Fsecret.txt', 404, None, None),
    ('/..%2F..%2F..%2F..%2Fetc%2Fpasswd', 404, None, None),
    ('/%2e%2e/secret.txt', 404, None, None),
    ('/%2E%2E%2Fsecret.txt', 404, None, None),
    ('/sub/..%2F..%2Fsecret.txt', 404, None, None),
    ('/sub/%2e%2e%2f%2e%2e%2fsecret.txt', 404, None, None),
    ('//etc/passwd', 404, None, None),
    ('/link.txt', 404, None, None),
    ('/linked/', 404, None, None),
]


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, 'wb') as f:
        f.write(data)


def main():
    failures = []
    with tempfile.TemporaryDirectory() as scratch:
        site = os.path.join(scratch, 'site')
        for name, data in (('index.html', b'<p>page</p>'), ('engine.wasm', b'\0asm'),
                           ('page.js', b'go()'), ('sub/deep.txt', b'deep')):
            write(os.path.join(site, name), data)
        write(os.path.join(scratch, 'secret.txt'), SECRET)
        os.symlink(os.path.join(scratch, 'secret.txt'), os.path.join(site, 'link.txt'))
        os.symlink(scratch, os.path.join(site, 'linked'))
        server = Site(site)
        try:
            for path, status, kind, body in CASES:
                connection = http.client.HTTPConnection('127.0.0.1', server.port)
                connection.request('GET', path)
                response = connection.getresponse()
                data = response.read()
                connection.close()
                got = (response.status, response.getheader('Content-Type', '').split(';')[0])
                if (got[0] != status or (kind and got[1] != kind) or (body and data != body)
                        or SECRET in data or b'root:' in data or b'secret.txt' in data):
                    failures.append('%s: %s %s, %r' % (path, got[0], got[1], data[:60]))
        finally:
            server.close()
    for failure in failures:
        print('serve_site: FAIL: ' + failure)
    print('serve_site: %d of %d requests as expected' % (len(CASES) - len(failures), len(CASES)))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
