#!/usr/bin/env python3
"""The browser's sound engine, through the page's own entry for tests
(dunmark_play_music: music track 0 from the game's file system; the game
plays no music):
- an MP3 made now by lame (a 1.5 s tone) plays whole: the audio the engine
  hands to Web Audio, counted by the distinct buffers its sources start, is
  as long as the browser's own decoding of the file; "End of file?" comes
  once, and the game goes on;
- on a page without AudioContext, the sound engine's device error is the
  page's last word, in place of the canvas."""

import math
import os
import struct
import subprocess
import sys
import tempfile
import time
import wave

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import webtest  # noqa: E402
from webtest import check  # noqa: E402

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


def test():
    folder = tempfile.mkdtemp(prefix='dunmark-web-sound-')
    site = webtest.Site(webtest.site_dir())
    try:
        mp3 = make_mp3(folder)
        plays_whole(site, mp3)
        device_error(site)
    finally:
        site.close()
        subprocess.run(['rm', '-rf', folder], check=False)


if __name__ == '__main__':
    webtest.run(test)
