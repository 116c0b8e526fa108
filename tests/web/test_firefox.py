#!/usr/bin/env python3
"""The second engine: Debian's Firefox ESR runs tests/web/firefox/
smoke_firefox.mjs (puppeteer-core over WebDriver BiDi, installed by
scripts/test_web.sh into the build's web-firefox/ from the lock file) on a
private X display, on the site this test serves (scripts/serve_site.py):
the title and the world card equal the desktop's references, no request
leaves the origin; then, once the service worker keeps the site, the server
stops: a reload brings the kept run back to the world card, Escape offers
Continue, and New game plays from the title to the world card again."""

import os
import shutil
import signal
import subprocess
import sys
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import webtest  # noqa: E402
from webtest import check  # noqa: E402


def test():
    folder = os.path.join(webtest.native_build_dir(), 'web-firefox')
    check(os.path.isdir(os.path.join(folder, 'node_modules', 'puppeteer-core')),
          'no puppeteer-core in %s: run scripts/test_web.sh' % folder)
    check(os.access('/usr/bin/firefox-esr', os.X_OK), 'no firefox-esr: run scripts/test_web.sh')
    # Node resolves the module beside the script, so the script runs from there.
    shutil.copy(os.path.join(webtest.HERE, 'firefox', 'smoke_firefox.mjs'), folder)
    site = webtest.Site(webtest.site_dir())
    run = subprocess.Popen(['bash', os.path.join(webtest.SOURCE, 'scripts', 'with_xvfb.sh'),
                            'node', 'smoke_firefox.mjs', site.origin, webtest.SOURCE],
                           cwd=folder, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                           stderr=subprocess.STDOUT, text=True, start_new_session=True)
    # The whole group: Node, Firefox and the X server hold the output open.
    watchdog = threading.Timer(10 * webtest.PATIENCE, os.killpg, (run.pid, signal.SIGKILL))
    watchdog.start()
    output = []
    try:
        for line in run.stdout:
            output.append(line.rstrip('\n'))
            if output[-1] == 'smoke_firefox: kept':
                site.close()  # the reload that follows has no server
                run.stdin.write('stopped\n')
                run.stdin.close()
        run.wait()
    finally:
        watchdog.cancel()
        site.close()
    lines = [line for line in output if line.startswith(('firefox:', 'smoke_firefox:'))]
    print('\n'.join(lines))
    check(run.returncode == 0 and 'smoke_firefox: PASS' in lines,
          'Firefox failed:\n' + '\n'.join(output)[-2000:])


if __name__ == '__main__':
    webtest.run(test)
