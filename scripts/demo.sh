#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes a demo album: installs what is needed, builds the command line, draws sample media (pictures of
# several sizes including a portrait one, a bitmap, two short movies, a sound file) and runs albumwright-make
# on them, once with arrangement 1 and once as a Gallery. Usage: scripts/demo.sh [build-dir]   (default: build)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}

AW_PACKAGES="build demo" AW_NPM=album "$here/scripts/setup.sh" "$build"
cmake --build "$build" --target albumwright-make -j "$(nproc)"

media="$build/demo-media"
album="$build/demo-album"
rm -rf "$media"
mkdir -p "$media"

echo "Drawing sample media in $media"
convert -size 1024x768 gradient:skyblue-navy -fill white -pointsize 96 -gravity center \
  -annotate 0 "Sky" "$media/sky.jpg"
convert -size 640x480 plasma:tan-olive -blur 0x2 "$media/field.jpg"
convert -size 480x640 gradient:gold-firebrick -fill white -pointsize 72 -gravity center \
  -annotate 0 "Tall" "$media/portrait.jpg"
convert -size 2000x1500 radial-gradient:white-seagreen "$media/large.jpg"
convert -size 320x240 pattern:checkerboard -fill red -draw "circle 160,120 160,60" BMP3:"$media/drawing.bmp"
ffmpeg -loglevel error -y -f lavfi -i testsrc=size=320x240:rate=15 -t 2 -pix_fmt yuv420p "$media/clip.avi"
ffmpeg -loglevel error -y -f lavfi -i testsrc2=size=640x360:rate=25 -t 3 -c:v libx264 -pix_fmt yuv420p \
  "$media/walk.mp4"
ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=440:duration=1" "$media/tone.wav"

# Album folders from an earlier demo are replaced without asking (-y): the same media as one of the four
# arrangements of old, and as the Gallery, today's page for phones, which is the one to look at first.
files=("$media/sky.jpg" "$media/field.jpg" "$media/portrait.jpg" "$media/large.jpg" "$media/drawing.bmp"
  "$media/walk.mp4" "$media/clip.avi" "$media/tone.wav")
"$build/bin/albumwright-make" -y -t "Albumwright demo" -b 2 -a 1 -o "$album" "${files[@]}"
"$build/bin/albumwright-make" -y -t "Albumwright demo" -a 5 -o "$build/demo-gallery" "${files[@]}"

echo
echo "The demo album is at: $album/Index.html"
echo "The same as a Gallery: $build/demo-gallery/index.html"
