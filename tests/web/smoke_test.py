#!/usr/bin/env python3
"""The browser smoke test: serves build-web/site/ on the loopback address and
plays it in Debian's headless Chromium: the title frame shows, a click starts
the game, Escape says goodbye on the console and on the page.

    python3 tests/web/smoke_test.py [SITE_DIR]

Prints the time from navigation to the first title frame. Exit code 0 when
every step passed, 1 otherwise, with the step that failed."""

import base64
import os
import sys
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'scripts'))
from serve_site import Site  # noqa: E402

# Seconds any one step may take on a loaded machine: the end-to-end tests'
# patience (DUNMARK_E2E_PATIENCE, at least 60).
PATIENCE = float(max(60, int(os.environ.get('DUNMARK_E2E_PATIENCE', '60') or 60)))


def browser():
    options = webdriver.ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    for flag in ('--headless=new', '--no-sandbox', '--use-angle=swiftshader',
                 '--enable-unsafe-swiftshader', '--force-device-scale-factor=1',
                 '--window-size=1000,800'):
        options.add_argument(flag)
    options.set_capability('goog:loggingPrefs', {'browser': 'ALL'})
    return webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)


class Console:
    """Every console line the page has written so far."""

    def __init__(self, driver):
        self.driver = driver
        self.lines = []
        self.stamps = []
        self.severe = []  # errors of the page: failed requests, exceptions

    def read(self):
        for entry in self.driver.get_log('browser'):
            self.lines.append(entry['message'])
            self.stamps.append(entry['timestamp'])
            if entry['level'] == 'SEVERE':
                self.severe.append(entry['message'])
        return self.lines

    def stamp(self, text):
        """Wall-clock milliseconds of the first line holding text."""
        self.read()
        return next(stamp for line, stamp in zip(self.lines, self.stamps) if text in line)

    def has(self, text):
        return any(text in line for line in self.read())


# Counts the canvas's pixels that are not black, read from its drawing buffer.
LIT_PIXELS = """
const canvas = document.getElementById('canvas');
const copy = document.createElement('canvas');
copy.width = canvas.width; copy.height = canvas.height;
const context = copy.getContext('2d');
context.drawImage(canvas, 0, 0);
const data = context.getImageData(0, 0, copy.width, copy.height).data;
let lit = 0, sum = 0;
for (let i = 0; i < data.length; i += 4) {
  if (data[i] | data[i + 1] | data[i + 2]) lit++;
  sum = (sum * 31 + data[i] + data[i + 1] * 7 + data[i + 2] * 13) >>> 0;
}
return [lit, sum];
"""


def wait_for(what, condition):
    deadline = time.monotonic() + PATIENCE
    while time.monotonic() < deadline:
        value = condition()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError('timed out waiting for ' + what)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    site = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, '..', '..', 'build-web', 'site')
    if not os.path.isfile(os.path.join(site, 'index.html')):
        print('smoke: no site at ' + site + ' (run scripts/build_web.sh)')
        return 1
    server = Site(site)
    driver = browser()
    console = Console(driver)
    try:
        address = server.origin + '/'
        start = time.monotonic()
        driver.get(address)
        # The title frame: the game runs (the record exists) and the canvas
        # shows far more than the loading line.
        wait_for('the title frame', lambda: console.has('Sound Engine is created!')
                 and driver.execute_script(LIT_PIXELS)[0] > 20000)
        # The game runs from the frame after the one that created the record;
        # the page's own clock says when navigation began.
        navigation = driver.execute_script('return performance.timeOrigin')
        ready = console.stamp('Sound Engine is created!') - navigation
        print('smoke: the game ran %.0f ms after navigation began; the title seen by the '
              'test after %.2f s' % (ready, time.monotonic() - start))
        first = console.stamp('"Dunmark"') - navigation
        print('smoke: the engine\'s first line %.0f ms after navigation began' % first)
        assert driver.title == 'Dunmark', driver.title
        assert console.has('version '), 'no version line on the console'
        title = driver.execute_script(LIT_PIXELS)

        canvas = driver.find_element(By.ID, 'canvas')
        ActionChains(driver).move_to_element(canvas).click().perform()
        wait_for('the screen after the title', lambda: driver.execute_script(LIT_PIXELS) != title)
        print('smoke: a click left the title screen')

        ActionChains(driver).send_keys(Keys.ESCAPE).perform()
        wait_for('goodbye on the console', lambda: console.has('goodbye'))
        message = driver.find_element(By.ID, 'message-text')
        wait_for('goodbye on the page', lambda: message.text == 'goodbye')
        assert not canvas.is_displayed(), 'the canvas still shows after goodbye'
        assert driver.find_element(By.ID, 'again').is_displayed(), 'no offer to play again'
        print('smoke: Escape said goodbye')
        console.read()
        assert not console.severe, 'errors on the console: %s' % console.severe
        print('smoke: passed')
        return 0
    except AssertionError as failure:
        print('smoke: FAILED: %s' % failure)
        print('\n'.join('  console: ' + line for line in console.read()))
        return 1
    finally:
        driver.quit()
        server.close()


if __name__ == '__main__':
    sys.exit(main())
