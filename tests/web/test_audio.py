#!/usr/bin/env python3
"""The page's sound, tapped where its audio graph meets the destination: silent before a gesture; on
the seeded walk each screen's music and each action's effects, cross-correlated with their files and
CLEAR times clearer where they play than elsewhere; silent when muted by the button or M, and after
a reload, the button and the page's storage following."""
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
from webtest import Game, Player, check  # noqa: E402

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
CLEAR = 1.5
# Each action, the effects heard after it ("~": under louder ones of its tick, not looked for) and the music.
WALK = (('gesture', (), 'title.mp3'), ((320, 240), ('button.wav',), 'road.mp3'), ('fight', (), 'fight.mp3'),
        (Game.button_left, ('~button.wav', 'strike.wav', 'struck.wav'), 'fight.mp3'),
        (Game.button_middle, ('~button.wav', 'potion.wav'), 'fight.mp3'))
MUTING = (('button', True), ('KeyM', False), ('KeyM', True), ('reload', True))


def samples(path, rate):
    if path.endswith('.mp3'):
        wav = os.path.join(tempfile.gettempdir(), 'dunmark-test-' + os.path.basename(path) + '.wav')
        path = subprocess.run(['lame', '--quiet', '--decode', path, wav], check=True).args[-1]
    with wave.open(path) as f:
        x = np.frombuffer(f.readframes(f.getnframes()), '<i2').reshape(-1, f.getnchannels()).mean(axis=1)
        return np.interp(np.arange(0, len(x) - 1, f.getframerate() / rate), np.arange(len(x)), x / 32768)


def found(a, b):
    """The best normalised cross-correlation of b along a, the longer."""
    a, b, size = max(a, b, key=len), min(a, b, key=len), 1 << (len(a) + len(b)).bit_length()
    corr = np.fft.irfft(np.fft.rfft(a, size) * np.conj(np.fft.rfft(b, size)), size)[:len(a) - len(b) + 1]
    energy = np.concatenate(([0], np.cumsum(a * a)))
    return np.max(corr / np.sqrt(np.maximum(energy[len(b):] - energy[:-len(b)], len(b) * 1e-6)) / np.linalg.norm(b))


def hear(page, action, seconds=2.5):
    """What the page played in the seconds after the action, its frames on the real clock."""
    if action in ('open', 'reload'):
        page.open()
        [page.frame() for _ in range(3)]
        webtest.wait_for('the sounds', lambda: page.js("return performance.getEntriesByType('resource')"
                         ".filter(e => e.name.includes('/sfx/')).length") == len(os.listdir(page.sfx)))
    if action in ('gesture', 'reload'):
        [page.mouse(kind, 5, 5) for kind in ('mousePressed', 'mouseReleased')]
    elif action == 'KeyM':
        [page.driver.execute_cdp_cmd('Input.dispatchKeyEvent', {'type': kind, 'code': 'KeyM', 'key': 'm'})
         for kind in ('keyDown', 'keyUp')]
    elif action in ('button', 'fight'):
        page.js("document.getElementById('sound').click()") if action == 'button' else Player(page).encounter_at(1)
    elif action != 'open':
        Player(page).click(action)
    [(page.frame(), time.sleep(1 / 60)) for _ in range(int(seconds * 60))]
    return np.frombuffer(base64.b64decode(page.js('return __take()')), '<f4')


def test():
    site = webtest.Site(webtest.site_dir())
    page = webtest.Page(site, before=TAP)
    page.sfx = os.path.join(webtest.site_dir(), 'sfx')
    try:
        check(len(hear(page, 'open', 1)) == 0, 'sound before the first gesture')
        heard, rate = [hear(page, action) for action, _, _ in WALK], page.js('return __tap.rate')
        sounds = {name: samples(os.path.join(page.sfx, name), rate) for name in os.listdir(page.sfx)}
        scores = [{n: found(part if n.endswith('.wav') else part[-rate:], s) for n, s in sounds.items()}
                  for part in heard]
        for score, (_, _, music) in zip(scores, WALK):
            print('heard: ' + ', '.join('%s %.2f' % (n, score[n]) for n in sorted(score) if score[n] > 0.5))
            check(max((n for n in score if n.endswith('.mp3')), key=score.get) == music, 'no %s: %s' % (music, score))
        for effect in set(name for _, effects, _ in WALK for name in effects if name[0] != '~'):
            plays = [s[effect] for s, (_, effects, _) in zip(scores, WALK) if effect in effects]
            other = [s[effect] for s, (_, e, _) in zip(scores, WALK) if not {effect, '~' + effect} & set(e)]
            check(min(plays) >= CLEAR * max(other), '%s: %.2f, elsewhere %.2f' % (effect, min(plays), max(other)))
        for action, muted in MUTING:
            peak = np.abs(hear(page, action, 1.5)[-rate // 2:]).max()
            state = page.js("return [document.getElementById('sound').ariaPressed, localStorage['dunmark.muted']]")
            print('%s: peak %.4f; the button pressed, muted kept: %s' % (action, peak, state))
            check(state == [str(not muted).lower(), str(muted).lower()] and (peak < 1e-4) == muted, 'muted? ' + action)
    finally:
        page.close()
        site.close()


if __name__ == '__main__':
    webtest.run(test)
