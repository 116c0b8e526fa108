#!/usr/bin/python3
"""The browser benchmark: the game's page (build-web/site/) against the replay
floor page (bench/web/floor.html, a bare WebGL canvas that draws the frames
record_frames wrote down with the game renderer's WebGL calls), each in its
own headless Chromium (SwiftShader), driven over the DevTools protocol.

Per run, the game's page loads first, alone: the bytes before its first
screen (FIRST_SCREEN_BYTES), what its files come to gzipped, and the time from the navigation to the first frame
that shows the title screen, read from the browser's own frames (a DevTools
screencast). Then the floor page loads, and the two pages are measured over
the same seconds: CPU of each browser's renderer and GPU processes, 10 s on
the title screen, a click at the canvas's centre, 10 s on the world view
with world 1's first encounter open (the game's clock seeds its random
numbers as the recording's: Date.now is fixed by a script injected before the
page's own), and the WebGL draw calls and quads of every frame, which show
that both draw the same frames. Given the site of an earlier commit, its page
is measured too, beside the other two over the same seconds, as the
page before. Every browser may play sound without a gesture, so that the
title's music plays while it is measured. Last, the click-to-screen latency of the game and the floor,
clicks taking turns, read from the screencasts.

Usage: bench/web/web_bench.py SITE FLOOR_DIR RUNS RESULTS.json [BEFORE_SITE COMMIT]
       bench/web/web_bench.py --table RESULTS.json   print the web section
"""
import base64
import gzip
import io
import json
import os
import platform
import random
import shutil
import statistics
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse
import urllib.request

import websocket
from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'scripts'))
from serve_site import FIRST_SCREEN_BYTES, Site, folder_bytes  # noqa: E402

CHROMIUM = "/usr/bin/chromium"
WINDOW = (720, 900)    # narrow enough for the page to fit its canvas at scale 1
CLICKS = int(os.environ.get("DUNMARK_BENCH_CLICKS", "200"))
TICK_MS = 1000.0 / 60.0
CLK_TCK = os.sysconf("SC_CLK_TCK")
SEED_MS = 13000   # Date.now() in the game's page: time() gives the benchmark's seed, 13
PATIENCE = 60.0

# Injected before each page's own scripts: the game's seed, and counters of
# the frames drawn (animation frames with a WebGL draw), of the draw calls and
# of the corners drawn in each (six a quad), kept by the page's window for the
# driver: kinds counts the frames by "calls:quads".
INJECTED = """
(function () {
  Date.now = function () { return %d; };
  const bench = { frames: 0, draws: 0, corners: 0, last: 0, kinds: {}, firstAt: 0, titleAt: 0,
                  early: [] };
  window.__bench = bench;
  const prototype = WebGLRenderingContext.prototype;
  const drawArrays = prototype.drawArrays;
  prototype.drawArrays = function (mode, first, count) {
    ++bench.draws;
    bench.corners += count;
    return drawArrays.apply(this, arguments);
  };
  const drawElements = prototype.drawElements;
  prototype.drawElements = function (mode, count) {
    ++bench.draws;
    bench.corners += count;
    return drawElements.apply(this, arguments);
  };
  const log = console.log.bind(console);
  bench.lines = [];
  console.log = function (line) {
    if (bench.lines.length < 40) {
      bench.lines.push([Math.round(performance.now()), String(line).slice(0, 60)]);
    }
    return log.apply(console, arguments);
  };
  const request = window.requestAnimationFrame.bind(window);
  const getContext = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function () {
    const begun = performance.now();
    const context = getContext.apply(this, arguments);
    bench.context = bench.context || [Math.round(begun), Math.round(performance.now())];
    return context;
  };
  window.requestAnimationFrame = function (callback) {
    bench.requested = bench.requested || Math.round(performance.now());
    return request(function (now) {
      bench.draws = 0;
      bench.corners = 0;
      const begun = performance.now();
      callback(now);
      if (bench.early.length < 8) {
        bench.early.push([Math.round(begun), Math.round(performance.now()), bench.draws]);
      }
      if (bench.draws > 0) {
        ++bench.frames;
        bench.last = bench.corners;
        bench.firstAt = bench.firstAt || performance.now();
        if (bench.corners > 450 && !bench.titleAt) {
          bench.titleAt = performance.now();
        }
        const kind = bench.draws + ':' + bench.corners / 6;
        bench.kinds[kind] = (bench.kinds[kind] || 0) + 1;
      }
    });
  };
})();
""" % SEED_MS

# In canvas pixels (640x480, shown at one CSS pixel each): where the driver
# clicks and which area it watches. The game: the title's centre; in the
# camp, the dice button and the OK area, and an area inside the message box
# the dice open. The floor: an area that shows the title picture on the title
# screen and the world view's own picture after a release, still in both.
TITLE_CLICK = (320, 240)
GAME_PLACES = [(320, 310), (320, 280)]
GAME_AREA = (430, 280, 60, 30)
FLOOR_PLACES = [(320, 240)]
FLOOR_AREA = (500, 130, 60, 30)
# The area of the title screen that tells it has been drawn: the lines of
# text at its top and the picture's upper part, above the creatures and the
# blinking prompt.
TITLE_AREA = (0, 0, 640, 220)


