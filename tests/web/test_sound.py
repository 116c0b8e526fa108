#!/usr/bin/env python3
"""The browser's sound engine, through the page's own entry for tests
(dunmark_play_music: music track 0 from the game's file system; the game
plays its own once its sounds arrive), and what the page plays, tapped:
- an MP3 made now by lame (a 1.5 s tone) plays whole: the audio the engine
  hands to Web Audio, counted by the distinct buffers its sources start, is
  as long as the browser's own decoding of the file; "End of file?" comes
  once, and the game goes on;
- silent before a gesture; on the seeded walk each screen's music and each action's effects, by
  cross-correlation with their files, 1.5 times clearer where they play than elsewhere; silent muted by
  the button or M, the button and the page's storage following, also after a reload;
- on a page without AudioContext, the sound engine's device error is the
  page's last word, in place of the canvas;
- each track of the site as the browser decodes it: peaks at most -1 dBFS, no
  DC offset, and a loop's seam (its last sample, then its first) no steeper
  than the steepest step inside it, with no silence there."""

import base64
import math
import os
import struct
import subprocess
import sys
import tempfile
import time
import wave

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'support'))
import webtest  # noqa: E402
from hearing import found, samples  # noqa: E402
from webtest import Game, Player, check  # noqa: E402

SECONDS = 1.5

# Sums the lengths of the distinct audio buffers that sources start.
COUNT_AUDIO = """
(function () {
  const seen = new WeakSet();
  window.__dunmarkAudio = { seconds: 0, buffers: 0 };
  const start = AudioBufferSourceNode.prototype.start;
  AudioBufferSourceNode.prototype.start = function () {
    if (this.buffer && !seen.has(this.buffer)) {
      seen.add(this.buffer);
      window.__dunmarkAudio.seconds += this.buffer.duration;
      window.__dunmarkAudio.buffers++;
    }
    return start.apply(this, arguments);
  };
})();
"""

NO_AUDIO = """
delete window.AudioContext;
delete window.webkitAudioContext;
"""

DECODED_SECONDS = """
const done = arguments[arguments.length - 1];
const bytes = Uint8Array.from(atob(arguments[0]), c => c.charCodeAt(0));
new OfflineAudioContext(2, 1, 44100).decodeAudioData(bytes.buffer).then(
  audio => done(audio.duration), error => done(-1));
"""


def make_mp3(folder):
    wav = os.path.join(folder, 'tone.wav')
    with wave.open(wav, 'wb') as out:
        out.setnchannels(2)
        out.setsampwidth(2)
        out.setframerate(44100)
        frames = bytearray()
        for i in range(int(44100 * SECONDS)):
            sample = int(12000 * math.sin(2 * math.pi * 440 * i / 44100))
            frames += struct.pack('<hh', sample, sample)
        out.writeframes(bytes(frames))
    mp3 = os.path.join(folder, 'tone.mp3')
    subprocess.run(['lame', '--quiet', '-b', '128', wav, mp3], check=True)
    with open(mp3, 'rb') as data:
        return data.read()


