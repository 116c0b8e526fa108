#!/usr/bin/env python3
"""A damaged picture in the served site's gfx/: the page shows the loader's
error line in place of the canvas, the line the desktop's loader gives for
the same file (read by the game's native twin, web_mask_frames), with the
browser's PNG decoder named where the desktop names LodePNG; and nothing goes
on: no sound engine, no game, no frame drawn after the line. Once for a PNG
(the creatures) and once for a BMP (the font, which the "Loading..." frame
needs). Before that: a browser without WebGL or without WebAssembly is told
so, with no offer to play again; a module that cannot be fetched and a
picture missing from the site are named with their network error or HTTP
status."""

import os
import shutil
import subprocess
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


def desktop_line(folder):
    """The error line of the desktop's loader on the same art, read from
    ../gfx/ as the game reads it."""
    os.symlink(os.path.join('site', 'gfx'), os.path.join(folder, 'gfx'))
    os.mkdir(os.path.join(folder, 'bin'))
    tool = os.path.join(webtest.native_build_dir(), 'tests', 'web_mask_frames')
    run = subprocess.run([tool, '../gfx', '1'], cwd=os.path.join(folder, 'bin'),
                         stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, text=True)
    lines = [line for line in run.stdout.splitlines() if '.error: ' in line]
    check(run.returncode == 1 and len(lines) == 1,
          'the desktop loader did not stop on one error line: %s' % run.stdout[-300:])
    return lines[0].replace('LodePNG decoder', 'stb_image decoder')


def expect_error_line(name):
    folder, copy = damaged_site(name)
    expected = desktop_line(folder)
    site = webtest.Site(copy)
    page = webtest.Page(site)
    try:
        page.open()
        for _ in range(3):
            page.frame()
        message = webtest.wait_for('the error line on the page', page.message)
        check(message == expected,
              '%s: the page says %r, the desktop %r' % (name, message, expected))
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


def copy_without(path):
    folder = tempfile.mkdtemp(prefix='dunmark-web-site-')
    site = os.path.join(folder, 'site')
    shutil.copytree(webtest.site_dir(), site)
    os.remove(os.path.join(site, path))
    return folder, site


def page_says(site, name, flags=(), blocked=(), frames=3, first=''):
    """The page's message: its title, its line and the files that did not
    load, and whether it offers to play again. `first` runs before the
    page's own scripts."""
    page = webtest.Page(site, flags=flags, driven=False)
    try:
        if first:
            page.driver.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': first})
        if blocked:
            page.driver.execute_cdp_cmd('Network.enable', {})
            page.driver.execute_cdp_cmd('Network.setBlockedURLs', {'urls': list(blocked)})
        page.driver.get(site.origin + '/?lang=en')
        said = webtest.wait_for(name + ': a message on the page', lambda: page.js(
            "const m = document.getElementById('message');"
            "const f = document.getElementById('message-files');"
            "return m.hidden ? null : [document.getElementById('message-title').textContent,"
            " document.getElementById('message-text').textContent, f.hidden ? '' : f.textContent,"
            " !document.getElementById('again').hidden]"))
        if said[0] != 'The game stopped:' and frames:
            return said
        return webtest.wait_for(name + ': the game\'s error line', lambda: page.js(
            "return document.getElementById('message-title').textContent === 'The game stopped:' ?"
            " [document.getElementById('message-title').textContent,"
            " document.getElementById('message-text').textContent,"
            " document.getElementById('message-files').textContent,"
            " !document.getElementById('again').hidden] : null"))
    finally:
        page.close()


def expect_missing():
    site = webtest.Site(webtest.site_dir())
    try:
        # flags, blocked addresses, a script before the page's, what the
        # title says, the files line
        cases = [
            (('--disable-webgl',), (), '', 'WebGL missing or turned off', ''),
            ((), (), 'delete window.WebAssembly;', 'WebAssembly missing or turned off', ''),
            ((), ('*.wasm',), '', 'Could not load:', 'network error'),
        ]
        for flags, blocked, first, title, files in cases:
            said = page_says(site, title, flags, blocked, first=first)
            check(title in said[0] and files in said[2] and said[3] == (files != ''),
                  '%s: the page says %s' % (title, said))
            print('%s: %s' % (flags or blocked or first, said))
    finally:
        site.close()
    folder, copy = copy_without(os.path.join('gfx', 'title.png'))
    site = webtest.Site(copy)
    try:
        said = page_says(site, 'a missing picture')
        check(said[2] == 'gfx/title.png: HTTP 404' and '.error: ' in said[1],
              'a missing picture: the page says %s' % said)
        print('a missing picture: %s' % said)
    finally:
        site.close()
        shutil.rmtree(folder, ignore_errors=True)


def test():
    expect_missing()
    expect_error_line('char.png')
    expect_error_line('font.bmp')


if __name__ == '__main__':
    webtest.run(test)
