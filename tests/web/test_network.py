#!/usr/bin/env python3
"""The page as shipped, on the machine's own clocks: it loads, the game
reaches its title and takes a click, and no request leaves the page's
origin, by the browser's own network events (DevTools' Network domain) and
the page's resource timing list. Lists what was fetched. At most 500,000 bytes
come before the first screen (scripts/serve_site.py), 1,500,000 in all."""

import json
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import webtest  # noqa: E402
from webtest import check  # noqa: E402
from serve_site import FIRST_SCREEN_BYTES, folder_bytes  # noqa: E402

LINES = """
window.__dunmarkLines = [];
['log', 'warn', 'error'].forEach(function (level) {
  const original = console[level];
  console[level] = function () {
    window.__dunmarkLines.push(Array.prototype.join.call(arguments, ' '));
    return original.apply(console, arguments);
  };
});
"""


def test():
    site = webtest.Site(webtest.site_dir())
    page = webtest.Page(site, driven=False, before=LINES)
    try:
        page.open()
        webtest.wait_for('the game to start', lambda: page.js(
            "return __dunmarkLines.some(l => l.indexOf('Sound Engine is created!') >= 0)"))
        left, top, width, height = page.canvas_box()
        for kind in ('mouseMoved', 'mousePressed', 'mouseReleased'):
            page.driver.execute_cdp_cmd('Input.dispatchMouseEvent', dict(
                type=kind, x=left + width / 2, y=top + height / 2,
                **({} if kind == 'mouseMoved' else {'button': 'left', 'clickCount': 1})))
        page.driver.execute_async_script('setTimeout(arguments[0], 1000)')
        webtest.wait_for('the mark', lambda: page.js("return performance.getEntriesByName('dunmark: first screen')"))
        before, whole = page.js('return ' + FIRST_SCREEN_BYTES), folder_bytes(webtest.site_dir())
        print('%d bytes before the first screen; the site is %d bytes' % (before, whole))
        check(before <= 500000 and whole <= 1500000, 'over 500,000 before the first screen or 1,500,000 in all')
        urls = []
        for entry in page.driver.get_log('performance'):
            message = json.loads(entry['message'])['message']
            if message.get('method') == 'Network.requestWillBeSent':
                urls.append(message['params']['request']['url'])
        resources = page.js("return performance.getEntriesByType('resource')"
                            ".map(e => [e.name, e.decodedBodySize])")
        origin = site.origin + '/'
        foreign = [url for url in urls + [name for name, _ in resources]
                   if not url.startswith(origin)]
        check(urls, 'no network events were seen')
        check(not foreign, 'requests left the origin: %s' % foreign)
        print('%d requests, all to %s: %s' % (len(urls), origin, ' '.join(
            url[len(origin):] or '/' for url in urls)))
        print('%d bytes fetched by the page after the document'
              % sum(size for _, size in resources))
    finally:
        page.close()
        site.close()


if __name__ == '__main__':
    webtest.run(test)
