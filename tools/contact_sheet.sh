#!/bin/sh
# Builds the game's pictures and writes one enlarged review sheet of them:
# every creature frame (cell grid drawn over), the icons, the interface
# sheet, the whole font grid, the title picture and the seven terrains.
#
#   tools/contact_sheet.sh [BUILD_DIR] [OUTPUT_PNG]
#
# BUILD_DIR defaults to ./build, OUTPUT_PNG to BUILD_DIR/contact-sheet.png.
set -eu
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${1:-$source_dir/build}
output=${2:-$build_dir/contact-sheet.png}
convert=/usr/bin/convert

cmake -S "$source_dir" -B "$build_dir" >/dev/null
cmake --build "$build_dir" --target art -j2 >/dev/null
gfx=$build_dir/gfx
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Lines on cell borders, in the enlarged picture's pixels.
grid() {
    scale=$1 width=$2 height=$3 cellw=$4 cellh=$5
    lines=""
    x=0
    while [ "$x" -le "$width" ]; do
        lines="$lines line $((x * scale)),0 $((x * scale)),$((height * scale))"
        x=$((x + cellw))
    done
    y=0
    while [ "$y" -le "$height" ]; do
        lines="$lines line 0,$((y * scale)) $((width * scale)),$((y * scale))"
        y=$((y + cellh))
    done
    echo "$lines"
}

$convert "$gfx/char.png" -background '#3c5a3c' -flatten -scale 400% \
    -fill none -stroke '#6c8a6c' -draw "$(grid 4 288 128 24 32)" "$work/1-creatures.png"
$convert "$gfx/icon.bmp" -scale 500% \
    -fill none -stroke '#404040' -draw "$(grid 5 80 80 20 20)" "$work/2-icons.png"
$convert "$gfx/system.bmp" -scale 500% \
    -fill none -stroke '#808080' -draw "$(grid 5 64 64 16 16)" "$work/3-system.png"
$convert "$gfx/font.bmp" -scale 400% \
    -fill none -stroke '#303030' -draw "$(grid 4 192 192 12 12)" "$work/4-font.png"
n=0
for picture in title grass forest snow swamp desert wasteland galaxy; do
    n=$((n + 1))
    $convert "$gfx/$picture.png" -scale 300% "$work/5-$n-$picture.png"
done
$convert "$work"/2-icons.png "$work"/3-system.png -background '#202020' -gravity north \
    -splice 16x0 +append "$work/2-small.png"
rm "$work/2-icons.png" "$work/3-system.png"
$convert "$work"/1-creatures.png "$work"/2-small.png "$work"/4-font.png "$work"/5-*.png \
    -background '#202020' -gravity center -splice 0x16 -append +repage "$output"
echo "$output"
