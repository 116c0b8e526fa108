#!/usr/bin/env python3
"""A damaged picture in the served site's gfx/: the page shows the loader's
error line in place of the canvas, and nothing goes on: no sound engine, no
game, no frame drawn after the line. Once for a PNG (the creatures) and once
for a BMP (the font, which the "Loading..." frame needs)."""

import os
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import webtest  # noqa: E402
from webtest import check  # noqa: E402


def damaged_site(name):
    folder = tempfile.mkdtemp(prefix='dunmark-web-site-')
    site = os.path.join(folder, 'site')
    shutil.copytree(webtest.site_dir(), site)
    path = os.path.join(site, 'gfx', name)
    with open(path, 'rb') as picture:
        head = picture.read(40)
    with open(path, 'wb') as picture:  # the header, then nothing
        picture.write(head)
    return folder, site


def expect_error_line(name):
    folder, copy = damaged_site(name)
    site = webtest.Site(copy)
    page = webtest.Page(site)
    try:
        page.open()
        for _ in range(3):
            page.frame()
        message = webtest.wait_for('the error line on the page', page.message)
        check('.error: ' in message and name in message,
              '%s: the page says %r, not the loader\'s error line' % (name, message))
        check(not page.canvas_shown(), '%s: the canvas still shows' % name)
        check(any(message in line for line in page.lines()),
              '%s: the error line is not on the console' % name)
        drawn = page.js('return __dunmarkTest.counts().drawCalls')
        for _ in range(120):
            page.frame()
        check(page.js('return __dunmarkTest.counts().drawCalls') == drawn,
              '%s: frames were drawn after the error line' % name)
        check(not page.has_line('Sound Engine is created!'),
              '%s: the game went on to the sound engine' % name)
        check(page.message() == message, '%s: the page changed its line' % name)
        print('%s damaged: %s' % (name, message))
    finally:
        page.close()
        site.close()
        shutil.rmtree(folder, ignore_errors=True)


def test():
    expect_error_line('char.png')
    expect_error_line('font.bmp')


if __name__ == '__main__':
    webtest.run(test)
