#!/bin/sh
# SPDX-License-Identifier: MIT
# Makes the installed pictures of resources/htmldata: four tileable page backgrounds and the 160 x 120
# picture that stands for a sound file. Needs ImageMagick's convert; the results are committed, so this
# only runs again when a picture is to change. Noise is seeded so that reruns give the same pictures.
set -eu

out="$(cd "$(dirname "$0")/.." && pwd)/resources/htmldata"
mkdir -p "$out"
jpeg="-type TrueColor -strip -sampling-factor 2x2 -quality 80"

# cyber: a dark blue circuit grid; lines on the tile's edges meet their neighbours when tiled.
convert -size 128x128 xc:'#0b1030' \
    -stroke '#1f6fd0' -strokewidth 1 \
    -draw 'line 0,0 127,0' -draw 'line 0,0 0,127' \
    -draw 'line 0,64 127,64' -draw 'line 64,0 64,127' \
    -stroke '#3fb8ff' -fill none \
    -draw 'rectangle 24,24 40,40' -draw 'rectangle 88,88 104,104' \
    -draw 'line 40,32 64,32' -draw 'line 88,96 64,96' \
    -fill '#3fb8ff' -stroke none \
    -draw 'circle 64,64 67,64' -draw 'circle 0,0 3,0' -draw 'circle 128,0 125,0' \
    -draw 'circle 0,128 3,128' -draw 'circle 128,128 125,128' \
    $jpeg "$out/cyber.jpg"

# usa: red and slate stripes under a blue field with white stars (dark enough for the page's white text);
# 7 stripes of 20 rows tile vertically.
convert -size 160x140 xc:'#4a4e6a' \
    -fill '#9a1e2e' \
    -draw 'rectangle 0,0 159,19' -draw 'rectangle 0,40 159,59' \
    -draw 'rectangle 0,80 159,99' -draw 'rectangle 0,120 159,139' \
    -fill '#262a5a' -draw 'rectangle 0,0 63,59' \
    -fill white \
    -draw 'circle 12,12 15,12' -draw 'circle 36,12 39,12' -draw 'circle 24,30 27,30' \
    -draw 'circle 48,30 51,30' -draw 'circle 12,48 15,48' -draw 'circle 36,48 39,48' \
    $jpeg "$out/usa.jpg"

# natural: soft leafy greens; blurring with tiled edges keeps the noise seamless.
convert -size 128x128 -seed 11 xc: +noise Random -channel G -separate +channel \
    -virtual-pixel tile -blur 0x5 -auto-level \
    -colorspace sRGB -type TrueColor +level-colors '#1d4a12,#9ccc5a' \
    $jpeg "$out/natural.jpg"

# toro: warm red-brown marbling, stretched noise so it reads as grain.
convert -size 128x128 -seed 23 xc: +noise Random -channel R -separate +channel \
    -virtual-pixel tile -motion-blur 0x12+30 -blur 0x2 -auto-level \
    -colorspace sRGB -type TrueColor +level-colors '#5a1408,#e08a3c' \
    $jpeg "$out/toro.jpg"

# wave: a sound wave on a dark panel, exactly 160 x 120.
points=$(awk 'BEGIN { for (x = 8; x <= 152; x += 2) {
    a = 40 * sin((x - 8) / 144 * 3.14159 * 6) * (0.35 + 0.65 * sin((x - 8) / 144 * 3.14159));
    printf "%d,%d ", x, 60 - a } }')
convert -size 160x120 gradient:'#26304a-#0c1220' \
    -stroke '#4a5a80' -strokewidth 1 -draw 'line 8,60 152,60' \
    -stroke '#7fe0ff' -strokewidth 3 -fill none -draw "polyline $points" \
    -stroke '#cfd8ff' -strokewidth 2 -draw 'rectangle 2,2 157,117' \
    $jpeg "$out/wave.jpg"
