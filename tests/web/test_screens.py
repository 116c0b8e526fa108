#!/usr/bin/env python3
"""The desktop's screen walk in the browser: the same route, the same seed
(the wall clock frozen at the same moment, before the page's own scripts
run), the same reference pictures (tests/e2e/screens/) and the same
rectangles left out (masks.txt). Every other pixel must be equal, except
pixels off by 1 where the game's native twin says this very frame blended
with partial alpha (the blend units round differently). No frame of the walk
makes more than MOST_DRAWS WebGL draw calls. The WebGL context is lost and
given back at the camp, and every step after still matches. Then Escape says
goodbye, and no request left the page's origin."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import webtest  # noqa: E402
from webtest import Game, check  # noqa: E402

# The renderer draws the quads between two changes of texture or target in
# one call: a frame takes a few dozen at most, where one call a triangle
# would take hundreds.
MOST_DRAWS = 40


LOSE = """const canvas = document.getElementById('canvas');
window.__events = [];
['webglcontextlost', 'webglcontextrestored'].forEach(type => canvas.addEventListener(type,
    event => window.__events.push(type + (event.defaultPrevented ? ' prevented' : ''))));
window.__lose = canvas.getContext('webgl').getExtension('WEBGL_lose_context');
window.__lose.loseContext();"""


def lose_and_restore_context(game):
    """Lost for 30 frames, each ticking (the twin too) with no WebGL call; given back."""
    page = game.page
    page.js(LOSE)
    webtest.wait_for('the lost event prevented', lambda: page.js('return window.__events[0]'))
    check(page.js('return window.__events')[0] == 'webglcontextlost prevented', 'not prevented')
    drew = [page.frame() or game.twin.tick() for _ in range(30)]
    check(not any(drew), 'a frame called WebGL while the context was lost')
    page.js('window.__lose.restoreContext();')
    webtest.wait_for('the context back', lambda: len(page.js('return window.__events')) == 2)
    check(page.frame() and page.has_line('The WebGL context is made again'), 'not made again')
    game.twin.tick()
    print('context: %s; 30 frames without WebGL; made again' % page.js('return window.__events'))


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
        print('WebGL draw calls of the frame each step matched: ' +
              ', '.join('%s %d' % (name[3:], draws) for name, draws in game.draw_calls))
        most = page.js('return __dunmarkTest.counts().mostFrameDraws')
        print('the most draw calls of one frame: %d' % most)
        check(not game.failures, '; '.join(game.failures))
        check(0 < most <= MOST_DRAWS,
              'a frame made %d draw calls, more than %d' % (most, MOST_DRAWS))
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
