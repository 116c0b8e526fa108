#!/usr/bin/env python3
"""The page on phones, a tablet and a large desktop window, in DevTools'
device emulation: the canvas element takes the size the fitting rule gives
(in portrait the screen's whole width; held sideways, the screen's whole
height); on a touch screen the how-to line speaks of taps and names no
Escape in either language; and the game is played by taps through the
title, the world card, the walk, the slime's encounter and its buttons, each
screen equal to the desktop's reference but for the button row (a touch has
no hovering pointer). The phone held upright turns sideways in the middle
of the fight, and the taps after the turn land as well."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import webtest  # noqa: E402
from webtest import Game, check  # noqa: E402

# The button row and the message's OK, in window pixels of the desktop walk.
BUTTONS = (84, 258, 472, 62)

# name, viewport (CSS pixels), device pixel ratio, touch, the canvas's CSS
# size the rule gives there (None: the rule, read from the stage), the
# viewport after a turn mid-game and the canvas's size there.
DEVICES = [
    ('phone upright', (390, 844), 3, True, [390, 292.5], (844, 390), [520, 390]),
    ('phone sideways', (844, 390), 3, True, [520, 390], None, None),
    ('tablet', (768, 1024), 2, True, [768, 576], None, None),
    ('desktop window', (1440, 960), 1, False, None, None, None),
]


def check_size(page, name, expected):
    box = page.canvas_box()
    fitted, _ = page.fitted_size()
    check(box[2:] == fitted, '%s: the canvas is %s, the rule gives %s' % (name, box[2:], fitted))
    if expected:
        check(box[2:] == expected, '%s: the canvas is %s, not %s' % (name, box[2:], expected))
    return box


def check_words(page, name, touch):
    for language in ('ru', 'en'):
        page.js("document.querySelector('[data-language=%s]').click()" % language)
        how_to = page.js("return document.getElementById('how-to').textContent")
        check(('Escape' in how_to) != touch,
              '%s (%s): the how-to line says %r' % (name, language, how_to))
    fullscreen = page.js("return [!document.getElementById('fullscreen').hidden,"
                         " document.fullscreenEnabled]")
    check(fullscreen[0] == fullscreen[1], '%s: the fullscreen button shown: %s' % (name, fullscreen))


def play_by_taps(page, name, expected, turn):
    twin = webtest.Twin(os.path.join(webtest.site_dir(), 'gfx'))
    try:
        game = Game(page, twin, touch=True)
        game.start()
        box = check_size(page, name, expected)
        print('%s: the canvas %gx%g before any turn' % (name, box[2], box[3]))
        game.step('title')
        game.click((320, 240))
        game.step('world_card')
        game.step('travel')
        game.step('slime', leave_out=BUTTONS)
        game.click(Game.button_left)
        game.step('slime_hit', leave_out=BUTTONS)
        if turn:
            (width, height), expected = turn
            page.emulate(width, height, page.js('return window.devicePixelRatio'), True)
            webtest.wait_for('the canvas refitted after the turn',
                             lambda: page.canvas_box()[2:] == expected)
            check_size(page, name + ' turned', expected)
        game.click(Game.button_left)
        game.step('slime_defeated', leave_out=BUTTONS)
        game.click(Game.ok_button)
        game.step('camp', leave_out=BUTTONS)
        check(not game.failures, '%s: %s' % (name, '; '.join(game.failures)))
    finally:
        twin.close()


def test():
    site = webtest.Site(webtest.site_dir())
    try:
        for name, (width, height), ratio, touch, expected, turned, turned_size in DEVICES:
            page = webtest.Page(site, device=(width, height, ratio, touch))
            try:
                if touch:
                    play_by_taps(page, name, expected, (turned, turned_size) if turned else None)
                else:
                    page.open()
                    page.frame()
                box = check_size(page, name, turned_size or expected)
                check_words(page, name, touch)
                print('%s %dx%d at %g: the canvas %gx%g' % (name, width, height, ratio, box[2], box[3]))
            finally:
                page.close()
    finally:
        site.close()


if __name__ == '__main__':
    webtest.run(test)
