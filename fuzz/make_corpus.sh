#!/usr/bin/env bash
# Makes the seed corpus of the fuzz targets: make_corpus.sh MAKE_CORPUS_BIN OUT
# Images come from the make_corpus program; the MP3s are its tones encoded by
# lame, one of them with ID3 tags in front and behind, two joined from tracks
# of different formats.
set -euo pipefail
bin=$1
out=$2
rm -rf "$out"
"$bin" "$out"
mkdir -p "$out/mp3"
wav=$out/wav
lame --quiet -m m -b 8 "$wav/mono-8000.wav" "$out/mp3/mono-8000.mp3"
lame --quiet -b 32 "$wav/stereo-44100.wav" "$out/mp3/stereo-44100.mp3"
lame --quiet -m m -V 9 "$wav/mono-22050.wav" "$out/mp3/mono-22050-vbr.mp3"
# Longer tracks: many buffers of sound, and a file of more than one 32 KB read.
lame --quiet -b 32 "$wav/stereo-44100-long.wav" "$out/mp3/stereo-44100-long.mp3"
lame --quiet -m m -b 96 "$wav/mono-44100-long.wav" "$out/mp3/mono-44100-long.mp3"
lame --quiet -m m -b 16 --add-id3v2 --tt "Road" --ta "Dunmark" --tl "Seeds" \
  "$wav/mono-22050.wav" "$out/mp3/mono-22050-tagged.mp3"
# Tracks joined from two formats: the rate changes part way, or only the
# channel count.
cat "$out/mp3/mono-22050-vbr.mp3" "$out/mp3/stereo-44100.mp3" > "$out/mp3/joined-rates.mp3"
lame --quiet -t -m m -b 64 "$wav/mono-44100-long.wav" "$wav/mono.mp3"
lame --quiet -t -m j -b 64 "$wav/stereo-44100.wav" "$wav/stereo.mp3"
cat "$wav/mono.mp3" "$wav/stereo.mp3" > "$out/mp3/joined-channels.mp3"
rm -rf "$wav"
