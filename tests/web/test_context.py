#!/usr/bin/env python3
"""A hidden page suspends the audio context, shown again resumes it; a WebGL
context not given back in 5 s: the page says so, with its reload button."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import webtest  # noqa: E402
from webtest import check  # noqa: E402

# The page's audio contexts, kept (the test lets them run with no gesture).
AUDIO = """window.__audio = []; const Native = window.AudioContext; window.AudioContext =
  class extends Native { constructor(o) { super(o); window.__audio.push(this); } };"""
VISIBILITY = """for (const [name, value] of [['hidden', arguments[0]], ['visibilityState', arguments[1]]])
  Object.defineProperty(document, name, {value: value, configurable: true});
document.dispatchEvent(new Event('visibilitychange'));"""
TITLE = ("const m = document.getElementById('message'); "
         "return m.hidden ? null : document.getElementById('message-title').textContent;")


def test():
    site = webtest.Site(webtest.site_dir())
    page = webtest.Page(site, before=AUDIO, flags=('--autoplay-policy=no-user-gesture-required',))
    try:
        page.open()
        page.frame()
        page.frame()
        for hidden, state in ((None, 'running'), (True, 'suspended'), (False, 'running')):
            if hidden is not None:
                page.js(VISIBILITY, hidden, 'hidden' if hidden else 'visible')
            webtest.wait_for('audio ' + state, lambda: page.js(
                'return __audio.length > 0 && __audio.every(c => c.state === arguments[0])', state))
            page.frame()
        print('shown, hidden, shown again: the audio context ran, was suspended, ran')
        page.js("document.getElementById('canvas').getContext('webgl')"
                ".getExtension('WEBGL_lose_context').loseContext();")
        webtest.wait_for('the context lost', lambda: page.has_line('The WebGL context is lost'))
        drew = [page.frame(250.0) for _ in range(20)]
        check(not any(drew) and page.js(TITLE) is None, 'a lost context drew or was given up')
        page.frame(250.0)
        said = page.js(TITLE)
        print('lost for 5.25 s: the page says "%s"' % said)
        check(said and 'WebGL' in said, 'no word of the lost context: %r' % said)
        check(page.js("return !document.getElementById('again').hidden"), 'no reload button')
    finally:
        page.close()
        site.close()


if __name__ == '__main__':
    webtest.run(test)
