#!/usr/bin/env python3
"""The game's pace in the browser, with no real time in it: the page's clock
and animation frames are the test's (clock.js), so the frames come at exact
simulated rates whatever the machine's load.
- At 30, 60 and 144 frames per simulated second and unlimited (a frame every
  simulated millisecond), the world card, which lasts 100 ticks, lasts
  100/60 s of simulated time, to within one frame: 60 ticks a second.
- Frames are drawn only when a tick ran: over two simulated seconds of the
  title, 120 ticks, the frames that called WebGL number min(frames, 120).
- A stall of 5 s in one frame restarts the clock: the card ends after
  exactly as many frames as without the stall (a burst of catch-up ticks
  would end it sooner)."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import webtest  # noqa: E402
from webtest import check  # noqa: E402

KNIGHT = (280, 200, 48, 64)  # the card's animated knight (screens/masks.txt)
CARD_TICKS = 100


def signature(page):
    return page.js('return __dunmarkTest.signature(arguments[0], arguments[1], arguments[2], '
                   'arguments[3])', *KNIGHT)


def run_until_changed(page, period, stall_at=None, limit=4000):
    """Frames until the picture outside the knight changes; the frames run
    and the simulated milliseconds they took."""
    start = signature(page)
    begun = page.js('return __dunmarkTest.now()')
    for count in range(1, limit):
        drew = page.frame(5000.0 if count == stall_at else period)
        if drew and signature(page) != start:
            return count, page.js('return __dunmarkTest.now()') - begun
    raise webtest.Failure('the picture never changed')


def measure(site, period, stall_at=None):
    page = webtest.Page(site)
    try:
        page.open()
        page.frame(period)
        page.frame(period)
        before = page.js('return __dunmarkTest.counts()')
        frames = int(round(2000.0 / period))
        for _ in range(frames):
            page.frame(period)
        after = page.js('return __dunmarkTest.counts()')
        drawn = after['drawnFrames'] - before['drawnFrames']
        left, top, width, height = page.canvas_box()
        for kind in ('mouseMoved', 'mousePressed', 'mouseReleased'):
            page.mouse(kind, left + width / 2, top + height / 2)
        run_until_changed(page, period)              # the title gives way to the card
        return frames, drawn, run_until_changed(page, period, stall_at)  # the card to the walk
    finally:
        page.close()


def test():
    site = webtest.Site(webtest.site_dir())
    try:
        expected_ms = CARD_TICKS * 1000.0 / 60.0
        reference_frames = None
        for name, period in (('60', 1000.0 / 60), ('30', 1000.0 / 30), ('144', 1000.0 / 144),
                             ('unlimited', 1.0)):
            frames, drawn, (card_frames, card_ms) = measure(site, period)
            rate = CARD_TICKS * 1000.0 / card_ms
            print('%-9s frames/s: the 100-tick card lasted %.1f ms (%d frames): %.2f ticks/s; '
                  '%d of %d frames drawn in 2 s' % (name, card_ms, card_frames, rate, drawn,
                                                     frames))
            check(abs(card_ms - expected_ms) <= period + 0.01,
                  'at %s frames/s the card lasted %.1f ms, not %.1f' % (name, card_ms, expected_ms))
            check(abs(drawn - min(frames, 120)) <= 1,
                  'at %s frames/s %d of %d frames drew in 2 s, not %d'
                  % (name, drawn, frames, min(frames, 120)))
            if name == '60':
                reference_frames = card_frames
        _, _, (stalled_frames, _) = measure(site, 1000.0 / 60, stall_at=30)
        print('a 5 s stall in the card\'s 30th frame: the card ended after %d frames '
              '(%d without the stall)' % (stalled_frames, reference_frames))
        check(stalled_frames == reference_frames,
              'after a stall the card ended after %d frames, not %d: the clock did not restart '
              'cleanly' % (stalled_frames, reference_frames))
    finally:
        site.close()


if __name__ == '__main__':
    webtest.run(test)