def load_average():
    with open("/proc/loadavg") as f:
        return float(f.read().split()[0])


class DevToolsError(RuntimeError):
    pass


class DevTools:
    """One DevTools connection to a page: calls and their answers, the
    screencast's frames (acknowledged at once) and the network's events."""

    def __init__(self, url):
        self.ws = websocket.create_connection(url, timeout=PATIENCE, suppress_origin=True)
        self.lock = threading.Lock()
        self.next_id = 0
        self.answers = {}
        self.answered = threading.Condition()
        self.frames = []          # (swap time, arrival time, base64 PNG)
        self.network = []
        self.screencasting = False
        threading.Thread(target=self.read, daemon=True).start()

    def send(self, method, params):
        with self.lock:
            self.next_id += 1
            self.ws.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
            return self.next_id

    def read(self):
        while True:
            try:
                message = json.loads(self.ws.recv())
            except websocket.WebSocketTimeoutException:
                continue   # a page left alone for a while: its calls come later
            except Exception:
                return
            if "id" in message:
                with self.answered:
                    self.answers[message["id"]] = message
                    self.answered.notify_all()
            elif message.get("method") == "Page.screencastFrame":
                params = message["params"]
                self.send("Page.screencastFrameAck", {"sessionId": params["sessionId"]})
                if self.screencasting:
                    self.frames.append((params["metadata"]["timestamp"], time.time(), params["data"]))
            elif message.get("method", "").startswith("Network."):
                self.network.append(message)

    def call(self, method, **params):
        number = self.send(method, params)
        deadline = time.monotonic() + PATIENCE
        with self.answered:
            while number not in self.answers:
                if not self.answered.wait(deadline - time.monotonic()):
                    raise SystemExit(f"no answer to {method}")
            answer = self.answers.pop(number)
        if "error" in answer:
            raise DevToolsError(f"{method}: {answer['error']}")
        return answer.get("result", {})

    def evaluate(self, expression):
        result = self.call("Runtime.evaluate", expression=expression, returnByValue=True)
        return result.get("result", {}).get("value")

    def start_screencast(self):
        self.frames = []
        self.screencasting = True
        self.call("Page.startScreencast", format="png", everyNthFrame=1)

    def stop_screencast(self):
        self.call("Page.stopScreencast")
        self.screencasting = False


