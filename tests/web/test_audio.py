#!/usr/bin/env python3
"""The page's sound as it leaves the game's audio graph, tapped beside the
destination: nothing before the first gesture; the seeded walk (title, world
card, first fight, a blow, a potion) holds each effect, found by
cross-correlation with its own file, in the part heard after its action and
in no other (its score there at least CLEAR times its best where it does not
play), and each screen's music; muted by the sound button or by M,
silence, the button and the page's storage following, also after a reload.
Each MP3 decoded by Chromium: peaks at most -1 dBFS, no DC offset, a loop's
join no steeper than the track itself."""

import base64
import os
import subprocess
import sys
import tempfile
import time
import wave

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import webtest  # noqa: E402
from webtest import Player, check  # noqa: E402

TAP = """
window.__tap = { chunks: [], rate: 0 };
const connect = AudioNode.prototype.connect;
AudioNode.prototype.connect = function (target) {
  if (target instanceof AudioDestinationNode && !this.tapped) {
    this.tapped = true;
    const tap = this.context.createScriptProcessor(4096, 1, 1);
    __tap.rate = this.context.sampleRate;
    tap.onaudioprocess = e => __tap.chunks.push(Float32Array.from(e.inputBuffer.getChannelData(0)));
    connect.call(this, tap);
    connect.call(tap, target);
  }
  return connect.apply(this, arguments);
};
window.__take = function () {
  let text = '';
  __tap.chunks.splice(0).forEach(c => { text += String.fromCharCode.apply(null, new Uint8Array(c.buffer)); });
  return btoa(text);
};
"""
DECODED = """
const done = arguments[arguments.length - 1];
Promise.all(arguments[0].map(name => fetch('sfx/' + name).then(r => r.arrayBuffer())
  .then(b => new OfflineAudioContext(2, 1, 44100).decodeAudioData(b)).then(audio => {
    let peak = 0, sum = 0, steepest = 0, join = 0, count = 0;
    for (let c = 0; c < audio.numberOfChannels; c++) {
      const x = audio.getChannelData(c);
      x.forEach((v, i) => { peak = Math.max(peak, Math.abs(v)); sum += v;
                            steepest = Math.max(steepest, i ? Math.abs(v - x[i - 1]) : 0); });
      join = Math.max(join, Math.abs(x[0] - x[x.length - 1]));
      count += x.length;
    }
    return [name, peak, sum / count, join, steepest];
  }))).then(done);
"""
FOUND = 0.5  # normalised cross-correlation of the music with what was heard
CLEAR = 1.5
# What is heard after each action: its effects, and the music of its screen.
# "~" marks an effect that plays under louder ones of the same tick: the
# button's short click is neither looked for nor ruled out there.
WALK = (('before the title is clicked', ('header',), (), 'title.mp3'),
        ('the title clicked', (320, 240), ('button.wav',), 'road.mp3'),
        ('in the first fight', None, (), 'fight.mp3'),
        ('a blow', webtest.Game.button_left, ('~button.wav', 'strike.wav', 'struck.wav'), 'fight.mp3'),
        ('a potion', webtest.Game.button_middle, ('~button.wav', 'potion.wav'), 'fight.mp3'))

CHECKED = tuple(sorted(set(name for walked in WALK for name in walked[2] if name[0] != '~')))


def samples(path, rate):
    """A sound file's samples, mono, at the rate heard (MP3 decoded by lame)."""
    if path.endswith('.mp3'):
        wav = tempfile.mktemp(suffix='.wav')
        subprocess.run(['lame', '--quiet', '--decode', path, wav], check=True)
        path = wav
    with wave.open(path) as sound:
        x = np.frombuffer(sound.readframes(sound.getnframes()), '<i2').reshape(-1, sound.getnchannels())
        at = np.arange(0, len(x) - 1, sound.getframerate() / rate)
        return np.interp(at, np.arange(len(x)), x.mean(axis=1) / 32768.0)


def found(heard, sound):
    """The best normalised cross-correlation of the shorter within the longer."""
    a, b = (heard, sound) if len(heard) >= len(sound) else (sound, heard)
    size = 1 << (len(a) + len(b)).bit_length()
    corr = np.fft.irfft(np.fft.rfft(a, size) * np.conj(np.fft.rfft(b, size)), size)[:len(a) - len(b) + 1]
    energy = np.concatenate(([0], np.cumsum(a * a)))
    window = np.sqrt(np.maximum(energy[len(b):] - energy[:-len(b)], len(b) * 1e-6))  # -60 dBFS at least
    return float(np.max(corr / (window * np.linalg.norm(b))))


