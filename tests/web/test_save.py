#!/usr/bin/env python3
"""The run kept in the page's storage, in headless Chromium on the driven
clock (webtest.py). One browser plays one run through the cases of CASES, in
order; the storage lasts across their reloads. The game's saved text
('dunmark.run') is read to know where the run stands:

- a reload in the middle of travel, in an encounter and after a purchase
  brings back the same screen and numbers, and play goes on;
- the language switch keeps the run, in the other language;
- Escape keeps the run: the page offers Continue and New game;
- a damaged save: a fresh game with a console line, the text kept under
  'dunmark.run.damaged', a newer damaged one replacing it;
- game over removes the save;
- storage that throws: the game plays without saving, with one console line.

    python3 tests/web/test_save.py [SITE_DIR]"""

import os
import sys

import webtest
from webtest import Failure, Page, Site, check, wait_for

RUN_KEY = 'dunmark.run'
DAMAGED_KEY = 'dunmark.run.damaged'
RECORD = ['timer', 'screen', 'animFrame', 'world', 'stage', 'exp', 'level', 'hp', 'gold',
          'potions', 'attack', 'defence', 'language']
TRAVEL, ARRIVE, IN_ENCOUNTER, DEPART, GAME_OVER = 2, 3, 4, 5, 6
SHOP = 1
# Canvas pixels (640x480): the three encounter buttons and the message's OK.
BUTTONS = [(160, 290), (320, 290), (480, 290)]
OK = (320, 280)
THROWING_STORAGE = """
for (const name of ['getItem', 'setItem', 'removeItem']) {
  Storage.prototype[name] = function () { throw new DOMException('refused', 'SecurityError'); };
}
"""


def fnv1a(text):
    value = 2166136261
    for byte in text.encode():
        value = ((value ^ byte) * 16777619) & 0xffffffff
    return value


def parse(text):
    """The saved text as a dict: the record's fields, the slots, the rest."""
    lines = [line.split(' ') for line in text.strip().split('\n')]
    run = {'text': text}
    for line in lines:
        if line[0] == 'record':
            run.update(zip(RECORD, map(int, line[1:])))
        elif line[0] == 'slot':
            run.setdefault('slots', []).append(list(map(int, line[1:])))
        else:
            run.setdefault(line[0], []).append(line[1:])
    return run


def unsigned(run, **changes):
    """The saved text's body with record fields changed, signed again."""
    body = run['text'][:run['text'].rindex('checksum ')]
    record = [str(changes.get(name, run[name])) for name in RECORD]
    lines = body.split('\n')
    lines[2] = 'record ' + ' '.join(record)
    body = '\n'.join(lines)
    return body + 'checksum %08x\n' % fnv1a(body)


class Player:
    def __init__(self, page):
        self.page = page

    def frames(self, count):
        for _ in range(count):
            self.page.frame()

    def start(self, path='/'):
        self.page.open(path)
        self.frames(10)

    def saved(self, key=RUN_KEY):
        return self.page.js('return localStorage.getItem(arguments[0])', key)

    def run(self):
        text = self.saved()
        check(text is not None, 'no run is saved')
        return parse(text)

    def click(self, point):
        left, top, width, height = self.page.canvas_box()
        x, y = left + point[0] * width / 640.0, top + point[1] * height / 480.0
        self.page.mouse('mouseMoved', x, y)
        self.frames(2)
        self.page.mouse('mousePressed', x, y)
        self.frames(2)
        self.page.mouse('mouseReleased', x, y)
        self.frames(2)

    def until(self, what, condition, frames=2000):
        for _ in range(frames):
            if self.saved() is not None and condition(self.run()):
                return self.run()
            self.page.frame()
        raise Failure('no %s within %d frames' % (what, frames))

    def reload(self):
        before = self.run()
        self.start()
        wait_for('the restored run', lambda: self.page.has_line('A saved run of version'))
        return before

    def same(self, before, what, moving=()):
        after = self.run()
        for name in RECORD + ['slots', 'messages', 'random']:
            if name in ('animFrame',) + tuple(moving):
                continue
            check(after.get(name) == before.get(name),
                  '%s: %s was %s, after the reload %s' % (what, name, before.get(name),
                                                         after.get(name)))
        return after

    def plant(self, text):
        """Ends the game (a running page saves its own run when hidden), puts
        the text where the run is kept and starts the page again."""
        self.page.escape()
        self.frames(3)
        wait_for('goodbye', lambda: self.page.message() == 'goodbye')
        self.page.js('localStorage.setItem(arguments[0], arguments[1])', RUN_KEY, text)
        self.start()

    def encounter_at(self, stage):
        return self.until('encounter at stage %d' % stage,
                          lambda r: r['screen'] == IN_ENCOUNTER and r['stage'] == stage)


def mid_travel(player):
    player.start()
    player.click((320, 240))
    run = player.until('travel', lambda r: r['screen'] == TRAVEL and r['timer'] < 60)
    before = player.reload()
    after = player.same(before, 'mid-travel', moving=('timer',))
    check(0 <= before['timer'] - after['timer'] <= 10,
          'mid-travel: the timer went from %d to %d' % (before['timer'], after['timer']))
    player.until('arrival after the reload', lambda r: r['screen'] == ARRIVE)
    return 'travel at timer %d came back at %d; arrived at stage %d' % (
        run['timer'], after['timer'], player.run()['stage'])


def mid_encounter(player):
    run = player.encounter_at(1)
    before = player.reload()
    player.frames(5)
    player.same(before, 'mid-encounter')
    player.click(BUTTONS[2])
    player.until('departure after the reload', lambda r: r['screen'] in (DEPART, TRAVEL))
    return 'encounter of type %d at stage 1 came back; fleeing goes on' % run['slots'][1][0]


