"""What the browser tests share: the site served on the loopback address,
Debian's headless Chromium driven by Selenium with the page's clocks and
animation frames taken over before the page's own scripts run (clock.js),
the pointer and keys sent as the browser's own input events, and the game's
native twin (web_mask_frames) kept tick for tick with the page."""

import base64
import json
import math
import os
import shutil
import subprocess
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.normpath(os.path.join(HERE, '..', '..'))
sys.path.insert(0, os.path.join(SOURCE, 'scripts'))
from serve_site import Site  # noqa: E402,F401  (the tests' static server)
SCREENS = os.path.join(SOURCE, 'tests', 'e2e', 'screens')
# The desktop walk's frozen wall clock, 2026-01-10 12:00:00 UTC: the seed.
FROZEN_SECONDS = 1768046400
FRAME_MS = 1000.0 / 60.0
PATIENCE = float(os.environ.get('DUNMARK_E2E_PATIENCE', '60'))


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def site_dir():
    build = os.environ.get('DUNMARK_WEB_BUILD_DIR', os.path.join(SOURCE, 'build-web'))
    site = os.path.join(build, 'site')
    check(os.path.isfile(os.path.join(site, 'index.html')),
          'no site at %s: run scripts/build_web.sh' % site)
    return site


def native_build_dir():
    return os.environ.get('DUNMARK_BUILD_DIR', os.path.join(SOURCE, 'build'))


def chromium(width=1000, height=800, flags=()):
    options = webdriver.ChromeOptions()
    options.binary_location = '/usr/bin/chromium'
    # Shared memory in /tmp: a fresh root's /dev/shm may be a bare folder.
    for flag in ('--headless=new', '--no-sandbox', '--use-angle=swiftshader',
                 '--enable-unsafe-swiftshader', '--force-device-scale-factor=1',
                 '--disable-dev-shm-usage',
                 '--window-size=%d,%d' % (width, height)) + tuple(flags):
        options.add_argument(flag)
    options.set_capability('goog:loggingPrefs', {'browser': 'ALL', 'performance': 'ALL'})
    return webdriver.Chrome(service=Service('/usr/bin/chromedriver'), options=options)


def clock_script():
    with open(os.path.join(HERE, 'clock.js')) as source:
        return source.read().replace('__FROZEN_MS__', str(FROZEN_SECONDS * 1000))


def wait_for(what, condition, patience=PATIENCE):
    deadline = time.monotonic() + patience
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure('timed out waiting for ' + what)
        time.sleep(0.02)


