#!/usr/bin/env python3
"""The page's language switch in Debian's headless Chromium, on a browser
whose own language is English (so that it cannot be what chooses):

- with no choice made, the title is the Russian one and so are the page's words;
- ?lang=en shows the English title, without remembering it;
- the switch, pressed away from the title, keeps the run, now in the other
  language (the run the page keeps says so), and a reload keeps that choice;
- ?lang=ru wins over the remembered choice without replacing it, an unknown
  ?lang leaves the remembered one, and a choice on the page drops ?lang from
  the address;
- after Escape, the page's goodbye follows the switch too.

The title is told by its texts: the canvas must equal the desktop's reference
picture of that language (tests/e2e/screens/title.png, en/title.png) outside
the animated creatures and the blinking prompt, within 1 in a channel (the
blend units' rounding: the screen walk holds the browser to the exact
allowance, only where partial alpha was blended), and differ from the other
language's picture there.

    python3 tests/web/test_language.py [SITE_DIR]

Exit code 0 when every step passed, 1 otherwise, with the step that failed."""

import base64
import os
import struct
import sys
import time
import zlib

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'scripts'))
from serve_site import Site  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
SCREENS = os.path.join(HERE, '..', 'e2e', 'screens')
# The most a channel may differ from the reference here.
ROUNDING = 1
PATIENCE = float(max(60, int(os.environ.get('DUNMARK_E2E_PATIENCE', '60') or 60)))
WIDTH, HEIGHT = 640, 480
# Rows of the title compared, in canvas pixels: the name, the subtitle and the
# story; the call under the creatures; the credits under the prompt. Left out:
# the creatures (game rows 115-147) and the blinking prompt (game rows 200-215).
TITLE_ROWS = [(0, 230), (294, 400), (430, 480)]
# The page's own words that tell its language.
HOW_TO = {'ru': 'Нажимайте кнопки', 'en': 'Click the buttons'}
GOODBYE = {'ru': 'Спасибо за игру!', 'en': 'Thanks for playing!'}


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def wait_for(what, condition):
    deadline = time.monotonic() + PATIENCE
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure('timed out waiting for ' + what)
        time.sleep(0.05)