class Browser:
    """A headless Chromium of its own (profile, processes), with one page."""

    def __init__(self):
        self.profile = tempfile.mkdtemp(prefix="dunmark-webbench-")
        self.proc = subprocess.Popen(
            [CHROMIUM, "--headless=new", "--no-sandbox", "--use-angle=swiftshader",
             "--enable-unsafe-swiftshader", "--force-device-scale-factor=1",
             "--autoplay-policy=no-user-gesture-required", f"--window-size={WINDOW[0]},{WINDOW[1]}", "--remote-debugging-port=0",
             f"--user-data-dir={self.profile}", "--no-first-run", "--disable-extensions",
             "--disable-background-networking", "--disable-component-update", "about:blank"],
            stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        port = None
        deadline = time.monotonic() + PATIENCE
        while port is None and time.monotonic() < deadline:
            line = self.proc.stderr.readline()
            if not line:
                break
            if "DevTools listening on ws://" in line:
                port = urllib.parse.urlparse(line.split("listening on ", 1)[1].strip()).port
        if port is None:
            self.close()
            raise SystemExit("chromium did not start")
        threading.Thread(target=self.drain, daemon=True).start()
        with urllib.request.urlopen(f"http://127.0.0.1:{port}/json/list", timeout=PATIENCE) as answer:
            targets = json.load(answer)
        page = next(t for t in targets if t["type"] == "page")
        self.tools = DevTools(page["webSocketDebuggerUrl"])
        self.tools.call("Page.enable")
        self.tools.call("Page.addScriptToEvaluateOnNewDocument", source=INJECTED)

    def drain(self):
        for _ in self.proc.stderr:
            pass

    def processes(self):
        """The browser's processes by kind: renderer, gpu-process, browser,
        and the other helpers."""
        children = {}
        for entry in os.listdir("/proc"):
            if entry.isdigit():
                try:
                    with open(f"/proc/{entry}/stat") as f:
                        parent = int(f.read().rsplit(")", 1)[1].split()[1])
                    children.setdefault(parent, []).append(int(entry))
                except (OSError, IndexError, ValueError):
                    pass
        found, todo = {}, [self.proc.pid]
        while todo:
            pid = todo.pop()
            todo += children.get(pid, [])
            try:
                with open(f"/proc/{pid}/cmdline", "rb") as f:
                    # A process the zygote forked has its arguments in one string.
                    args = f.read().replace(b"\0", b" ").split()
            except OSError:
                continue
            kind = "browser" if pid == self.proc.pid else "other"
            for arg in args:
                if arg.startswith(b"--type="):
                    kind = arg[7:].decode()
                    kind = kind if kind in ("renderer", "gpu-process") else "other"
            found[pid] = kind
        return found

    def cpu(self):
        """CPU seconds by process (pid: (kind, seconds))."""
        result = {}
        for pid, kind in self.processes().items():
            try:
                with open(f"/proc/{pid}/stat") as f:
                    fields = f.read().rsplit(")", 1)[1].split()
                result[pid] = (kind, (int(fields[11]) + int(fields[12])) / CLK_TCK)
            except OSError:
                pass
        return result

    def canvas_box(self):
        box = self.tools.evaluate("(function(){const r=document.getElementById('canvas')"
                                  ".getBoundingClientRect();return [r.left,r.top,r.width,r.height];})()")
        return [int(round(v)) for v in box]

    def counters(self):
        return self.tools.evaluate("JSON.stringify(window.__bench || null)")

    def mouse(self, kind, x, y):
        params = {"type": kind, "x": x, "y": y, "button": "left" if kind != "mouseMoved" else "none",
                  "buttons": 1 if kind == "mousePressed" else 0}
        if kind != "mouseMoved":
            params["clickCount"] = 1
        self.tools.call("Input.dispatchMouseEvent", **params)

    def click(self, x, y, hold_s=0.1):
        self.mouse("mouseMoved", x, y)
        self.mouse("mousePressed", x, y)
        time.sleep(hold_s)
        self.mouse("mouseReleased", x, y)

    def close(self):
        self.proc.kill()
        self.proc.wait()
        shutil.rmtree(self.profile, ignore_errors=True)


def crop(data, box):
    image = Image.open(io.BytesIO(base64.b64decode(data))).convert("RGB")
    x, y, w, h = box
    return image.crop((x, y, x + w, y + h)).tobytes()


def in_page(canvas, area):
    return (canvas[0] + area[0], canvas[1] + area[1], area[2], area[3])


def first_title_frame(browser, navigated_at):
    """Milliseconds from the navigation to the swap of the first frame whose
    title area equals that of the settled title screen; and the frames seen."""
    frames = browser.tools.frames
    if not frames:
        raise SystemExit("the screencast gave no frame")
    area = in_page(browser.canvas_box(), TITLE_AREA)
    settled = crop(frames[-1][2], area)
    for stamp, _, data in frames:
        if crop(data, area) == settled:
            return (stamp - navigated_at) * 1000.0, len(frames)
    raise SystemExit("no title frame")


def title_steps(browser, navigated_at):
    """Where the time to the title goes, as the page's own clock saw it (ms
    from the navigation): the page's timeline, each file's arrival, the
    first frame drawn (Loading...) and the first with the title's draws,
    the first animation frames (begun, ended, draws) and the first console
    lines."""
    steps = json.loads(browser.tools.evaluate("""JSON.stringify((function () {
      const nav = performance.getEntriesByType('navigation')[0];
      const files = {};
      for (const e of performance.getEntriesByType('resource')) {
        files[e.name.split('/').pop()] = [Math.round(e.startTime), Math.round(e.responseEnd)];
      }
      return {origin: performance.timeOrigin, document: Math.round(nav.responseEnd),
              domContentLoaded: Math.round(nav.domContentLoadedEventEnd), files: files,
              firstFrame: Math.round(window.__bench.firstAt), titleFrame: Math.round(window.__bench.titleAt),
              callbacks: window.__bench.early, lines: window.__bench.lines,
              context: window.__bench.context, requested: window.__bench.requested};
    })())"""))
    steps["origin_after_navigate_ms"] = round(steps.pop("origin") - navigated_at * 1000.0, 1)
    return steps


def fetched_bytes(tools, site):
    """Per file the page fetched: body bytes as received, and gzip -9 of it."""
    urls, sizes = {}, {}
    for message in tools.network:
        params = message["params"]
        if message["method"] == "Network.requestWillBeSent":
            urls[params["requestId"]] = params["request"]["url"]
        elif message["method"] == "Network.dataReceived":
            sizes[params["requestId"]] = sizes.get(params["requestId"], 0) + params["dataLength"]
    files = {}
    for request, url in urls.items():
        path = urllib.parse.urlparse(url).path.lstrip("/") or "index.html"
        on_disk = os.path.join(site, path)
        body = open(on_disk, "rb").read() if os.path.isfile(on_disk) else b""
        files[path] = {"bytes": sizes.get(request, 0), "on_disk": len(body),
                       "gzip": len(gzip.compress(body, 9, mtime=0)) if body else 0}
    return files


def cpu_window(browsers, seconds):
    """CPU s per 10 s of each browser's processes by kind, frames drawn per
    second and the kinds of frame drawn ([draw calls, quads]), over the same
    seconds."""
    before = [b.cpu() for b in browsers]
    counts = [json.loads(b.counters()) for b in browsers]
    t0 = time.monotonic()
    time.sleep(seconds)
    elapsed = time.monotonic() - t0
    after = [b.cpu() for b in browsers]
    counts_after = [json.loads(b.counters()) for b in browsers]
    results = []
    for b0, b1, c0, c1 in zip(before, after, counts, counts_after):
        by_kind = {}
        for pid, (kind, seconds_now) in b1.items():
            used = seconds_now - (b0[pid][1] if pid in b0 else 0.0)
            by_kind[kind] = by_kind.get(kind, 0.0) + used * 10.0 / elapsed
        fps = (c1["frames"] - c0["frames"]) / elapsed
        kinds = {k: v - c0["kinds"].get(k, 0) for k, v in c1["kinds"].items() if v - c0["kinds"].get(k, 0) > 0}
        measured = by_kind.get("renderer", 0.0) + by_kind.get("gpu-process", 0.0)
        results.append({"cpu": measured, "by_kind": by_kind, "fps": fps,
                        "ms_per_frame": measured * 100.0 / fps if fps > 0 else 0.0,
                        "frame_kinds": sorted([int(n) for n in k.split(":")] for k in kinds)})
    return results


def settle(browser):
    """Waits until the browser's GPU process has started, and two seconds
    more; returns the seconds waited."""
    start = time.monotonic()
    while "gpu-process" not in browser.processes().values():
        if time.monotonic() - start > PATIENCE:
            raise SystemExit("chromium started no GPU process")
        time.sleep(0.05)
    time.sleep(2.0)
    return time.monotonic() - start


def wait_for_title(browser):
    """Waits until the page has drawn a frame with the title's draws, and a
    second more, so that the screencast has the settled title screen."""
    deadline = time.monotonic() + 60.0
    while True:
        try:
            counters = json.loads(browser.counters() or "null")
        except DevToolsError:   # between two documents
            counters = None
        if counters and counters["titleAt"] > 0:
            break
        if time.monotonic() > deadline:
            raise SystemExit("no title screen within a minute")
        time.sleep(0.1)
    time.sleep(1.0)


def wait_for_encounter(games, floor):
    """Waits, after the title's click, through the world card and the walk
    until each game page draws the floor's world-view frame (as many quads),
    and two seconds more, as the encounter's panel opens. Returns the seconds
    waited."""
    start = time.monotonic()
    time.sleep(0.5)   # the floor shows its world view from its next frame on
    target = json.loads(floor.counters())["last"]
    for game in games:
        while json.loads(game.counters())["last"] != target:
            if time.monotonic() - start > 300.0:
                raise SystemExit(f"a game page never drew a frame of the floor's world view "
                                 f"({target // 6} quads)")
            time.sleep(0.05)
    time.sleep(2.0)
    return time.monotonic() - start


def check_canvas(browser):
    box = browser.canvas_box()
    if box[2:] != [640, 480] or box[0] < 0 or box[1] < 0:
        raise SystemExit(f"the canvas is not shown whole at scale 1: {box}")


def load_before(browser, url):
    """Loads the earlier commit's page in its settled browser."""
    browser.tools.call("Page.navigate", url=url)
    wait_for_title(browser)
    check_canvas(browser)
    return browser.tools.evaluate(FIRST_SCREEN_BYTES)


def one_run(site_url, site, floor_url, before_url):
    game, floor = Browser(), Browser()
    before = Browser() if before_url else None
    pages = [game, floor] + ([before] if before else [])
    try:
        result = {"load_start": load_average()}
        # A player's browser is running before the address is typed: the
        # GPU process up and settled, as it is for the floor page.
        result["cold_start_s"] = [settle(browser) for browser in pages]
        game.tools.call("Network.enable")
        game.tools.call("Network.setCacheDisabled", cacheDisabled=True)
        game.tools.start_screencast()
        navigated = time.time()
        game.tools.call("Page.navigate", url=site_url)
        wait_for_title(game)
        game.tools.stop_screencast()
        check_canvas(game)
        result["title_ms"], result["title_frames_seen"] = first_title_frame(game, navigated)
        result["files"] = fetched_bytes(game.tools, site)
        result["first_screen_bytes"] = game.tools.evaluate(FIRST_SCREEN_BYTES)
        result["site_bytes"] = folder_bytes(site)
        result["title_steps"] = title_steps(game, navigated)
        floor.tools.start_screencast()
        navigated = time.time()
        floor.tools.call("Page.navigate", url=floor_url)
        wait_for_title(floor)
        floor.tools.stop_screencast()
        check_canvas(floor)
        result["floor_title_ms"], _ = first_title_frame(floor, navigated)
        if before:
            result["before_first_screen_bytes"] = load_before(before, before_url)
        time.sleep(1.0)
        names = ("game", "floor", "before")
        result["title"] = dict(zip(names, cpu_window(pages, 10.0)))
        for browser in pages:
            left, top, _, _ = browser.canvas_box()
            browser.click(left + TITLE_CLICK[0], top + TITLE_CLICK[1])
        result["walk_s"] = wait_for_encounter([game] + ([before] if before else []), floor)
        result["world"] = dict(zip(names, cpu_window(pages, 10.0)))
        result["load_end"] = load_average()
        if before:
            before.close()
        return result, game, floor
    except BaseException:
        for browser in pages:
            browser.close()
        raise


def click_once(browser, places, area, count, hold_ms):
    """One click on the next place; its latency in ms from the release's
    acceptance to the swap of the first frame showing a change in the area
    (None when none came within a second), and the time between that frame's
    swap and the one before it."""
    x, y = places[count % len(places)]
    browser.mouse("mouseMoved", x, y)
    time.sleep((30.0 + 33.3 * random.random()) / 1000.0)
    tools = browser.tools
    while not tools.frames:
        time.sleep(0.005)
    before = crop(tools.frames[-1][2], area)
    seen = len(tools.frames)
    browser.mouse("mousePressed", x, y)
    pressed = time.time()
    time.sleep(hold_ms / 1000.0)
    browser.mouse("mouseReleased", x, y)
    released = time.time()
    latency, gap = None, 0.0
    deadline = time.monotonic() + 1.0
    previous_stamp = tools.frames[seen - 1][0]
    while latency is None and time.monotonic() < deadline:
        while seen < len(tools.frames):
            stamp, _, data = tools.frames[seen]
            seen += 1
            if stamp >= pressed - 0.001 and crop(data, area) != before:
                latency, gap = (stamp - released) * 1000.0, (stamp - previous_stamp) * 1000.0
                break
            previous_stamp = stamp
        time.sleep(0.002)
    time.sleep(0.15)
    return latency, gap, (released - pressed) * 1000.0


def percentile(values, share):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(share * (len(ordered) - 1))))] if ordered else 0.0


