#!/usr/bin/env python3
"""The run kept in the page's storage, in headless Chromium on the driven
clock. One browser plays one run through CASES in order; the storage lasts
across their reloads, and the saved text says where the run stands. Then
a page whose localStorage throws plays without saving.

    python3 tests/web/test_save.py [SITE_DIR]"""

import sys

import webtest
from webtest import (ARRIVE, DAMAGED_KEY, DEPART, IN_ENCOUNTER, RECORD, RUN_KEY, TRAVEL, Page,
                     Player, Site, check, wait_for)

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


def signed(run, slot, **changes):
    """The saved text with record fields and one slot changed, signed again."""
    lines = run['text'][:run['text'].rindex('checksum ')].split('\n')
    lines[2] = 'record ' + ' '.join(str(changes.get(name, run[name])) for name in RECORD)
    lines[3 + run['stage']] = 'slot ' + ' '.join(map(str, slot))
    body = '\n'.join(lines)
    return body + 'checksum %08x\n' % fnv1a(body)


def plant(player, text):
    """Ends the game (a running page saves its own run when hidden), puts
    the text where the run is kept and starts the page again."""
    player.quit()
    player.page.js('localStorage.setItem(arguments[0], arguments[1])', RUN_KEY, text)
    player.start()


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
    check(player.run()['gold'] == bought['gold'] - 20, 'a second purchase after the reload')
    return 'shop at stage %d: gold %d, potions %d came back; a second potion bought' % (
        run['stage'], bought['gold'], bought['potions'])


def language_switch(player):
    before = player.run()
    player.page.driver.find_element('css selector', '#language [data-language="en"]').click()
    player.frames(5)
    after = player.same(before, 'the switch to English', moving=('language',))
    check(after['language'] == 1, 'the switch left the language at %d' % after['language'])
    player.reload('/?lang=ru')
    player.frames(5)
    player.same(after, '?lang=ru over the saved English', moving=('language',))
    check(player.run()['language'] == 0, '?lang=ru did not win over the saved language')
    return 'screen %d, gold %d kept in English; ?lang=ru then won over the saved English' % (
        after['screen'], after['gold'])


def escape_keeps(player):
    before = player.run()
    player.quit()
    buttons = player.page.js("return [document.getElementById('again').textContent,"
                             "!document.getElementById('new-game').hidden]")
    check(buttons == ['Продолжить', True], 'after Escape the page offers %s' % buttons)
    check(player.saved() == before['text'], 'Escape changed the saved run')
    # Continue reloads the page, as this does, back in the remembered English.
    player.start()
    player.frames(5)
    player.same(before, 'Continue', moving=('language',))
    return 'goodbye offered %s and New game; a reload brought the run back' % buttons[0]


def game_over(player):
    run = player.until('an encounter', lambda r: r['screen'] == IN_ENCOUNTER)
    dragon = [13, 1000000, 1000] + run['slots'][run['stage']][3:]
    plant(player, signed(run, dragon, hp=1))
    player.restored()
    player.click(BUTTONS[0])
    check(player.run()['hp'] == 0, 'the knight survived the dragon')
    player.click(OK)
    player.frames(5)
    check(player.saved() is None, 'game over left the run saved: %r' % player.saved())
    return 'a blow at 1 health, the defeat dismissed: game over, and the save is gone'


def damaged(player):
    seen = []
    for text in ('{"hp": 100}', 'dunmark-save 1\ngame 1.0.0\nrecord 1 2'):
        plant(player, text)
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
        player.quit()
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
