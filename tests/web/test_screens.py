#!/usr/bin/env python3
"""The desktop's screen walk in the browser: the same route, the same seed
(the wall clock frozen at the same moment, before the page's own scripts
run), the same reference pictures (tests/e2e/screens/) and the same
rectangles left out (masks.txt). Every other pixel must be equal, except
pixels off by 1 where the game's native twin says this very frame blended
with partial alpha (the blend units round differently). At the camp the
WebGL context is lost (WEBGL_lose_context) for half a second of frames and
given back: the game ticks on unseen, then shows the camp again, and every
later step still equals its reference. Then Escape says goodbye, and no
request left the page's origin."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import webtest  # noqa: E402
from webtest import Game, check  # noqa: E402


LOST_FRAMES = 30
CONTEXT_EVENTS = """
const canvas = document.getElementById('canvas');
window.__contextEvents = [];
['webglcontextlost', 'webglcontextrestored'].forEach(function (type) {
  canvas.addEventListener(type, function (event) {
    window.__contextEvents.push(type + (event.defaultPrevented ? ' prevented' : ''));
  });
});
window.__loseContext = canvas.getContext('webgl').getExtension('WEBGL_lose_context');
"""


def context_event(page, event):
    """Waits for the event, which the page's handler may have prevented."""
    return webtest.wait_for(event, lambda: any(
        seen.startswith(event) for seen in page.js('return window.__contextEvents')))


def lose_and_restore_context(game):
    """The context lost for LOST_FRAMES frames, each of which still runs its
    tick (the twin's too) but calls no WebGL, and then given back."""
    page = game.page
    page.js(CONTEXT_EVENTS + 'window.__loseContext.loseContext();')
    context_event(page, 'webglcontextlost prevented')
    drew = 0
    for _ in range(LOST_FRAMES):
        drew += 1 if page.frame() else 0
        game.twin.tick()
    check(drew == 0, '%d frames called WebGL while the context was lost' % drew)
    page.js('window.__loseContext.restoreContext();')
    context_event(page, 'webglcontextrestored')
    check(page.frame(), 'the frame after the context came back drew nothing')
    game.twin.tick()
    check(page.has_line('The WebGL context is made again'), 'no line of the rebuilding')
    print('context lost (default prevented), %d frames ticked without a WebGL call, '
          'restored and made again: %s' % (LOST_FRAMES, page.js('return window.__contextEvents')))


def play_route(game):
    """tests/e2e/screens_lib.sh's play_route, step for step."""
    step = game.step
    step('title')
    game.click((320, 240))
    step('world_card')
    step('travel')

    game.move(Game.button_left)
    step('slime')
    game.click(Game.button_left)
    game.park()
    step('slime_hit')
    game.click(Game.button_left)
    game.park()
    step('slime_defeated')
    game.click(Game.ok_button)
    game.park()

    step('camp')
    lose_and_restore_context(game)
    step('camp')
    game.click(Game.button_middle)
    game.park()
    step('dice')
    game.click(Game.ok_button)
    game.click(Game.button_right)

    game.move(Game.button_left)
    step('forge')
    game.click(Game.button_left)
    step('forge_bought')
    game.click(Game.button_right)
    game.park()

    step('skeleton')
    game.click(Game.button_right)
    game.park()
    step('zombie')
    game.click(Game.button_right)

    game.move(Game.button_left)
    step('shop')
    game.click(Game.button_right)
    game.park()

    step('dragon')
    game.click(Game.button_middle)
    game.park()
    step('dragon_potion')
    for _ in range(6):
        game.click(Game.button_left)
    game.park()
    step('defeat')
    game.click(Game.ok_button)
    game.park()
    step('game_over')
    game.click((320, 240))
    game.park()
    step('title')


def test():
    site = webtest.Site(webtest.site_dir())
    page = webtest.Page(site)
    twin = webtest.Twin(os.path.join(webtest.site_dir(), 'gfx'))
    try:
        game = Game(page, twin)
        game.start()
        play_route(game)
        total = 0
        for failure in game.failures:
            print('FAILED: ' + failure)
        for name, frames, used, mask in game.allowance:
            print('%-19s matches after %3d frames; off by 1 at %6d pixels, all among the '
                  '%6d this frame blended with partial alpha' % (name, frames, used, mask))
            total += used
        print('the allowance was used at %d pixels over %d steps' % (total, len(game.allowance)))
        check(not game.failures, '; '.join(game.failures))
        page.escape()
        page.frame()
        webtest.wait_for('goodbye on the page', lambda: page.message() == 'goodbye')
        check(page.has_line('goodbye'), 'no goodbye on the console')
        check(not page.canvas_shown(), 'the canvas still shows after goodbye')
        foreign = page.foreign_requests()
        check(not foreign, 'requests left the origin: %s' % foreign)
    finally:
        twin.close()
        page.close()
        site.close()


if __name__ == '__main__':
    webtest.run(test)