def latency(game, floor):
    random.seed(2)
    targets = []
    for name, browser, places, area in (("floor", floor, FLOOR_PLACES, FLOOR_AREA),
                                        ("game", game, GAME_PLACES, GAME_AREA)):
        left, top, _, _ = browser.canvas_box()
        targets.append((name, browser, [(left + x, top + y) for x, y in places],
                        in_page((left, top), area)))
        browser.tools.start_screencast()
    result = {"load_before": load_average()}
    try:
        for hold in (80, 2):
            entries = {name: {"ms": [], "gaps": [], "holds": [], "missed": 0} for name, *_ in targets}
            for count in range(CLICKS):
                for name, browser, places, area in targets:
                    ms, gap, held = click_once(browser, places, area, count, hold)
                    entry = entries[name]
                    entry["holds"].append(held)
                    if ms is None:
                        entry["missed"] += 1
                    else:
                        entry["ms"].append(ms)
                        entry["gaps"].append(gap)
            for name, entry in entries.items():
                ms = entry.pop("ms")
                gaps = entry.pop("gaps")
                holds = entry.pop("holds")
                entry.update({"clicks": len(ms), "p50": percentile(ms, 0.5), "p90": percentile(ms, 0.9),
                              "p99": percentile(ms, 0.99), "max": max(ms) if ms else 0.0,
                              "min": min(ms) if ms else 0.0, "held_ms": statistics.median(holds),
                              "gap_p50_ms": percentile(gaps, 0.5), "gap_p99_ms": percentile(gaps, 0.99),
                              "all_ms": [round(v, 2) for v in ms]})
                result[f"{name}_{hold}"] = entry
            print(f"latency, hold {hold} ms: done", flush=True)
    finally:
        for _, browser, _, _ in targets:
            browser.tools.stop_screencast()
    result["load_after"] = load_average()
    return result


