// The second engine: Debian's Firefox ESR, driven over WebDriver BiDi by
// puppeteer-core, on an X display (scripts/with_xvfb.sh: Firefox's WebGL
// needs one here). The page's clocks and frames are the test's (clock.js,
// injected before the page's scripts), and the game is played as far as
// the smoke test goes: the title frame must equal the desktop's reference,
// pixel for pixel but for pixels off by 1 (no mask twin here: they are
// counted and bounded by the title's partial-alpha pixels), one click brings
// the world card (its reference, the knight left out as on the desktop),
// and no request leaves the origin. Then, once the service worker keeps the
// site, it prints "smoke_firefox: kept" and waits for a line on its input:
// the caller has stopped the server. A reload must bring the kept run back
// (the world card, the same saved numbers), Escape say goodbye and offer
// Continue, and New game play from the title to the world card again, all
// from the kept site. The site is served by the caller (test_firefox.py,
// with scripts/serve_site.py).
//   node smoke_firefox.mjs ORIGIN SOURCE_DIR
import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import path from 'node:path';
import { createInterface } from 'node:readline';
import puppeteer from 'puppeteer-core';

const [origin, source] = process.argv.slice(2);
const frozenMs = 1768046400 * 1000;
const frameMs = 1000 / 60;
// The title's pixels blended with partial alpha, as the screen walk's twin
// counts them (web_mask_frames): the most that may be off by 1.
const titleBlended = 115296;

function reference(name) {
  const file = path.join(source, 'tests', 'e2e', 'screens', name + '.png');
  return execFileSync('convert', [file, '-depth', '8', 'rgb:-']).toString('base64');
}

function ignored(name) {
  const mask = Buffer.alloc(640 * 480);
  let any = false;
  for (const line of readFileSync(path.join(source, 'tests', 'e2e', 'screens', 'masks.txt'), 'utf8').split('\n')) {
    const words = line.trim().split(/\s+/);
    if (words[0] !== name) continue;
    const [x, y, w, h] = words.slice(1, 5).map(Number);
    for (let row = y; row < y + h; row++) mask.fill(1, row * 640 + x, row * 640 + x + w);
    any = true;
  }
  return any ? mask.toString('base64') : null;
}

const failures = [];
const requests = [];
const browser = await puppeteer.launch({
  browser: 'firefox', executablePath: '/usr/bin/firefox-esr', protocol: 'webDriverBiDi',
  headless: !process.env.DISPLAY,
  extraPrefsFirefox: { 'webgl.force-enabled': true },
});
try {
  console.log('firefox: ' + await browser.version());
  const page = await browser.newPage();
  await page.setViewport({ width: 1000, height: 700 });
  page.on('request', (request) => requests.push(request.url()));
  const clock = readFileSync(path.join(source, 'tests', 'web', 'clock.js'), 'utf8')
    .replace('__FROZEN_MS__', String(frozenMs));
  await page.evaluateOnNewDocument(clock);
  const frame = () => page.evaluate((ms) => __dunmarkTest.frame(ms), frameMs);

  async function reach(name, patience) {
    await page.evaluate((rgb, mask) => __dunmarkTest.setReference(rgb, mask), reference(name), ignored(name));
    let best = null;
    for (let i = 0; i < patience; i++) {
      const result = await page.evaluate(() => __dunmarkTest.compare(false));
      if (result.far === 0 && result.near <= titleBlended) {
        console.log(`firefox: ${name} matches its reference after ${i} frames, ${result.near} pixels off by 1`);
        return;
      }
      if (!best || result.far < best.far) best = result;
      await frame();
    }
    failures.push(`${name} never matched: the closest frame had ${best.far} pixels off by more than 1`);
  }

  // A page just loaded, through its two frames of start-up.
  async function startUp() {
    // Polled on a timer: the page's animation frames are the test's.
    await page.waitForFunction(() => window.__dunmarkTest && __dunmarkTest.waiting() > 0,
      { polling: 100 });
    await frame();
    await frame();
  }

  // From a page just loaded to the world card, by one click on the title.
  async function playToWorldCard() {
    await startUp();
    await reach('title', 300);
    const box = await page.evaluate(() => {
      const r = document.getElementById('canvas').getBoundingClientRect();
      return [r.left, r.top, r.width, r.height];
    });
    await page.mouse.click(box[0] + box[2] / 2, box[1] + box[3] / 2);
    await reach('world_card', 120);
  }

  // The run the game keeps in the page's storage, but for the lines and
  // numbers that move on their own: the timer, the animation frame and the
  // checksum over them.
  const keptRun = () => page.evaluate(() => localStorage.getItem('dunmark.run')).then((text) =>
    text && text.split('\n').filter((line) => !line.startsWith('checksum')).map((line) =>
      line.startsWith('record ') ? line.split(' ').filter((_, i) => i !== 1 && i !== 3).join(' ') : line)
      .join('\n'));

  await page.goto(origin + '/');
  await playToWorldCard();
  const run = await keptRun();
  if (!run) failures.push('the run on the world card is not saved');
  await page.waitForFunction(() => navigator.serviceWorker.controller &&
    navigator.serviceWorker.controller.state === 'activated', { polling: 100, timeout: 60000 });
  console.log('smoke_firefox: kept');
  const input = createInterface({ input: process.stdin });
  await input[Symbol.asyncIterator]().next();
  input.close();

  // Offline, a reload brings the kept run back: the world card, the same run.
  let before = failures.length;
  await page.reload();
  await startUp();
  await reach('world_card', 120);
  const restored = await page.evaluate(() => __dunmarkTest.lines().some((line) =>
    line.includes('A saved run of version')));
  const same = (await keptRun()) === run;
  if (!restored || !same) failures.push(`the reload did not restore the run: restored ${restored}, the same run ${same}`);
  console.log(`firefox: offline, the reload brought the run back to the world card: ${failures.length === before}`);

  await page.keyboard.press('Escape');
  await frame();
  await page.waitForFunction(() => document.getElementById('message-text').textContent === 'goodbye',
    { timeout: 20000 }).catch(() => failures.push('no goodbye on the page'));
  const offered = await page.evaluate(() => [document.getElementById('again').textContent,
    !document.getElementById('new-game').hidden]);
  if (offered[0] !== 'Продолжить' || !offered[1]) failures.push('after Escape the page offers ' + offered);

  // New game forgets the run, and the reload it makes plays from the title.
  before = failures.length;
  await Promise.all([page.waitForNavigation(), page.click('#new-game')]);
  await playToWorldCard();
  console.log(`firefox: offline, New game played to the world card: ${failures.length === before}`);
  const foreign = requests.filter((url) => !url.startsWith(origin + '/'));
  if (foreign.length) failures.push('requests left the origin: ' + foreign.join(' '));
  console.log(`firefox: ${requests.length} requests, all to the origin: ${foreign.length === 0}`);
} finally {
  await browser.close();
}
if (failures.length) {
  console.log('smoke_firefox: FAIL: ' + failures.join('; '));
  process.exit(1);
}
console.log('smoke_firefox: PASS');
