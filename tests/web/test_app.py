#!/usr/bin/env python3
"""The page as an installed app, in headless Chromium (127.0.0.1 is a secure
context): installable; the first visit keeps every file, fetching none
twice (a sound: to the page, then "not modified"), and a second one asks the
server for nothing but the worker; offline
after one visit; an update offered while the old version runs, which keeps
the run. Prints the precache's size, the first visit's bytes, and the time
to the game's start on both visits."""

import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import webtest  # noqa: E402
from webtest import Game, Player, check  # noqa: E402

# The worker that serves the page, once it has kept the site: its state.
WORKER_STATE = ('const w = navigator.serviceWorker.controller;'
                'return w ? w.state : null;')
# Every kept file and its size, from the caches themselves.
KEPT = """
const done = arguments[0];
caches.keys().then(async function (names) {
  const kept = {};
  for (const name of names) {
    const cache = await caches.open(name);
    for (const request of await cache.keys()) {
      kept[request.url] = (await (await cache.match(request)).blob()).size;
    }
  }
  done([names, kept]);
});
"""
# When the game had started (its record made; the title is the next
# frame), in milliseconds from navigation, on the machine's own clocks.
STARTED = """
window.__dunmarkStarted = null;
const log = console.log;
console.log = function () {
  if (__dunmarkStarted === null && String(arguments[0]).indexOf('Sound Engine is created!') >= 0) {
    __dunmarkStarted = performance.now();
  }
  return log.apply(console, arguments);
};
"""


def wait_until_kept(page):
    webtest.wait_for('the service worker to keep the site',
                     lambda: page.js(WORKER_STATE) == 'activated')


def kept_files(page):
    page.driver.set_script_timeout(webtest.PATIENCE)
    return page.driver.execute_async_script(KEPT)


def installable(site):
    page = webtest.Page(site, driven=False)
    try:
        page.open()
        wait_until_kept(page)
        errors = page.driver.execute_cdp_cmd('Page.getInstallabilityErrors', {})
        manifest = page.driver.execute_cdp_cmd('Page.getAppManifest', {})
        for ok, fault in ((errors['installabilityErrors'] == [], 'not installable: %s' % errors),
                          (manifest['url'].startswith(site.origin + '/manifest.'),
                           'the page links no manifest: %s' % manifest['url']),
                          (manifest['errors'] == [], 'the manifest has errors: %s' % manifest)):
            check(ok, fault)
        print('installable: no installability error; manifest %s'
              % manifest['url'][len(site.origin) + 1:])
    finally:
        page.close()


def first_and_second_visit(site):
    page = webtest.Page(site, driven=False, before=STARTED)
    started = lambda: page.js('return __dunmarkStarted')  # noqa: E731
    try:
        page.open()
        first = webtest.wait_for('the game to start', started)
        wait_until_kept(page)
        names, kept = kept_files(page)
        answers = list(site.answers)
        check(len(names) == 1, 'more than one cache: %s' % names)
        sent = [path for path, status in answers if status == 200]
        twice = sorted(set(path for path in sent if sent.count(path) > 1))
        check(not twice, 'the first visit fetched these twice: %s' % twice)
        for sound in (path for path in on_disk(webtest.site_dir()) if path.startswith('/sfx/')):
            check([status for path, status in answers if path == sound] == [200, 304], sound + ' not sent once')
        asked = set(path for path, _ in answers)
        unasked = [url for url in kept if url[len(site.origin):] not in asked]
        check(not unasked, 'kept without being asked of the server: %s' % unasked)
        missing = [path for path in on_disk(webtest.site_dir())
                   if path != '/sw.js' and site.origin + path not in kept]
        check(missing == ['/index.html'], 'the worker does not keep %s' % missing)
        bytes_sent = sum(os.path.getsize(os.path.join(webtest.site_dir(), path.lstrip('/')
                                                      or 'index.html')) for path in sent)

        del site.answers[:]
        page.open()
        second = webtest.wait_for('the game to start again', started)
        wait_until_kept(page)
        asked = sorted(set(path for path, _ in site.answers))
        check(asked in ([], ['/sw.js']),
              'the second visit asked the server for %s' % asked)
        print('first visit: %d requests, %d bytes sent (%d answered "not modified"); '
              'precache: %d files, %d bytes'
              % (len(answers), bytes_sent, sum(1 for _, status in answers if status == 304),
                 len(kept), sum(kept.values())))
        print('the game started %.0f ms after navigation on the first visit, %.0f ms on the '
              'second, from the cache' % (first, second))
    finally:
        page.close()


def on_disk(folder):
    return sorted('/' + os.path.relpath(os.path.join(root, name), folder)
                  for root, _, names in os.walk(folder) for name in names)


def offline_to_first_encounter(site, page):
    twin = webtest.Twin(os.path.join(webtest.site_dir(), 'gfx'))
    try:
        game = Game(page, twin)
        game.start(load=page.reload)
        game.step('title')
        game.click((320, 240))
        game.step('world_card')
        game.step('travel')
        game.move(Game.button_left)
        game.step('slime')
        check(not game.failures, 'offline: ' + '; '.join(game.failures))
    finally:
        twin.close()