def plays_whole(site, mp3):
    page = webtest.Page(site, before=COUNT_AUDIO, flags=('--autoplay-policy=no-user-gesture-required',))
    try:
        page.open()
        for _ in range(3):
            page.frame()
        check(page.has_line('Sound Engine is created!'), 'no sound engine')
        page.driver.set_script_timeout(webtest.PATIENCE)
        decoded = page.driver.execute_async_script(DECODED_SECONDS, webtest.b64(mp3))
        check(decoded > SECONDS - 0.01, 'the browser decoded %.3f s of the tone' % decoded)
        page.js("Module.FS.writeFile('/gfx/tone.mp3', Uint8Array.from(atob(arguments[0]), "
                "c => c.charCodeAt(0)));", webtest.b64(mp3))
        page.js("Module.ccall('dunmark_play_music', null, ['string'], ['../gfx/tone.mp3'])")
        # Web Audio plays in real time: frames run on the driven clock, one
        # every real 1/60 s, until the end of the track and a second more.
        deadline = time.monotonic() + SECONDS + webtest.PATIENCE
        ended = None
        while time.monotonic() < deadline:
            page.frame()
            time.sleep(1.0 / 60)
            if ended is None and page.has_line('End of file?'):
                ended = time.monotonic()
            if ended is not None and time.monotonic() - ended > 1.0:
                break
        check(ended is not None, 'no "End of file?" in %.0f s: %s'
              % (SECONDS + webtest.PATIENCE, page.lines()[-5:]))
        audio = page.js('return window.__dunmarkAudio')
        ends = sum(1 for line in page.lines() if 'End of file?' in line)
        print('the engine started %d buffers, %.4f s of audio, for %.4f s decoded; '
              '"End of file?" %d time(s)' % (audio['buffers'], audio['seconds'], decoded, ends))
        check(abs(audio['seconds'] - decoded) < 0.001,
              'played %.4f s of %.4f s' % (audio['seconds'], decoded))
        check(ends == 1, '"End of file?" came %d times' % ends)
        check(page.canvas_shown() and page.message() is None, 'the game stopped: %s' % page.message())
    finally:
        page.close()


def device_error(site):
    page = webtest.Page(site, before=NO_AUDIO)
    try:
        page.open()
        for _ in range(3):
            page.frame()
        message = webtest.wait_for('the device error on the page', page.message)
        print('without AudioContext: %s' % message)
        check(message == 'SE.error: Cannot open device', 'the page says %r' % message)
        check(not page.canvas_shown(), 'the canvas still shows')
    finally:
        page.close()


TAP = """window.__tap = [];
const connect = AudioNode.prototype.connect;
AudioNode.prototype.connect = function (to) {
  if (to instanceof AudioDestinationNode && !this.tap) {
    this.tap = Object.assign(this.context.createScriptProcessor(4096, 1, 1), {onaudioprocess: e =>
      __tap.push(new Uint8Array(Float32Array.from(e.inputBuffer.getChannelData(0)).buffer))});
    __tap.rate = this.context.sampleRate;
    connect.call(connect.call(this, this.tap), to);
  }
  return connect.apply(this, arguments);
};
window.__take = () => btoa(__tap.splice(0).map(b => String.fromCharCode.apply(null, b)).join(''));"""
KEY_M = "['keydown', 'keyup'].forEach(t => dispatchEvent(new KeyboardEvent(t, {code: 'KeyM'})))"
# Each action, the effects heard after it ("~": under louder ones of its tick, not looked for), the music.
WALK = ((None, (), 'title.mp3'), (lambda page: Player(page).click((320, 240)), ('button.wav',), 'road.mp3'),
        (lambda page: Player(page).encounter_at(1), (), 'fight.mp3'),
        (lambda page: Player(page).click(Game.button_left), ('~button.wav', 'strike.wav', 'struck.wav'), 'fight.mp3'),
        (lambda page: Player(page).click(Game.button_middle), ('~button.wav', 'potion.wav'), 'fight.mp3'))
MUTING = ((lambda page: page.js("document.getElementById('sound').click()"), True),
          (lambda page: page.js(KEY_M), False), (lambda page: page.js(KEY_M), True), (lambda page: page.open(), True))


# Per track: peak (dBFS), DC offset, the seam's step, the steepest step inside, the silent frames at the seam.
DECODE = """const done = arguments[arguments.length - 1];
fetch(arguments[0]).then(r => r.arrayBuffer()).then(b => new OfflineAudioContext(2, 1, 44100).decodeAudioData(b))
.then(a => {
  const c = [...Array(a.numberOfChannels).keys()].map(i => a.getChannelData(i)), n = a.length;
  const steps = c.map(x => x.reduce((m, v, i) => i ? Math.max(m, Math.abs(v - x[i - 1])) : 0, 0));
  const silent = i => c.every(x => Math.abs(x[i]) < 16 / 32768);
  let run = 0;
  while (run < n && silent(run)) run++;
  for (let i = n - 1; i > 0 && silent(i); i--) run++;
  done([20 * Math.log10(Math.max(...c.map(x => x.reduce((m, v) => Math.max(m, Math.abs(v)), 0)))),
        Math.max(...c.map(x => Math.abs(x.reduce((s, v) => s + v, 0) / n))),
        Math.max(...c.map(x => Math.abs(x[0] - x[n - 1]))), Math.min(...steps), run]);
}, e => done(String(e)));"""


