#!/usr/bin/env python3
"""The page's drawing context and visibility, on the driven clock:
- a WebGL context lost and not given back: the game ticks on unseen for
  5 s, then the page says so in its language, with a button that reloads
  the page, and the reloaded page plays again;
- the page hidden suspends the game's audio context, and shown again
  resumes it."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import webtest  # noqa: E402
from webtest import check  # noqa: E402

# The page's audio contexts, kept for the test, which lets them run with no
# gesture.
AUDIO = """
window.__audioContexts = [];
const NativeAudio = window.AudioContext;
window.AudioContext = class extends NativeAudio {
  constructor(options) {
    super(options);
    window.__audioContexts.push(this);
  }
};
"""
VISIBILITY = """
const hidden = arguments[0];
Object.defineProperty(document, 'hidden', { value: hidden, configurable: true });
Object.defineProperty(document, 'visibilityState',
                      { value: hidden ? 'hidden' : 'visible', configurable: true });
document.dispatchEvent(new Event('visibilitychange'));
"""
QUARTER_SECOND = 250.0


def start(page):
    page.open()
    page.frame()
    page.frame()
    check(page.has_line('Sound Engine is created!'), 'start-up did not finish')


def title_shown(page):
    return page.js("const m = document.getElementById('message'); return m.hidden ? null : "
                   "document.getElementById('message-title').textContent;")


def context_given_up(site):
    page = webtest.Page(site)
    try:
        start(page)
        page.js("document.getElementById('canvas').getContext('webgl')"
                ".getExtension('WEBGL_lose_context').loseContext();")
        webtest.wait_for('the context lost', lambda: page.js(
            "return document.getElementById('canvas').getContext('webgl').isContextLost()"))
        for _ in range(20):
            check(not page.frame(QUARTER_SECOND), 'a frame called WebGL on a lost context')
        check(title_shown(page) is None, 'the page gave up within 5 s')
        page.frame(QUARTER_SECOND)
        said = title_shown(page)
        print('context lost for 5.25 s: the page says "%s"' % said)
        check(said and 'WebGL' in said, 'no word of the lost context: %r' % said)
        check(page.js("return !document.getElementById('again').hidden"), 'no button')
        check(page.has_line('The WebGL context did not come back'), 'no log line')
        page.js("document.getElementById('again').click();")
        webtest.wait_for('the reloaded page to start its frames', lambda: page.js(
            "return window.__dunmarkTest && __dunmarkTest.waiting()"))
        start(page)
        check(page.canvas_shown(), 'the reloaded page shows no canvas')
    finally:
        page.close()


def hidden_page_is_silent(site):
    page = webtest.Page(site, before=AUDIO, flags=('--autoplay-policy=no-user-gesture-required',))
    try:
        start(page)
        states = []
        for hidden, expected in ((None, 'running'), (True, 'suspended'), (False, 'running')):
            if hidden is not None:
                page.js(VISIBILITY, hidden)
            webtest.wait_for('audio ' + expected, lambda: page.js(
                'return __audioContexts.length > 0 && '
                '__audioContexts.every(c => c.state === arguments[0])', expected))
            page.frame()
            states.append(expected)
        print('shown, hidden, shown again: the audio context was %s' % ', then '.join(states))
    finally:
        page.close()


def test():
    site = webtest.Site(webtest.site_dir())
    try:
        context_given_up(site)
        hidden_page_is_silent(site)
    finally:
        site.close()


if __name__ == '__main__':
    webtest.run(test)