def chromium_version():
    out = subprocess.run(["dpkg-query", "-W", "-f", "${Version}", "chromium"], capture_output=True, text=True)
    return out.stdout.strip() or "unknown"


def measure(site, floor_dir, runs, out_path, before_site=None, before_commit=None):
    before_bytes = folder_bytes(before_site) if before_site else None
    site_server, floor_server = Site(site), Site(floor_dir)
    before_server = Site(before_site) if before_site else None
    site_url = f"{site_server.origin}/index.html"
    floor_url = f"{floor_server.origin}/floor.html"
    before_url = f"{before_server.origin}/index.html" if before_server else None
    with open("/etc/os-release") as f:
        release = dict(line.strip().split("=", 1) for line in f if "=" in line)
    data = {"release": release.get("PRETTY_NAME", "?").strip('"'), "chromium": chromium_version(),
            "date": time.strftime("%Y-%m-%d %H:%M"), "machine": f"{os.cpu_count()} cores, Linux {platform.release()}",
            "before": before_commit, "before_site_bytes": before_bytes, "runs": []}
    game = floor = None
    try:
        for run in range(runs):
            if game is not None:
                game.close()
                floor.close()
            result, game, floor = one_run(site_url, site, floor_url, before_url)
            data["runs"].append(result)
            print(f"run {run + 1}/{runs}: title {result['title_ms']:.0f} ms, load "
                  f"{result['load_start']:.1f} to {result['load_end']:.1f}", flush=True)
        data["latency"] = latency(game, floor)
    finally:
        if game is not None:
            game.close()
            floor.close()
        site_server.close()
        floor_server.close()
        if before_server:
            before_server.close()
    with open(out_path, "w") as f:
        json.dump(data, f, indent=1)