def decoded_by_the_browser(site, sfx):
    page = webtest.Page(site)
    try:
        page.open()
        page.driver.set_script_timeout(webtest.PATIENCE)
        for name in sorted(n for n in os.listdir(sfx) if n.endswith('.mp3')):
            peak, dc, seam, steepest, silent = page.driver.execute_async_script(DECODE, 'sfx/' + name)
            print('%s as the browser decodes it: peak %.1f dBFS, DC %.6f, seam %.4f, steepest step %.4f, '
                  '%d silent frames at the seam' % (name, peak, dc, seam, steepest, silent))
            check(peak <= -1 and dc < 0.001, '%s: peak %.1f dBFS, DC %.6f' % (name, peak, dc))
            check(name == 'game_over.mp3' or (seam <= steepest and silent < 16), '%s clicks at its seam' % name)
    finally:
        page.close()


def hear(page, action, seconds=2.5):
    action(page) if action else None
    [(page.frame(), time.sleep(1 / 60)) for _ in range(int(seconds * 60))]
    return np.frombuffer(base64.b64decode(page.js('return __take()')), '<f4')


def walk_heard(site, sfx):
    page = webtest.Page(site, before=TAP)
    try:
        page.open()
        webtest.wait_for('the sounds, then the site kept', lambda: hear(page, None, 0.05).size == 0 and page.js(
            'return navigator.serviceWorker.controller'))  # and silence until a gesture
        [page.mouse(kind, 5, 5) for kind in ('mousePressed', 'mouseReleased')]  # beside the canvas
        heard, rate = [hear(page, action) for action, _, _ in WALK], page.js('return __tap.rate')
        sounds = {name: samples(os.path.join(sfx, name), rate) for name in os.listdir(sfx)}
        scores = [{n: found(p if n.endswith('.wav') else p[-rate:], s) for n, s in sounds.items()} for p in heard]
        for score, (_, _, music) in zip(scores, WALK):
            check(max((n for n in score if n.endswith('.mp3')), key=score.get) == music, 'no %s: %s' % (music, score))
        for effect in set(name for _, effects, _ in WALK for name in effects if name[0] != '~'):
            plays = [s[effect] for s, (_, e, _) in zip(scores, WALK) if effect in e]
            other = [s[effect] for s, (_, e, _) in zip(scores, WALK) if not {effect, '~' + effect} & set(e)]
            check(min(plays) >= 1.5 * max(other), '%s: %.2f, elsewhere %.2f' % (effect, min(plays), max(other)))
        for number, (action, muted) in enumerate(MUTING):
            peak = np.abs(np.append(hear(page, action, 1.5)[-rate // 2:], 0)).max()
            state = page.js("return [document.getElementById('sound').ariaPressed, localStorage['dunmark.muted']]")
            check(state == [str(not muted).lower(), str(muted).lower()] and (peak < 1e-4) == muted,
                  'muting step %d: peak %.4f, the button pressed and muted kept %s' % (number, peak, state))
    finally:
        page.close()


def test():
    folder = tempfile.mkdtemp(prefix='dunmark-web-sound-')
    site = webtest.Site(webtest.site_dir())
    try:
        mp3 = make_mp3(folder)
        plays_whole(site, mp3)
        device_error(site)
        walk_heard(site, os.path.join(webtest.site_dir(), 'sfx'))
        decoded_by_the_browser(site, os.path.join(webtest.site_dir(), 'sfx'))
    finally:
        site.close()
        subprocess.run(['rm', '-rf', folder], check=False)


if __name__ == '__main__':
    webtest.run(test)