def offline_with_query(site, page):
    page.open('/?lang=en')
    page.frame()
    page.frame()
    check(page.has_line('Sound Engine is created!'), 'offline, ?lang=en: the game did not start')
    check(page.js('return document.documentElement.lang') == 'en',
          'offline, ?lang=en: the page is not in English')


# What is done with the server gone, after one visit.
OFFLINE = (
    ('a reload plays to the first encounter', offline_to_first_encounter),
    ('an address with ?lang=en', offline_with_query),
)


def offline(case, action):
    site = webtest.Site(webtest.site_dir())
    page = webtest.Page(site)
    try:
        page.open()
        [page.frame() for _ in range(3)]  # the first screen: the site is kept after it
        wait_until_kept(page)
        site.close()
        action(site, page)
        print('offline: %s' % case)
    finally:
        page.close()
        site.close()


def version_shown(page):
    return page.js("return document.getElementById('version').textContent.split(' ').pop()")


def other_version(folder):
    """A copy of the site as another version's build: its index says
    another version, and its worker is made again."""
    site = os.path.join(folder, 'site')
    shutil.copytree(webtest.site_dir(), site)
    index = os.path.join(site, 'index.html')
    with open(index, encoding='utf-8') as page:
        text = page.read()
    old = re.search(r'<p id="version">.*</span> ([^<]+)</p>', text).group(1)
    new = old + '.1'
    with open(index, 'w', encoding='utf-8') as page:
        page.write(text.replace('</span> %s</p>' % old, '</span> %s</p>' % new))
    with open(os.path.join(webtest.SOURCE, 'app', 'art.txt')) as listing:
        art = [line.split()[0] for line in listing if line.strip() and not line.startswith('#')]
    subprocess.run(['cmake', '-DSOURCE_DIR=' + webtest.SOURCE, '-DSITE_DIR=' + site,
                    '-DART_FILES=' + ';'.join(art), '-P',
                    os.path.join(webtest.SOURCE, 'cmake', 'WebWorker.cmake')], check=True)
    return site, old, new


def update_offered(page):
    return page.js("return !document.getElementById('update').hidden")


# The offer, in each of the page's languages, in the order the test meets them.
OFFERS = (('ru', 'Готова новая версия игры. Перейти на неё'),
          ('en', 'A new version of the game is ready. Switch to it'))


def offered_in_each_language(page, player):
    for language, offer in OFFERS:
        page.js('document.querySelector("[data-language=%s]").click()' % language)
        player.frames(2)
        shown = page.js("return document.getElementById('update').textContent")
        check(shown == offer, 'the offer in %s: %r' % (language, shown))


def update():
    """The old version, played to the first encounter, is reloaded while
    the server has the new one: the old one runs the same run and offers
    the new one; accepting reloads into the new one, with the same run."""
    folder = tempfile.mkdtemp(prefix='dunmark-web-update-')
    newer, old, new = other_version(folder)
    site = webtest.Site(webtest.site_dir())
    page = webtest.Page(site)
    player = Player(page)
    try:
        player.start()
        wait_until_kept(page)
        player.click((320, 240))
        player.encounter_at(1)
        port = site.port
        site.close()
        site = webtest.Site(newer, port)
        before = player.reload()
        page.js('window.__oldDocument = true')
        check(page.has_line('Sound Engine is created!'), 'the old version did not start')
        player.same(before, 'the old version reloaded')
        check(version_shown(page) == old, 'not the old version: %s' % version_shown(page))
        webtest.wait_for('the page to offer the new version', lambda: update_offered(page))
        offered_in_each_language(page, player)
        check(version_shown(page) == old and page.frame(), 'the offer stopped the old version')
        before = player.same(before, 'the switch to English', moving=('language',))

        page.js("document.getElementById('update-now').click()")
        webtest.wait_for('the new version', lambda: page.js(
            'return !window.__oldDocument && document.readyState === "complete"')
            and version_shown(page) == new)
        page.wait_for_engine()
        player.frames(5)
        check(page.has_line('Sound Engine is created!'), 'the new version did not start')
        player.restored()
        player.same(before, 'the update')
        player.click((480, 290))  # flees: the run goes on in the new version
        player.until('departure', lambda r: r['screen'] in (webtest.DEPART, webtest.TRAVEL))
        check(not update_offered(page), 'the new version offers itself')
        names, _ = kept_files(page)
        with open(os.path.join(newer, 'sw.js')) as worker:
            name = re.search(r"cacheName = cachePrefix \+ '([0-9a-f]+)'", worker.read()).group(1)
        check(len(names) == 1 and names[0].endswith(' ' + name),
              'the caches after the update: %s, not only %s' % (names, name))
        print('update: version %s ran the run to stage %d and offered %s; accepted, %s runs '
              'the same run (screen %d, gold %d) from cache %s'
              % (old, before['stage'], new, new, before['screen'], before['gold'], name))
    finally:
        page.close()
        site.close()
        shutil.rmtree(folder, ignore_errors=True)


def test():
    for visit in (installable, first_and_second_visit):
        site = webtest.Site(webtest.site_dir(), record=True)
        try:
            visit(site)
        finally:
            site.close()
    for case, action in OFFLINE:
        offline(case, action)
    update()


if __name__ == '__main__':
    webtest.run(test)