def median_of(runs, *keys):
    values = []
    for run in runs:
        value = run
        for key in keys:
            value = value[key]
        values.append(value)
    return statistics.median(values)


def title_steps_table(runs):
    """Where the time to the title went, per run, by the page's clock (ms
    from the navigation's start)."""
    lines = [
        "",
        "The steps to the title by the game page's own clock (ms from the navigation's start, each run): "
        "the last file fetched (script, module and art), `main` begun (its first console line), the WebGL "
        "context asked for and made, the first animation frame (begun, ended: the `Loading...` frame, the "
        "renderer made, the art decoded and uploaded), the second (the sound engine and the record made), "
        "the title's frame drawn; and the screencast's first title frame (from sending the navigation).",
        "",
        "| run | load | files fetched | `main` begun | WebGL context asked / made | first frame | second frame "
        "| title drawn | title on screen |",
        "|---|---|---|---|---|---|---|---|---|",
    ]
    for number, run in enumerate(runs, 1):
        st = run.get("title_steps", {})
        if "callbacks" not in st:
            continue
        files = max(v[1] for v in st["files"].values())
        main = next((t for t, text in st["lines"] if text == "Dunmark"), 0)
        first, second = st["callbacks"][0], st["callbacks"][1]
        lines.append(f"| {number} | {run['load_start']:.1f} | {files} | {main} | {st['context'][0]} / "
                     f"{st['context'][1]} | {first[0]} to {first[1]} | {second[0]} to {second[1]} | "
                     f"{st['titleFrame']} | {run['title_ms']:.0f} |")
    return lines


def frame_figure(runs, screen, who, index):
    """The draw calls (index 0) or the quads (1) of the frames a page drew on
    a screen in any run, each figure seen once: "328/378"."""
    seen = sorted({kind[index] for r in runs for kind in r[screen][who]["frame_kinds"]})
    return "/".join(map(str, seen))


def before_table(runs, commit, site_bytes):
    """The page before, built from an earlier commit, measured beside the
    other two over the same seconds."""
    game_bytes = median_of(runs, "first_screen_bytes")
    lines = [
        "",
        f"The game's page as built from commit {commit}, the page before: measured in the same runs "
        "over the same seconds as the two pages above, in a third settled Chromium.",
        "",
        f"| figure | game page | page of {commit} | game / {commit} | goal | verdict |",
        "|---|---|---|---|---|---|",
        f"| bytes before the first screen | {game_bytes:,} | {median_of(runs, 'before_first_screen_bytes'):,} "
        f"| | at most 500,000 | {'met' if game_bytes <= 500000 else 'not met'} |",
        f"| the whole site, bytes | {runs[-1]['site_bytes']:,} | {site_bytes:,} | | at most 1,500,000 | "
        f"{'met' if runs[-1]['site_bytes'] <= 1500000 else 'not met'} |",
    ]
    for screen, label in (("title", "title screen"), ("world", "world view")):
        lines.append(f"| WebGL draw calls per frame drawn, {label} | {frame_figure(runs, screen, 'game', 0)} "
                     f"| {frame_figure(runs, screen, 'before', 0)} | | | |")
    for screen, label in (("title", "title screen"), ("world", "world view")):
        g = median_of(runs, screen, "game", "ms_per_frame")
        b = median_of(runs, screen, "before", "ms_per_frame")
        lines.append(f"| CPU ms per frame drawn, {label} | {g:.2f} | {b:.2f} | {g / b:.2f} | at most 1.1 "
                     f"| {'met' if g <= 1.1 * b else 'not met'} |")
    for screen, label in (("title", "title screen"), ("world", "world view")):
        lines.append(f"| frames drawn per second, {label} | {median_of(runs, screen, 'game', 'fps'):.1f} | "
                     f"{median_of(runs, screen, 'before', 'fps'):.1f} | | | |")
    for screen, label in (("title", "title screen"), ("world", "world view")):
        q = {who: frame_figure(runs, screen, who, 1) for who in ("game", "before")}
        lines.append(f"| kinds of frame drawn, by quads a frame, {label} | {q['game']} | {q['before']} | | "
                     f"equal | {'same frames' if q['game'] == q['before'] else 'different frames'} |")
    return lines