def hear(page, seconds):
    for _ in range(int(seconds * 60)):
        page.frame()
        time.sleep(1 / 60)
    return np.frombuffer(base64.b64decode(page.js('return __take()')), '<f4')


def act(page, player, action):
    if action == ('header',):
        page.mouse('mousePressed', 5, 5)
        page.mouse('mouseReleased', 5, 5)
    elif action:
        player.click(action)
    else:
        player.encounter_at(1)


def muted(page, by_key, expected):
    if by_key:
        for kind in ('keyDown', 'keyUp'):
            page.driver.execute_cdp_cmd('Input.dispatchKeyEvent', {
                'type': kind, 'key': 'm', 'code': 'KeyM', 'windowsVirtualKeyCode': 77})
    elif by_key is not None:
        page.js("document.getElementById('sound').click()")
    heard = hear(page, 1.5)[-48000:]
    state = page.js("return [document.getElementById('sound').getAttribute('aria-pressed'), "
                    "localStorage.getItem('dunmark.muted')]")
    print('muted %s (by %s): peak %.4f; button and storage %s' % (expected, by_key, np.abs(heard).max(), state))
    check(state == [str(not expected).lower(), str(expected).lower()], 'the button and storage: %s' % state)
    check((np.abs(heard).max() < 1e-4) == expected, 'muted %s, yet the peak heard is %.4f' % (expected, np.abs(heard).max()))


def start(page, player, names):
    """The page opened, to its first screen and until the sounds arrived."""
    page.open()
    player.frames(3)
    webtest.wait_for('the sounds', lambda: page.js(
        "return performance.getEntriesByType('resource').filter(e => e.name.includes('/sfx/')).length") == len(names))


def walk(page, site_sfx):
    player = Player(page)
    names = sorted(os.listdir(site_sfx))
    start(page, player, names)
    check(len(hear(page, 1.0)) == 0, 'sound before the first gesture')
    heard = []
    for what, action, _, _ in WALK:
        act(page, player, action)
        heard.append(hear(page, 2.5))
    rate = page.js('return __tap.rate')
    sounds = {name: samples(os.path.join(site_sfx, name), rate) for name in names}
    scores = []
    for (what, _, effects, music), part in zip(WALK, heard):
        scores.append({name: found(part if name.endswith('.wav') else part[-rate:], sound)
                       for name, sound in sounds.items()})
        print('%s: %s' % (what, ', '.join('%s %.2f' % (name, scores[-1][name]) for name in CHECKED + (music,))))
        tracks = {name: score for name, score in scores[-1].items() if name.endswith('.mp3')}
        check(max(tracks, key=tracks.get) == music and tracks[music] >= FOUND, '%s: music %s' % (what, tracks))
    for effect in CHECKED:
        plays = [score[effect] for score, walked in zip(scores, WALK) if effect in walked[2]]
        silent = [score[effect] for score, walked in zip(scores, WALK) if not {effect, '~' + effect} & set(walked[2])]
        check(min(plays) >= CLEAR * max(silent), '%s: %.2f where it plays, %.2f where not' % (effect, min(plays), max(silent)))
    for by_key, expected in ((False, True), (True, False), (True, True)):
        muted(page, by_key, expected)
    start(page, player, names)
    act(page, player, ('header',))
    muted(page, None, True)


def decoded(page, site_sfx, looped):
    page.driver.set_script_timeout(webtest.PATIENCE)
    tracks = sorted(name for name in os.listdir(site_sfx) if name.endswith('.mp3'))
    for name, peak, mean, join, steepest in page.driver.execute_async_script(DECODED, tracks):
        print('%s: peak %.1f dBFS, mean %.5f, join %.4f, steepest %.4f'
              % (name, 20 * np.log10(peak), mean, join, steepest))
        check(peak <= 10 ** (-1 / 20.0) and abs(mean) < 0.002, '%s: peak %.3f, mean %.5f' % (name, peak, mean))
        check(name not in looped or join <= steepest, '%s: its loop joins with a click' % name)


def test():
    site = webtest.Site(webtest.site_dir())
    page = webtest.Page(site, before=TAP)
    sfx = os.path.join(webtest.site_dir(), 'sfx')
    with open(os.path.join(webtest.SOURCE, 'app', 'sounds.txt')) as listing:
        looped = [row.split()[2] for row in listing if row.split()[-1:] == ['loop']]
    try:
        walk(page, sfx)
        decoded(page, sfx, looped)
    finally:
        page.close()
        site.close()


if __name__ == '__main__':
    webtest.run(test)
