#!/usr/bin/env bash
# Makes the seed corpus of the fuzz targets: make_corpus.sh MAKE_CORPUS_BIN OUT
# Images come from the make_corpus program, some of its BMPs also re-saved by
# ImageMagick; the MP3s are its tones encoded by lame, one of them with ID3
# tags in front and behind, two joined from tracks of different formats.
set -euo pipefail
bin=$1
out=$2
rm -rf "$out"
"$bin" "$out"

# Some BMP seeds re-saved by ImageMagick, as painting programs write them:
# BMP3 (40-byte header), its default BMP (124-byte header, pixels from byte
# 138) and BMP2 (the OS/2 core header, which the loader refuses).
bmp=$out/bmp
resaved=$out/resaved
mkdir -p "$resaved"
for seed in auto-4x2 auto-5x3; do
  tail -c +2 "$bmp/$seed" >"$resaved/$seed.bmp"
  for format in BMP3 BMP BMP2; do
    /usr/bin/convert "$resaved/$seed.bmp" "$format:$resaved/$seed-$format.bmp"
    { printf '\001'; cat "$resaved/$seed-$format.bmp"; } >"$bmp/$seed-$format"
  done
done
# An image and its mask, both with the 124-byte header: the mode byte, the
# image's length in two bytes, the image, the mask.
image_length=$(od -An -tu2 -j1 -N2 "$bmp/mask-3x2" | tr -d ' ')
tail -c +4 "$bmp/mask-3x2" | head -c "$image_length" >"$resaved/image.bmp"
tail -c +$((4 + image_length)) "$bmp/mask-3x2" >"$resaved/mask.bmp"
/usr/bin/convert "$resaved/image.bmp" "BMP:$resaved/image-BMP.bmp"
/usr/bin/convert "$resaved/mask.bmp" "BMP:$resaved/mask-BMP.bmp"
image_length=$(stat -c %s "$resaved/image-BMP.bmp")
{
  printf '\002'
  printf "\\$(printf %03o $((image_length & 255)))\\$(printf %03o $((image_length >> 8)))"
  cat "$resaved/image-BMP.bmp" "$resaved/mask-BMP.bmp"
} >"$bmp/mask-3x2-BMP"
rm -rf "$resaved"

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
# The short tones stay as the seeds of the effects' WAV reader.
rm -f "$wav"/*-long.wav "$wav"/*.mp3

# The saved run has no generated seeds: its seeds are the kept ones of
# fuzz/corpus/save.
mkdir -p "$out/save"