def table(path):
    with open(path) as f:
        data = json.load(f)
    runs = data["runs"]
    files = runs[-1]["files"]
    size = median_of(runs, "first_screen_bytes")
    # The sounds come after the first screen.
    packed = sum(f["gzip"] for name, f in files.items() if not name.startswith("sfx/"))
    title = median_of(runs, "title_ms")
    loads = ", ".join(f"{r['load_start']:.1f} to {r['load_end']:.1f}" for r in runs)
    lat = data["latency"]
    frame_ms = median_of(runs, "world", "game", "ms_per_frame")
    lines = [
        "## In a browser",
        "",
        f"Measured by `bash bench/run.sh --web` on {data['date']}: {data['release']}, Chromium "
        f"{data['chromium']} headless with WebGL on SwiftShader (software), {data['machine']}; "
        f"{len(runs)} runs, each figure the median of the runs; load average at the start and end of each "
        f"run: {loads}; over the clicks {lat['load_before']:.1f} to {lat['load_after']:.1f}.",
        "",
        "The game's page is `build-web/site/` as `scripts/build_web.sh` builds it, served on the loopback "
        "address. The floor page (`bench/web/floor.html`) is a bare WebGL canvas that draws, on every "
        "animation frame, the frames `bench/record_frames.cpp` records, with the least WebGL work that "
        "gives the game's pictures: the game renderer's context, shaders and capture into the render "
        "texture, and one buffer update and one draw call for each run of quads from one texture, its "
        "textures decoded beforehand by the game's loader "
        "(`bench/web/pack_textures.cpp`): no engine, no ticks, no sound. Each page runs in its own "
        "headless Chromium, started and settled (its GPU process up, then 2 s) before its page loads, as a "
        "player's browser is; both run at once and are measured over the same seconds. The game's seed is the "
        "recording's (its `Date.now` is fixed by a script injected before the page's own), so both draw "
        "world 1's first encounter, the mercenary camp: the WebGL draw calls and quads of each frame drawn "
        "are counted in each page and listed below.",
        "",
        "Bytes before the first screen: what a first visit receives before the game's first screen, by the "
        "page's own resource timing (`FIRST_SCREEN_BYTES` in `scripts/serve_site.py`, which the browser tests "
        "hold to the same goal): the transferSize of the document and of every request begun before the page's "
        "mark of its first screen, its icons and manifest included, that is each body as sent (uncompressed "
        "here) and the 300 bytes Chromium counts for any response's headers. The sounds come after that mark: the page fetches each once, writes "
        "it into the game's files and only then registers the service worker, whose install asks for them "
        "again with `no-cache` and is answered \"not modified\", with no body.",
        "",
        "| figure | game page | floor page | game / floor | goal | verdict |",
        "|---|---|---|---|---|---|",
        f"| bytes before the first screen (bodies as sent, 300 a response for headers) | {size:,} | | "
        f"| at most 500,000 | {'met' if size <= 500000 else 'not met'} |",
        f"| its files gzipped (gzip -9 of each file's body) | {packed:,} | | | | |",
        f"| the whole site, bytes | {runs[-1]['site_bytes']:,} | | | at most 1,500,000 | "
        f"{'met' if runs[-1]['site_bytes'] <= 1500000 else 'not met'} |",
        f"| navigation to the first title frame (ms) | {title:.0f} | "
        f"{median_of(runs, 'floor_title_ms'):.0f} | | at most 1000 | {'met' if title <= 1000 else 'not met'} |",
    ]
    for screen, label in (("title", "title screen"), ("world", "world view with an encounter")):
        g = median_of(runs, screen, "game", "cpu")
        f = median_of(runs, screen, "floor", "cpu")
        lines.append(f"| CPU s per 10 s, renderer and GPU process, {label} | {g:.2f} | {f:.2f} | {g / f:.2f} "
                     f"| at most 1.2 | {'met' if g <= 1.2 * f else 'not met'} |")
    for screen, label in (("title", "title screen"), ("world", "world view")):
        g = median_of(runs, screen, "game", "ms_per_frame")
        f = median_of(runs, screen, "floor", "ms_per_frame")
        lines.append(f"| CPU ms per frame drawn, {label} | {g:.2f} | {f:.2f} | {g / f:.2f} | at most 1.2 "
                     f"| {'met' if g <= 1.2 * f else 'not met'} |")
    for screen, label in (("title", "title screen"), ("world", "world view")):
        lines.append(f"| frames drawn per second, {label} | {median_of(runs, screen, 'game', 'fps'):.1f} | "
                     f"{median_of(runs, screen, 'floor', 'fps'):.1f} | | | |")
    for screen, label in (("title", "title screen"), ("world", "world view")):
        calls = {who: frame_figure(runs, screen, who, 0) for who in ("game", "floor")}
        lines.append(f"| WebGL draw calls per frame drawn, {label} | {calls['game']} | {calls['floor']} "
                     f"| | | |")
    for screen, label in (("title", "title screen"), ("world", "world view")):
        quads = {who: frame_figure(runs, screen, who, 1) for who in ("game", "floor")}
        same = "same frames" if quads["game"] == quads["floor"] else "different frames"
        lines.append(f"| kinds of frame drawn, by quads a frame, {label} | {quads['game']} | "
                     f"{quads['floor']} | | equal | {same} |")
    if data.get("before"):
        lines += before_table(runs, data["before"], data["before_site_bytes"])
    lines += title_steps_table(runs)
    lines += [
        "",
        "CPU s per 10 s by process (median of the runs):",
        "",
        "| page | process | title screen | world view |",
        "|---|---|---|---|",
    ]
    for who in ("game", "floor"):
        for kind in ("renderer", "gpu-process", "browser", "other"):
            t = median_of([{"v": r["title"][who]["by_kind"].get(kind, 0.0)} for r in runs], "v")
            w = median_of([{"v": r["world"][who]["by_kind"].get(kind, 0.0)} for r in runs], "v")
            lines.append(f"| {who} | {kind} | {t:.2f} | {w:.2f} |")
    lines += [
        "",
        "Files the game's page fetched (last run): " + ", ".join(
            f"`{name}` {f['bytes']:,} ({f['gzip']:,} gzipped)" for name, f in sorted(files.items())) + ".",
        "",
        "Click-to-screen latency: from the moment the browser has taken a click's release (its "
        "`Input.dispatchMouseEvent` answered) to the swap time of the first frame of the browser's "
        "DevTools screencast that shows the click's effect in the watched area, clicks taking turns "
        "between the two pages, each after a random wait of 30 to 63 ms. The game's click plays the "
        "camp's dice (a message box opens) or dismisses it; the floor page switches between its title "
        "and world-view frames on the release and draws the next animation frame. The frame interval "
        "is the time between the swap of the frame that showed the effect and the frame before it "
        "(the uncertainty of that click). Goal: the game's 99th percentile at most the floor's plus the "
        "ticks the game waits by design (one for a normal click, two for a press and release within "
        f"one tick) plus two frames, a frame being the CPU the game's page spends on one world-view "
        f"frame in its renderer and GPU process ({frame_ms:.2f} ms, the table above).",
        "",
        "| program | hold (ms, asked / median) | clicks | p50 (ms) | p90 (ms) | p99 (ms) | max (ms) "
        "| frame interval, p50 / p99 (ms) | missed | goal: p99 at most (ms) | verdict |",
        "|---|---|---|---|---|---|---|---|---|---|---|",
    ]
    for hold, ticks in ((80, 1), (2, 2)):
        floor = lat[f"floor_{hold}"]
        for who in ("floor", "game"):
            e = lat[f"{who}_{hold}"]
            goal = ok = ""
            if who == "game":
                limit = floor["p99"] + ticks * TICK_MS + 2.0 * frame_ms
                goal = f"{limit:.1f}"
                ok = "met" if e["p99"] <= limit and e["missed"] == 0 else "not met"
            lines.append(f"| {who} page | {hold} / {e['held_ms']:.1f} | {e['clicks']} | {e['p50']:.1f} | "
                         f"{e['p90']:.1f} | {e['p99']:.1f} | {e['max']:.1f} | {e['gap_p50_ms']:.1f} / "
                         f"{e['gap_p99_ms']:.1f} | {e['missed']} | {goal} | {ok} |")
    return "\n".join(lines) + "\n"


def write_section(text):
    """Puts the section into BENCHMARKS.md in place of its earlier version,
    or at the end: the desktop's table keeps what follows its findings, and
    the web findings that follow this section are kept."""
    path = os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))),
                        "BENCHMARKS.md")
    with open(path) as f:
        old = f.read()
    start = old.find("\n## In a browser\n")
    if start >= 0:
        end = old.find("\n## ", start + 1)
        new = old[:start + 1] + text + ("\n" + old[end + 1:] if end >= 0 else "")
    else:
        new = old.rstrip("\n") + "\n\n" + text
    with open(path, "w") as f:
        f.write(new)


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--table":
        text = table(sys.argv[2])
        print(text)
        write_section(text)
        return
    if len(sys.argv) not in (5, 7):
        raise SystemExit(__doc__)
    before = (os.path.abspath(sys.argv[5]), sys.argv[6]) if len(sys.argv) == 7 else ()
    measure(os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2]), int(sys.argv[3]), sys.argv[4],
            *before)


if __name__ == "__main__":
    main()
