#!/usr/bin/env bash
# The real program with its three BMP pictures re-saved by ImageMagick's
# default BMP writer, as a player who edits the art would: a 124-byte
# information header, so the pixels start at byte 138. The title screen must
# equal its reference picture exactly, as with the pictures the build drew.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/screens_lib.sh"

e2e_work=$(mktemp -d /tmp/dunmark-resaved-XXXXXX)
mkdir -p "$e2e_work/bin"
cp -r "$build/gfx" "$e2e_work/gfx"
for art in font system icon; do
  file=$e2e_work/gfx/$art.bmp
  /usr/bin/convert "$file" "BMP:$file" || fail "ImageMagick could not re-save $art.bmp"
  offset=$(od -An -tu4 -j10 -N4 "$file" | tr -d ' ')
  [[ "$offset" == 138 ]] || fail "$art.bmp re-saved with its pixels at byte $offset, not 138"
done

start_xvfb
/usr/bin/convert -size 640x480 xc:black "png:$e2e_work/black.png"
start_frozen_game
game_window=$(wait_window "Norvik-104 DUNMARK!") || fail "no game window: $(cat "$e2e_work/out.txt" "$e2e_work/err.txt")"
wait_output_line "SE.message: Sound Engine is created!" || fail "start-up did not finish: $(cat "$e2e_work/err.txt")"
for art in font system icon; do
  grep -qxF "GE.message: Texture ../gfx/$art.bmp is loaded." "$e2e_work/out.txt" || fail "no loaded line for $art.bmp"
done
park_pointer
screen_step title 1.0

press_escape "$game_window"
wait_game
[[ "$game_code" == 0 ]] || fail "exit code $game_code after Escape"
echo "PASS"
