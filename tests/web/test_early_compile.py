#!/usr/bin/env python3
"""The page readies the game's context before the engine's script runs: it
turns on every extension the runtime later asks for, and compiles and links
the renderer's program with the renderer's own text (ge/gles2/Quad.vert,
Quad.frag) and attribute locations, so that the renderer's compile finds
them in the browser's cache."""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import webtest  # noqa: E402
from webtest import check  # noqa: E402

# Each call of interest, with whether the engine's script had run by then.
RECORD = """window.__calls = [];
for (const name of ['shaderSource', 'bindAttribLocation', 'getExtension']) {
  const original = WebGLRenderingContext.prototype[name];
  WebGLRenderingContext.prototype[name] = function () {
    const args = Array.from(arguments).filter(a => typeof a !== 'object');
    window.__calls.push([name, !!(window.Module && window.Module.FS), args]);
    return original.apply(this, arguments);
  };
}"""


def test():
    site = webtest.Site(webtest.site_dir())
    page = webtest.Page(site, before=RECORD)
    try:
        page.open()
        page.frame()
        page.frame()
        calls = page.js('return window.__calls')
    finally:
        page.close()
        site.close()
    for name in ('shaderSource', 'bindAttribLocation'):
        early = [args for kind, engine, args in calls if kind == name and not engine]
        later = [args for kind, engine, args in calls if kind == name and engine]
        print('%s: %d calls by the page, %d by the renderer' % (name, len(early), len(later)))
        check(early and early == later, '%s: the page and the renderer differ' % name)
    early = {args[0] for kind, engine, args in calls if kind == 'getExtension' and not engine}
    later = {args[0] for kind, engine, args in calls if kind == 'getExtension' and engine}
    print('extensions turned on by the page: %d; by the runtime: %d' % (len(early), len(later)))
    check(early and later <= early,
          'the runtime turned on extensions the page had not: %s' % sorted(later - early))


if __name__ == '__main__':
    webtest.run(test)