class Page:
    """The game's page in a fresh browser, on a driven clock unless told
    otherwise. Frames run only when the test asks for them."""

    def __init__(self, site, width=1000, height=800, driven=True, before='', flags=(),
                 device=None):
        self.site = site
        self.driver = chromium(width, height, flags)
        self.driven = driven
        if device:
            self.emulate(*device)
        script = (clock_script() if driven else '') + before
        if script:
            self.driver.execute_cdp_cmd('Page.addScriptToEvaluateOnNewDocument', {'source': script})

    def open(self, path='/'):
        self.driver.get(self.site.origin + path)
        self.wait_for_engine()

    def reload(self):
        self.driver.refresh()
        self.wait_for_engine()

    def wait_for_engine(self):
        if self.driven:
            wait_for('the engine to start its frames', lambda: self.js('return __dunmarkTest.waiting()'))

    def emulate(self, width, height, ratio, touch):
        """DevTools' device emulation: a viewport of width x height CSS
        pixels at the given device pixel ratio; with touch, a phone's or a
        tablet's (touch events, no hovering pointer)."""
        self.driver.execute_cdp_cmd('Emulation.setDeviceMetricsOverride', {
            'width': width, 'height': height, 'deviceScaleFactor': ratio, 'mobile': touch,
            'screenOrientation': {'type': 'landscapePrimary' if width > height else 'portraitPrimary',
                                  'angle': 90 if width > height else 0}})
        self.driver.execute_cdp_cmd('Emulation.setTouchEmulationEnabled',
                                    {'enabled': touch, 'maxTouchPoints': 5})

    def fitted_size(self):
        """The canvas's size by the page's rule, from its stage's room: the
        largest 4:3 size that fits, at a whole number of device pixels per
        canvas pixel if that fills at least 85% of the width; and whether
        it is whole."""
        width, height, ratio = self.js(
            "const s = document.getElementById('stage');"
            "return [s.clientWidth, s.clientHeight, window.devicePixelRatio];")
        room = min(width, height * 4.0 / 3.0)
        whole = int(room * ratio // 640)
        if whole >= 1 and whole * 640 >= 0.85 * room * ratio:
            return [whole * 640.0 / ratio, whole * 480.0 / ratio], True
        return [room, room * 0.75], False

    def touch(self, kind, x, y):
        """One touch's start or end at client pixel (x, y)."""
        before = self.js('return __dunmarkTest.counts().touch')
        points = [{'x': x, 'y': y}] if kind == 'touchStart' else []
        self.driver.execute_cdp_cmd('Input.dispatchTouchEvent', {'type': kind, 'touchPoints': points})
        wait_for('the page to take the touch',
                 lambda: self.js('return __dunmarkTest.counts().touch') > before)

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def frame(self, milliseconds=FRAME_MS):
        return self.js('return __dunmarkTest.frame(arguments[0])', milliseconds)

    def lines(self):
        return self.js('return __dunmarkTest.lines()')

    def has_line(self, text):
        return any(text in line for line in self.lines())

    def canvas_box(self):
        return self.js("const r = document.getElementById('canvas').getBoundingClientRect();"
                       "return [r.left, r.top, r.width, r.height];")

    def mouse(self, kind, x, y, button='left'):
        """One input event of the browser at client pixel (x, y)."""
        before = self.js('return __dunmarkTest.counts().mouse')
        event = {'type': kind, 'x': x, 'y': y}
        if kind != 'mouseMoved':
            event.update(button=button, clickCount=1)
        self.driver.execute_cdp_cmd('Input.dispatchMouseEvent', event)
        wait_for('the page to take the mouse event',
                 lambda: self.js('return __dunmarkTest.counts().mouse') > before)

    def escape(self):
        for kind in ('keyDown', 'keyUp'):
            self.driver.execute_cdp_cmd('Input.dispatchKeyEvent', {
                'type': kind, 'key': 'Escape', 'code': 'Escape', 'windowsVirtualKeyCode': 27})

    def message(self):
        return self.js("const m = document.getElementById('message');"
                       "return m.hidden ? null : document.getElementById('message-text').textContent;")

    def canvas_shown(self):
        return self.js("return !document.getElementById('canvas').hidden;")

    def foreign_requests(self):
        """Every request the page made that left its origin, from the
        browser's own network events."""
        foreign = []
        for entry in self.driver.get_log('performance'):
            message = json.loads(entry['message'])['message']
            if message.get('method') != 'Network.requestWillBeSent':
                continue
            url = message['params']['request']['url']
            if not (url.startswith(self.site.origin + '/') or url.startswith('data:')
                    or url.startswith('blob:' + self.site.origin)):
                foreign.append(url)
        foreign += [url for url in self.js(
            "return performance.getEntriesByType('resource').map(e => e.name)")
            if not url.startswith(self.site.origin + '/')]
        return foreign

    def close(self):
        try:
            self.driver.quit()
        except Exception:
            pass


class Twin:
    """The game run natively by web_mask_frames on the same seed, fed the
    same pointer events and ticks as the page."""

    def __init__(self, gfx):
        tool = os.path.join(native_build_dir(), 'tests', 'web_mask_frames')
        check(os.access(tool, os.X_OK), 'no %s: build the native tests first' % tool)
        self.work = tempfile.mkdtemp(prefix='dunmark-web-')
        self.process = subprocess.Popen([tool, gfx, str(FROZEN_SECONDS)], cwd=self.work,
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        text=True)
        self.pending = 0

    def send(self, line):
        self.process.stdin.write(line + '\n')

    def tick(self):
        self.pending += 1

    def flush(self):
        if self.pending:
            self.send('tick %d' % self.pending)
            self.pending = 0

    def answer(self, word):
        self.process.stdin.flush()
        while True:
            line = self.process.stdout.readline()
            check(line, 'web_mask_frames ended')
            if line.startswith(word + ' '):
                return line.split()

    def mask(self):
        """The last frame's partial-alpha pixels, one byte a pixel."""
        self.flush()
        path = os.path.join(self.work, 'mask')
        self.send('mask ' + path)
        words = self.answer('mask')
        check(words[2] == '0', 'the game drew %s quads that are not rectangles' % words[2])
        with open(path, 'rb') as data:
            return data.read()

    def close(self):
        self.process.stdin.close()
        self.process.wait()
        shutil.rmtree(self.work, ignore_errors=True)


def reference_rgb(name):
    path = os.path.join(SCREENS, name + '.png')
    check(os.path.isfile(path), 'no reference ' + path)
    rgb = subprocess.run(['convert', path, '-depth', '8', 'rgb:-'], check=True,
                         stdout=subprocess.PIPE).stdout
    check(len(rgb) == 640 * 480 * 3, 'reference %s is not 640x480' % path)
    return rgb


def ignored_rectangles(name, extra=None):
    """The desktop walk's rectangles for this step (screens/masks.txt), and
    the extra one if given."""
    ignored = bytearray(640 * 480)
    rectangles = [extra] if extra else []
    with open(os.path.join(SCREENS, 'masks.txt')) as masks:
        for line in masks:
            words = line.split()
            if words and not words[0].startswith('#') and words[0] == name:
                rectangles.append(tuple(int(word) for word in words[1:5]))
    for x, y, w, h in rectangles:
        for row in range(y, y + h):
            ignored[row * 640 + x:row * 640 + x + w] = b'\1' * w
    return bytes(ignored) if rectangles else None


def run(test):
    """Runs test() and prints PASS, or the failure, with exit code 0 or 1."""
    name = os.path.basename(sys.argv[0])
    start = time.monotonic()
    try:
        test()
    except Failure as failure:
        print('%s: FAIL: %s' % (name, failure))
        sys.exit(1)
    print('%s: PASS (%.1f s)' % (name, time.monotonic() - start))
    sys.exit(0)


def b64(data):
    return base64.b64encode(data).decode('ascii')


def client_coordinate(start, scale, pixel):
    if scale >= 1:
        return float(math.ceil(start + pixel * scale))
    return start + (pixel + 0.5) * scale


class Game:
    """The game's page and its native twin, run frame for frame: after the
    two frames of start-up, every frame of 1/60 s runs one tick on both."""

    # Window coordinates of the desktop walk (tests/e2e/screens_lib.sh).
    button_left = (160, 290)
    button_middle = (320, 312)
    button_right = (480, 290)
    ok_button = (320, 280)
    parked = (4, 4)

    def __init__(self, page, twin, actions=False, touch=False):
        self.page = page
        self.twin = twin
        self.actions = actions
        self.touch = touch
        self.allowance = []  # (step, frames waited, pixels off by 1 in the mask, mask size)
        self.sent_mask = None
        self.failures = []  # steps that never matched; the walk goes on
        self.steps = 0
        self.draw_calls = []  # (step, WebGL draw calls of the frame that matched)

    def start(self, load=None):
        """Opens the page (or loads it as load() does) and runs start-up."""
        (load or self.page.open)()
        self.page.frame()  # input, graphics, the art, the "Loading..." frame
        self.page.frame()  # the sound engine and the game record
        check(self.page.has_line('Sound Engine is created!'),
              'start-up did not finish: %s' % self.page.lines()[-5:])
        if not self.touch:
            self.pointer('mouseMoved', *self.parked)

    def frames(self, count):
        for _ in range(count):
            check(self.page.frame(), 'a frame of 1/60 s drew nothing')
            self.twin.tick()

    def client_point(self, x, y):
        """A client point of game pixel (x, y): the first whole client pixel
        in it where the canvas shows a game pixel at least a client pixel
        wide (events give whole client pixels), else its centre."""
        left, top, width, height = self.page.canvas_box()
        return (client_coordinate(left, width / 640.0, x), client_coordinate(top, height / 480.0, y))

    def pointer(self, kind, x, y):
        """A pointer event at game pixel (x, y) of the canvas as shown; the
        twin gets the pixel the page's input engine computes from it."""
        cx, cy = self.client_point(x, y)
        if self.touch:
            check(kind != 'mouseMoved', 'a touch screen has no pointer to move')
            self.page.touch('touchStart' if kind == 'mousePressed' else 'touchEnd', cx, cy)
        elif self.actions:
            self.action(kind, cx, cy)
        else:
            self.page.mouse(kind, cx, cy)
        counts = self.page.js('return __dunmarkTest.counts()')
        left, top, width, height = self.page.canvas_box()
        gx = int((int(counts['clientX']) - left) * 640 // width)
        gy = int((int(counts['clientY']) - top) * 480 // height)
        # A touch on a canvas shown smaller than the game reaches the game
        # pixel under its whole client pixel.
        near = 640.0 / width if self.touch else 0
        check(abs(gx - x) <= near and abs(gy - y) <= near, 'the pointer reached %s, not %s (client %s, %s; canvas %s)'
              % ((gx, gy), (x, y), counts['clientX'], counts['clientY'], [left, top, width, height]))
        self.twin.send('move %d %d' % (gx, gy))
        if kind == 'mousePressed':
            self.twin.send('down 0')
        elif kind == 'mouseReleased':
            self.twin.send('up 0')

    def action(self, kind, cx, cy):
        """The same event through WebDriver's pointer actions: a move is
        measured from the canvas's centre (and corrected once if the
        browser's rounding of that centre put it a pixel off), a press or a
        release happens where the pointer is."""
        from selenium.webdriver.common.action_chains import ActionChains
        from selenium.webdriver.common.by import By
        canvas = self.page.driver.find_element(By.ID, 'canvas')
        left, top, width, height = self.page.canvas_box()
        dx = int(round(cx - (left + width / 2.0)))
        dy = int(round(cy - (top + height / 2.0)))
        if kind != 'mouseMoved':
            self.action('mouseMoved', cx, cy)
        for _ in range(3):
            before = self.page.js('return __dunmarkTest.counts()')
            chain = ActionChains(self.page.driver, duration=0)
            if kind == 'mouseMoved':
                chain.move_to_element_with_offset(canvas, dx, dy)
            elif kind == 'mousePressed':
                chain.click_and_hold()
            else:
                chain.release()
            chain.perform()
            seen = wait_for('the page to take the pointer action', lambda: (
                lambda counts: counts if counts['mouse'] > before['mouse'] else None)(
                    self.page.js('return __dunmarkTest.counts()')))
            if kind != 'mouseMoved':
                return
            missX = int(cx) - int(seen['clientX'])
            missY = int(cy) - int(seen['clientY'])
            if missX == 0 and missY == 0:
                return
            dx += missX
            dy += missY

    def move(self, point):
        self.pointer('mouseMoved', *point)

    def park(self):
        self.move(self.parked)

    def click(self, point):
        """As the desktop walk clicks: press, 0.1 s, release, 0.05 s."""
        self.pointer('mousePressed', *point)
        self.frames(6)
        self.pointer('mouseReleased', *point)
        self.frames(3)

    def step(self, name, patience_frames=400, leave_out=None):
        """Runs frames until the canvas shows the step's reference: every
        pixel equal, but for the desktop walk's rectangles for the step and
        pixels off by 1 in a channel where the twin says this frame blended
        with partial alpha. A step that never gets there is noted in
        failures, and the walk goes on. 400 frames cover the longest wait of
        the route (card, walk and panel: 220 ticks) and a whole animation
        cycle (128 frames). leave_out, a rectangle (x, y, width, height),
        is left out of the comparison as well."""
        self.steps += 1
        name_shown = '%02d %s' % (self.steps, name)
        ignored = ignored_rectangles(name, leave_out)
        self.page.js('__dunmarkTest.setReference(arguments[0], arguments[1])',
                     b64(reference_rgb(name)), b64(ignored) if ignored else None)
        fewest = None
        for count in range(patience_frames):
            result = self.page.js('return __dunmarkTest.compare(false)')
            if result['far'] == 0 and result['near'] == 0:
                return self.matched(name_shown, count, 0, 0)
            if result['far'] > 0:
                fewest = result['far'] if fewest is None else min(fewest, result['far'])
                self.frames(1)
                continue
            mask = self.twin.mask()
            if mask != self.sent_mask:
                self.page.js('__dunmarkTest.setMask(arguments[0])', b64(mask))
                self.sent_mask = mask
            result = self.page.js('return __dunmarkTest.compare(true)')
            if result['bad'] == 0:
                blended = len(mask) - mask.count(0)
                return self.matched(name_shown, count, result['used'], blended)
            fewest = result['bad'] if fewest is None else min(fewest, result['bad'])
            self.frames(1)
        self.keep_failure(name)
        self.failures.append('step %s never matched its reference in %d frames; the closest '
                             'frame had %d pixels off' % (name_shown, patience_frames, fewest))
        return None

    def matched(self, name_shown, count, used, blended):
        self.allowance.append((name_shown, count, used, blended))
        self.draw_calls.append(
            (name_shown, self.page.js('return __dunmarkTest.counts().frameDraws')))
        return count

    def keep_failure(self, name):
        folder = os.path.join(native_build_dir(), 'test-work', 'web')
        os.makedirs(folder, exist_ok=True)
        path = os.path.join(folder, name + '-browser.png')
        rgb = base64.b64decode(self.page.js('return __dunmarkTest.pixels()'))
        subprocess.run(['convert', '-size', '640x480', '-depth', '8', 'rgb:-', path],
                       input=rgb, check=False)
        print('the last frame of %s is in %s' % (name, path))


# The run the game keeps in the page's storage (game/Save.cpp): its keys,
# the record's fields in the order saved, and the screens the tests meet.
RUN_KEY = 'dunmark.run'
DAMAGED_KEY = 'dunmark.run.damaged'
RECORD = ['timer', 'screen', 'animFrame', 'world', 'stage', 'exp', 'level', 'hp', 'gold',
          'potions', 'attack', 'defence', 'language']
TRAVEL, ARRIVE, IN_ENCOUNTER, DEPART = 2, 3, 4, 5
RESTORED = 'A saved run of version'


def parse_run(text):
    """The saved text as a dict: the record's fields, 'slots', and the other
    lines' words under their first word."""
    run = {'text': text}
    for line in (line.split(' ') for line in text.strip().split('\n')):
        if line[0] == 'record':
            run.update(zip(RECORD, map(int, line[1:])))
        elif line[0] == 'slot':
            run.setdefault('slots', []).append(list(map(int, line[1:])))
        else:
            run.setdefault(line[0], []).append(line[1:])
    return run


class Player:
    """Plays a driven page at canvas pixels, and reads where the run stands
    from the text the game saved."""

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
        return parse_run(text)

    def click(self, point):
        left, top, width, height = self.page.canvas_box()
        x, y = left + point[0] * width / 640.0, top + point[1] * height / 480.0
        for kind in ('mouseMoved', 'mousePressed', 'mouseReleased'):
            self.page.mouse(kind, x, y)
            self.frames(2)

    def until(self, what, condition, frames=2000):
        for _ in range(frames):
            if self.saved() is not None and condition(self.run()):
                return self.run()
            self.page.frame()
        raise Failure('no %s within %d frames' % (what, frames))

    def encounter_at(self, stage):
        return self.until('encounter at stage %d' % stage,
                          lambda r: r['screen'] == IN_ENCOUNTER and r['stage'] == stage)

    def restored(self):
        wait_for('the restored run', lambda: self.page.has_line(RESTORED))

    def reload(self, path='/'):
        """Loads the page again; returns the run saved before."""
        before = self.run()
        self.start(path)
        self.restored()
        return before

    def quit(self):
        """Escape, until the page says goodbye."""
        self.page.escape()
        self.frames(3)
        wait_for('goodbye', lambda: self.page.message() == 'goodbye')

    def same(self, before, what, moving=()):
        """The saved run equals before but for animFrame and the fields
        named moving; returns it."""
        after = self.run()
        for name in RECORD + ['slots', 'messages', 'random']:
            if name in ('animFrame',) + tuple(moving):
                continue
            check(after.get(name) == before.get(name), '%s: %s was %s, after the reload %s'
                  % (what, name, before.get(name), after.get(name)))
        return after