def after_purchase(player):
    for stage in range(2, 7):
        run = player.encounter_at(stage)
        if run['slots'][stage][0] == SHOP:
            break
        player.click(BUTTONS[2])
    check(run['slots'][run['stage']][0] == SHOP, 'no shop on the way')
    player.click(BUTTONS[0])
    bought = player.run()
    check(bought['gold'] == run['gold'] - 20 and bought['potions'] == run['potions'] + 1,
          'the purchase: gold %d -> %d, potions %d -> %d' % (run['gold'], bought['gold'],
                                                            run['potions'], bought['potions']))
    before = player.reload()
    player.frames(5)
    player.same(before, 'after a purchase')
    player.click(BUTTONS[0])
    again = player.run()
    check(again['gold'] == bought['gold'] - 20, 'a second purchase after the reload')
    return 'shop at stage %d: gold %d, potions %d came back; a second potion bought' % (
        run['stage'], bought['gold'], bought['potions'])


def language_switch(player):
    before = player.run()
    player.page.driver.find_element('css selector', '#language [data-language="en"]').click()
    player.frames(5)
    after = player.same(before, 'the switch to English', moving=('language',))
    check(after['language'] == 1, 'the switch left the language at %d' % after['language'])
    player.start('/?lang=ru')
    wait_for('the restored run', lambda: player.page.has_line('A saved run of version'))
    player.frames(5)
    player.same(after, '?lang=ru over the saved English', moving=('language',))
    check(player.run()['language'] == 0, '?lang=ru did not win over the saved language')
    return 'screen %d, gold %d kept in English; ?lang=ru then won over the saved English' % (
        after['screen'], after['gold'])


def escape_keeps(player):
    before = player.run()
    player.page.escape()
    player.frames(3)
    wait_for('goodbye', lambda: player.page.message() == 'goodbye')
    buttons = player.page.js("return [document.getElementById('again').textContent,"
                             "!document.getElementById('new-game').hidden]")
    check(buttons == ['Продолжить', True], 'after Escape the page offers %s' % buttons)
    check(player.saved() == before['text'], 'Escape changed the saved run')
    # Continue reloads the page, as this does; the page then speaks the
    # remembered English again.
    player.start()
    player.frames(5)
    player.same(before, 'Continue', moving=('language',))
    return 'goodbye offered %s and New game; a reload brought the run back' % buttons[0]


def game_over(player):
    run = player.until('an encounter', lambda r: r['screen'] == IN_ENCOUNTER)
    slots = [list(slot) for slot in run['slots']]
    slot = slots[run['stage']]
    slot[0], slot[1], slot[2] = 13, 1000000, 1000
    text = unsigned(run, hp=1)
    lines = text.split('\n')
    lines[3 + run['stage']] = 'slot ' + ' '.join(map(str, slot))
    body = '\n'.join(lines[:-2]) + '\n'
    player.plant(body + 'checksum %08x\n' % fnv1a(body))
    wait_for('the doomed run', lambda: player.page.has_line('A saved run of version'))
    player.click(BUTTONS[0])
    check(player.run()['hp'] == 0, 'the knight survived the dragon')
    player.click(OK)
    player.frames(5)
    check(player.saved() is None, 'game over left the run saved: %r' % player.saved())
    return 'a blow at 1 health, the defeat dismissed: game over, and the save is gone'


def damaged(player):
    seen = []
    for text in ('{"hp": 100}', 'dunmark-save 1\ngame 1.0.0\nrecord 1 2'):
        player.plant(text)
        line = wait_for('the damaged line', lambda: [
            line for line in player.page.lines() if 'damaged' in line])
        check(player.saved(DAMAGED_KEY) == text, 'the damaged text was not kept: %r'
              % player.saved(DAMAGED_KEY))
        check(player.saved() is None, 'the damaged save is still under %s' % RUN_KEY)
        seen.append(line[0])
    player.click((320, 240))
    player.until('a new run saved', lambda r: r['screen'] == TRAVEL and r['world'] == 1)
    return 'console: %s; the newer damaged text replaced the kept one; a new run is saved' % (
        ' / '.join(seen))


CASES = [
    ('a reload in the middle of travel', mid_travel),
    ('a reload in the middle of an encounter', mid_encounter),
    ('a reload after a purchase', after_purchase),
    ('the language switch keeps the run', language_switch),
    ('Escape keeps the run', escape_keeps),
    ('game over removes the save', game_over),
    ('a damaged save', damaged),
]


def throwing_storage(site):
    page = Page(site, before=THROWING_STORAGE)
    try:
        player = Player(page)
        player.start()
        player.click((320, 240))
        player.frames(400)
        lines = [line for line in page.lines() if 'Storage is unavailable' in line]
        check(len(lines) == 1, 'storage that throws gave %d lines: %s' % (len(lines), lines))
        page.escape()
        player.frames(3)
        wait_for('goodbye', lambda: page.message() == 'goodbye')
        again = page.js("return document.getElementById('again').textContent")
        check(again == 'Играть снова', 'without storage the page offers %r' % again)
        return 'one line, %r; the game played on and offered %r' % (lines[0], again)
    finally:
        page.close()


def main():
    site = Site(sys.argv[1] if len(sys.argv) > 1 else webtest.site_dir())
    page = Page(site)
    try:
        player = Player(page)
        for name, case in CASES:
            print('save: %s: %s' % (name, case(player)))
            sys.stdout.flush()
        print('save: the saved text is %d bytes' % len(player.saved()))
        print('save: localStorage that throws: %s' % throwing_storage(site))
    finally:
        page.close()
        site.close()


if __name__ == '__main__':
    webtest.run(main)
