#!/usr/bin/env python3
"""A whole encounter played by clicks on the canvas, through WebDriver's
pointer actions (the browser's own input), with the canvas shown at a
fractional size and at 2 screen pixels per canvas pixel: from the title through the world card
and the walk to the slime, two blows, its defeat, the message's OK and the
next encounter. Each screen must reach the desktop's reference, as in the
screen walk, so every click landed where the desktop's did. Then the input
engine replaced mid-game: the new one takes the clicks, and Escape, which
the shell listens for itself, still ends the game."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import webtest  # noqa: E402
from webtest import Game, check  # noqa: E402


def play_encounter(site, width, height, whole):
    page = webtest.Page(site, width, height)
    twin = webtest.Twin(os.path.join(webtest.site_dir(), 'gfx'))
    try:
        game = Game(page, twin, actions=True)
        game.start()
        box = page.canvas_box()
        fitted, fitted_whole = page.fitted_size()
        # a layout unit is 1/64 of a CSS pixel
        same = all(abs(shown - size) < 1 / 32 for shown, size in zip(box[2:], fitted))
        check(same and fitted_whole == whole,
              'a %dx%d window shows the canvas at %sx%s, not at %s (whole device pixels: %s)'
              % (width, height, box[2], box[3], fitted, whole))
        game.step('title')
        game.click((320, 240))
        game.step('world_card')
        game.step('travel')
        game.move(Game.button_left)
        game.step('slime')
        game.click(Game.button_left)
        game.park()
        game.step('slime_hit')
        game.click(Game.button_left)
        game.park()
        game.step('slime_defeated')
        game.click(Game.ok_button)
        game.park()
        game.step('camp')
        check(not game.failures, '; '.join(game.failures))
        print('window %dx%d, canvas at %gx%g: the slime fought and beaten by clicks'
              % (width, height, box[2], box[3]))
    finally:
        twin.close()
        page.close()


def replace_input_then_escape(site):
    page = webtest.Page(site)
    twin = webtest.Twin(os.path.join(webtest.site_dir(), 'gfx'))
    try:
        game = Game(page, twin, actions=True)
        game.start()
        game.step('title')
        page.js('Module._dunmark_test_replace_input()')
        game.click((320, 240))
        game.step('world_card')
        check(not game.failures, 'after the input engine was replaced: ' + '; '.join(game.failures))
        page.escape()
        page.frame()
        webtest.wait_for('goodbye on the page after Escape', lambda: page.message() == 'goodbye')
        check(page.has_line('goodbye'), 'no goodbye on the console')
        print('the input engine replaced: a click started the game, Escape ended it')
    finally:
        twin.close()
        page.close()


def test():
    site = webtest.Site(webtest.site_dir())
    try:
        # window, and whether the canvas keeps whole device pixels in it;
        # each far enough from the rule's 85% for a header or footer of one
        # line more or less
        for width, height, whole in ((1100, 900, False), (1600, 1300, True)):
            play_encounter(site, width, height, whole)
        replace_input_then_escape(site)
    finally:
        site.close()


if __name__ == '__main__':
    webtest.run(test)