def read_png(path):
    """RGB rows of an 8-bit PNG without interlace (grey, RGB, palette, RGBA)."""
    with open(path, 'rb') as source:
        data = source.read()
    check(data[:8] == b'\x89PNG\r\n\x1a\n', path + ' is not a PNG')
    at, idat, palette = 8, b'', b''
    while at < len(data):
        length, kind = struct.unpack('>I4s', data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b'IHDR':
            width, height, depth, colour, _, _, interlace = struct.unpack('>IIBBBBB', body)
        elif kind == b'PLTE':
            palette = body
        elif kind == b'IDAT':
            idat += body
        at += 12 + length
    check(depth == 8 and interlace == 0 and colour in (0, 2, 3, 6),
          '%s: only 8-bit PNG without interlace is read here' % path)
    channels = {0: 1, 2: 3, 3: 1, 6: 4}[colour]
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        line = raw[y * (stride + 1):(y + 1) * (stride + 1)]
        kind, row = line[0], bytearray(line[1:])
        for x in range(stride):
            left = row[x - channels] if x >= channels else 0
            up = previous[x]
            corner = previous[x - channels] if x >= channels else 0
            if kind == 1:
                row[x] = (row[x] + left) & 255
            elif kind == 2:
                row[x] = (row[x] + up) & 255
            elif kind == 3:
                row[x] = (row[x] + (left + up) // 2) & 255
            elif kind == 4:
                guess = left + up - corner
                pa, pb, pc = abs(guess - left), abs(guess - up), abs(guess - corner)
                best = left if pa <= pb and pa <= pc else up if pb <= pc else corner
                row[x] = (row[x] + best) & 255
        previous = row
        if colour == 3:
            rows.append(b''.join(palette[3 * i:3 * i + 3] for i in row))
        elif colour == 0:
            rows.append(bytes(v for i in row for v in (i, i, i)))
        else:
            rows.append(bytes(v for i in range(0, stride, channels) for v in row[i:i + 3]))
    check(width == WIDTH and height == HEIGHT, '%s is %dx%d' % (path, width, height))
    return rows


REFERENCES = {'ru': read_png(os.path.join(SCREENS, 'title.png')),
              'en': read_png(os.path.join(SCREENS, 'en', 'title.png'))}

# Compares the canvas's drawing buffer with each title reference over the
# compared rows: {language: [pixels off by more than the rounding, pixels off
# by less]}. The references (RGB rows, base64) are handed over once a page.
COMPARE_TITLES = """
const [references, rows, rounding] = arguments;
if (references) {
  window.__titleReferences = {};
  for (const language in references) {
    const text = atob(references[language]);
    const bytes = new Uint8Array(text.length);
    for (let i = 0; i < text.length; i++) bytes[i] = text.charCodeAt(i);
    window.__titleReferences[language] = bytes;
  }
}
if (!window.__titleReferences) return null;
const canvas = document.getElementById('canvas');
const copy = document.createElement('canvas');
copy.width = canvas.width; copy.height = canvas.height;
const context = copy.getContext('2d');
context.drawImage(canvas, 0, 0);
const data = context.getImageData(0, 0, copy.width, copy.height).data;
const result = {};
for (const language in window.__titleReferences) {
  const reference = window.__titleReferences[language];
  let far = 0, near = 0;
  for (const [top, bottom] of rows) {
    for (let pixel = top * copy.width; pixel < bottom * copy.width; pixel++) {
      let off = 0;
      for (let channel = 0; channel < 3; channel++) {
        off = Math.max(off, Math.abs(data[pixel * 4 + channel] - reference[pixel * 3 + channel]));
      }
      if (off > rounding) far++; else if (off) near++;
    }
  }
  result[language] = [far, near];
}
return result;
"""
REFERENCES_BASE64 = {language: base64.b64encode(b''.join(rows)).decode()
                     for language, rows in REFERENCES.items()}


class Page:
    """The site in one headless Chromium whose own language is English; its
    storage lasts across the test's navigations."""

    def __init__(self, site):
        self.site = Site(site)
        self.origin = self.site.origin
        options = webdriver.ChromeOptions()
        options.binary_location = '/usr/bin/chromium'
        for flag in ('--headless=new', '--no-sandbox', '--use-angle=swiftshader',
                     '--enable-unsafe-swiftshader', '--force-device-scale-factor=1',
                     '--window-size=1000,800', '--lang=en-US'):
            options.add_argument(flag)
        options.add_experimental_option('prefs', {'intl.accept_languages': 'en-US,en'})
        options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
        self.driver = webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)
        self.severe = []

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def read_console(self):
        for entry in self.driver.get_log('browser'):
            if entry['level'] == 'SEVERE':
                self.severe.append(entry['message'])

    def open(self, path):
        self.read_console()
        self.driver.get(self.origin + path)
        wait_for('the game to run', lambda: self.js(
            "return performance.getEntriesByType('resource').length > 0 &&"
            " !document.getElementById('language').hidden"))

    def compare_titles(self):
        result = self.js(COMPARE_TITLES, None, TITLE_ROWS, ROUNDING)
        if result is None:
            result = self.js(COMPARE_TITLES, REFERENCES_BASE64, TITLE_ROWS, ROUNDING)
        return result

    def wait_title(self, language, what):
        """Waits for the title in the given language; returns the pixels off
        by ROUNDING or less."""
        other = 'en' if language == 'ru' else 'ru'
        result = {}

        def shown():
            result.update(self.compare_titles())
            if result[language][0]:
                return False
            check(result[other][0] > 1000, '%s: the frame matches both titles' % what)
            return True

        try:
            wait_for('%s: the %s title' % (what, language), shown)
        except Failure:
            raise Failure('%s: no %s title; the last frame had %s pixels off by more than %d' %
                          (what, language, result.get(language, [None])[0], ROUNDING))
        return result[language][1]

    def words(self):
        """The page's language, its how-to line and which switch is pressed."""
        return self.js("""
            const pressed = document.querySelector('#language [aria-pressed="true"]');
            return [document.documentElement.lang,
                    document.querySelector('footer p').textContent,
                    pressed ? pressed.dataset.language : null];""")

    def check_words(self, language, what):
        lang, how_to, pressed = self.words()
        check(lang == language and how_to.startswith(HOW_TO[language]) and pressed == language,
              '%s: the page speaks %s, says %r, its switch shows %s' % (what, lang, how_to, pressed))

    def remembered(self):
        return self.js("return window.localStorage.getItem('dunmark.language');")

    def saved_run(self):
        """The record line of the run the page keeps: its fields as text."""
        text = self.js("return window.localStorage.getItem('dunmark.run');")
        check(text is not None, 'no run is kept')
        return [line for line in text.split('\n') if line.startswith('record ')][0].split(' ')[1:]

    def new_game(self):
        """Escape, then the page's New game, which forgets the kept run."""
        ActionChains(self.driver).send_keys(Keys.ESCAPE).perform()
        button = self.driver.find_element(By.ID, 'new-game')
        wait_for('New game on the page', button.is_displayed)
        check(button.text == 'New game', 'the button for a new game says %r' % button.text)
        button.click()

    def switch(self, language):
        self.driver.find_element(By.CSS_SELECTOR, '#language [data-language="%s"]' % language).click()

    def click_canvas(self):
        ActionChains(self.driver).move_to_element(
            self.driver.find_element(By.ID, 'canvas')).click().perform()

    def close(self):
        self.driver.quit()
        self.site.close()


def run(page):
    check(page.js('return navigator.language').startswith('en'), 'the browser does not speak English')

    page.open('/')
    near = page.wait_title('ru', 'no choice')
    page.check_words('ru', 'no choice')
    check(page.remembered() is None, 'a choice is remembered before any was made')
    print('language: no choice made: the Russian title (%d pixels off by 1), Russian words' % near)

    page.open('/?lang=en')
    near = page.wait_title('en', '?lang=en')
    page.check_words('en', '?lang=en')
    check(page.remembered() is None, '?lang=en was remembered')
    print('language: ?lang=en: the English title (%d pixels off by 1), English words, '
          'nothing remembered' % near)

    page.open('/')
    page.wait_title('ru', 'after ?lang=en')
    page.click_canvas()
    wait_for('the screen after the title', lambda: page.compare_titles()['ru'][0])
    before = page.saved_run()
    page.switch('en')
    wait_for('the run saved in English', lambda: page.saved_run()[12] == '1')
    after = page.saved_run()
    check(after[1] != '0' and int(after[3]) == int(before[3]),
          'the switch to English did not keep the run: %s, then %s' % (before, after))
    check(page.compare_titles()['en'][0], 'the switch to English showed the title')
    page.check_words('en', 'the switch to English')
    check(page.remembered() == 'en', 'the switch remembered %r' % page.remembered())
    print('language: the switch kept the run (screen %s, world %s) in English' % (after[1], after[3]))

    # The kept run would come back; the rest of the steps start at the title.
    page.new_game()
    page.wait_title('en', 'a reload after the switch')
    page.check_words('en', 'a reload after the switch')
    check(page.js("return window.localStorage.getItem('dunmark.run');") is None,
          'New game left the run kept')
    print('language: New game forgot the run; the reload keeps English')

    page.open('/?lang=ru')
    page.wait_title('ru', '?lang=ru over the remembered English')
    page.check_words('ru', '?lang=ru')
    check(page.remembered() == 'en', '?lang=ru replaced the remembered choice: %r' % page.remembered())
    page.open('/?lang=xx')
    page.wait_title('en', 'an unknown ?lang')
    page.open('/')
    page.wait_title('en', 'after ?lang=ru')
    print('language: ?lang=ru wins without replacing English; ?lang=xx leaves it')

    page.open('/?lang=en&x=1')
    page.wait_title('en', '?lang=en&x=1')
    page.switch('ru')
    page.wait_title('ru', 'the switch to Russian at the title')
    check(page.remembered() == 'ru', 'the switch remembered %r' % page.remembered())
    address = page.driver.current_url
    check(address == page.origin + '/?x=1', 'the address after a choice: %s' % address)
    page.driver.refresh()
    page.wait_title('ru', 'a reload after choosing Russian over ?lang=en')
    print('language: a choice on the page drops ?lang: %s' % address)

    ActionChains(page.driver).send_keys(Keys.ESCAPE).perform()
    message = page.driver.find_element(By.ID, 'message-text')
    title = page.driver.find_element(By.ID, 'message-title')
    wait_for('goodbye on the page', lambda: message.text == 'goodbye')
    check(title.text == GOODBYE['ru'], 'the Russian goodbye says %r' % title.text)
    page.switch('en')
    wait_for('the English goodbye', lambda: title.text == GOODBYE['en'])
    check(message.text == 'goodbye', 'the game\'s goodbye became %r' % message.text)
    page.check_words('en', 'the switch after goodbye')
    again = page.driver.find_element(By.ID, 'again').text
    check(again == 'Play again', 'the button to play again says %r' % again)
    print('language: after Escape the goodbye follows the switch')

    page.read_console()
    check(not page.severe, 'errors on the console: %s' % page.severe)


def main():
    site = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, '..', '..', 'build-web', 'site')
    if not os.path.isfile(os.path.join(site, 'index.html')):
        print('language: no site at %s (run scripts/build_web.sh)' % site)
        return 1
    page = Page(site)
    try:
        run(page)
        print('language: passed')
        return 0
    except Failure as failure:
        print('language: FAILED: %s' % failure)
        return 1
    finally:
        page.close()


if __name__ == '__main__':
    sys.exit(main())
