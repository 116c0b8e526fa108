#!/usr/bin/env python3
"""What a player hears, found in what the game played: the ears both sound
tests share, the desktop's (tests/e2e/test_sound.sh, on OpenAL Soft's wave
output) and the page's (tests/web/test_sound.py, on its tapped audio graph).
Sounds are compared as mono signals at one rate, an effect or a track found
where its normalized cross-correlation with the capture peaks.

  hearing.py CAPTURE.wav silent [SECONDS]
      passes when every sample (of the last SECONDS, if given) is 0;
  hearing.py CAPTURE.wav EFFECT.wav... -- TRACK.mp3...
      passes when each effect is heard in the order given, each at least a
      tenth of a second after the one before, and each track in the order
      given, each second of the capture taken as the track it matches best."""

import os
import subprocess
import sys
import tempfile

import numpy as np

# Matched at a quarter of the output's rate: the game's sounds lie far below
# 5 kHz, and above their band resamplers differ.
RATE = 11025
EFFECT_MATCH = 0.6
MUSIC_MATCH = 0.5


def samples(path, rate=RATE):
    """A 16-bit WAV file (plain or extensible) or an MP3 (decoded by lame),
    channels summed, resampled to `rate`."""
    if path.endswith('.mp3'):
        with tempfile.TemporaryDirectory() as folder:
            wav = os.path.join(folder, 'decoded.wav')
            subprocess.run(['lame', '--quiet', '--decode', path, wav], check=True)
            return samples(wav, rate)
    with open(path, 'rb') as f:
        data = f.read()
    at, channels, source_rate, pcm = 12, 0, 0, b''
    while at + 8 <= len(data):
        size = int.from_bytes(data[at + 4:at + 8], 'little')
        if data[at:at + 4] == b'fmt ':
            channels = int.from_bytes(data[at + 10:at + 12], 'little')
            source_rate = int.from_bytes(data[at + 12:at + 16], 'little')
        elif data[at:at + 4] == b'data':
            pcm = data[at + 8:at + 8 + size]
        at += 8 + size + (size & 1)
    frames = len(pcm) // (2 * channels)
    x = np.frombuffer(pcm[:frames * 2 * channels], '<i2').reshape(-1, channels).sum(axis=1) / 32768.0
    step = source_rate / rate
    if step >= 2:
        x = np.convolve(x, np.ones(int(step)) / int(step), 'same')
    return np.interp(np.arange(0, len(x) - 1, step), np.arange(len(x)), x)


def ncc(haystack, needle):
    """How closely haystack[t:t + len(needle)] follows the needle, for each t."""
    size = 1 << (len(haystack) + len(needle)).bit_length()
    corr = np.fft.irfft(np.fft.rfft(haystack, size) * np.conj(np.fft.rfft(needle, size)), size)
    energy = np.concatenate(([0], np.cumsum(haystack * haystack)))
    window = np.maximum(energy[len(needle):] - energy[:-len(needle)], len(needle) * 1e-6)
    return corr[:len(haystack) - len(needle) + 1] / np.sqrt(window) / np.linalg.norm(needle)


def found(a, b):
    """The best match of the shorter signal anywhere in the longer one."""
    return np.max(ncc(max(a, b, key=len), min(a, b, key=len)))


def effects_in_order(capture, paths):
    at, tenth = 0, RATE // 10
    for path in paths:
        effect = samples(path)
        match = ncc(capture, effect)
        good = np.nonzero(match[at:] >= EFFECT_MATCH)[0]
        if not good.size:
            return 'no %s after %.2f s (best %.2f)' % (path, at / RATE, match[at:].max(initial=0))
        first = at + good[0]
        at = first + int(np.argmax(match[first:first + tenth]))
        print('%s at %.3f s, match %.2f' % (path, at / RATE, match[at]))
        at += min(len(effect), tenth)
    return None


def music_in_order(capture, paths):
    tracks = [np.tile(samples(path), 2) for path in paths]
    heard = []
    for start in range(0, len(capture) - RATE + 1, RATE):
        scores = [found(track, capture[start:start + RATE]) for track in tracks]
        best = int(np.argmax(scores)) if max(scores) > MUSIC_MATCH else None
        print('second %d: %s' % (start // RATE, paths[best] if best is not None else '-'))
        if best is not None and (not heard or heard[-1] != best):
            heard.append(best)
    following = 0
    for track in heard:
        following += following < len(paths) and track == following
    return None if following == len(paths) else 'the music was not heard in order: no %s' % paths[following]


def main(argv):
    if len(argv) > 2 and argv[2] == 'silent':
        x = samples(argv[1], 44100)
        tail = x[-int(float(argv[3]) * 44100):] if len(argv) > 3 else x
        print('%d of the last %d samples are not silent' % (np.count_nonzero(tail), len(tail)))
        return 0 if len(tail) and not np.count_nonzero(tail) else 1
    split = argv.index('--')
    capture = samples(argv[1])
    failure = effects_in_order(capture, argv[2:split]) or music_in_order(capture, argv[split + 1:])
    if failure:
        print('hearing: ' + failure, file=sys.stderr)
    return 1 if failure else 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
