#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Drives the window program, built with AddressSanitizer and UndefinedBehaviorSanitizer, as a user would:
# under a virtual display, with the mouse and the keyboard (xdotool), through previews of every kind of
# item, a letter jump, moves, a delete, a folder typed by hand and a full Create, then Close. Fails when
# the program reports anything, does not end, or the album is not what was asked for. Screenshots of each
# step go to BUILD/drive/ to be looked at.
# Usage: scripts/drive-window.sh [BUILD]   (default: build-drive; configured here with the sanitizers)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build-drive}
jobs=$(nproc)

for tool in xdotool Xvfb import convert ffmpeg; do
  command -v "$tool" >/dev/null || { echo "drive-window: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done
if [[ ! -f $build/CMakeCache.txt ]]; then
  flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DALBUMWRIGHT_GUI=ON \
    -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" \
    -DCMAKE_SHARED_LINKER_FLAGS="$flags" -DCMAKE_MODULE_LINKER_FLAGS="$flags" >/dev/null
fi
cmake --build "$build" -j "$jobs" --target albumwright

work=$(mktemp -d)
shots=$build/drive
rm -rf "$shots"
mkdir -p "$shots" "$work/media" "$work/home" "$work/run" "$work/bin"
chmod 700 "$work/run"
display_pid=
program_pid=
cleanup() {
  [[ -z $program_pid ]] || kill -9 "$program_pid" 2>/dev/null || true
  [[ -z $display_pid ]] || kill "$display_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Media of every kind the window takes, under a long name and a Japanese one among them.
media=$work/media
long="Beach day at the harbour with the whole family, summer 2026 (edited).jpg"
convert -size 1024x768 plasma:fractal "$media/$long"
convert -size 480x640 gradient:gold-firebrick "$media/夏の海辺.jpg"
convert -size 320x240 pattern:checkerboard BMP3:"$media/board.bmp"
cp "$here/tests/data/media/rgba.png" "$media/badge.png"
cp "$here/tests/data/media/rotated.heic" "$media/phone.heic"
cp "$here/tests/data/media/clip.mp4" "$media/clip.mp4"
ffmpeg -loglevel error -y -f lavfi -i testsrc=size=320x240:rate=15 -t 1 -pix_fmt yuv420p "$media/waves.avi"
ffmpeg -loglevel error -y -f lavfi -i "sine=frequency=440:duration=1" "$media/tone.wav"
files=("$media/$long" "$media/夏の海辺.jpg" "$media/board.bmp" "$media/badge.png" "$media/phone.heic"
  "$media/clip.mp4" "$media/waves.avi" "$media/tone.wav")

# The browser the program starts at the end only notes which page it was asked to show.
printf '#!/bin/sh\necho "$@" >> "%s/browser"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"

for n in $(seq 90 120); do
  [[ -e /tmp/.X$n-lock ]] || { display=:$n; break; }
done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
display_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

step=0
shot() { step=$((step + 1)); import -window root "$shots/$(printf %02d "$step")-$1.png"; }
fail() { shot failed; echo "drive-window: $*" >&2; exit 1; }
# click X Y: a click at the main window's client coordinates.
click() { xdotool mousemove --window "$window" "$1" "$2" click 1; sleep 0.4; }
key() { xdotool key --window "$window" "$@"; sleep 0.4; }
# wait_for SECONDS COMMAND...: until the command succeeds.
wait_for() {
  local until=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < until)) || return 1
    sleep 0.2
  done
}

echo "drive-window: starting the program with ${#files[@]} items under $display"
cd "$media"
PATH=$work/bin:$PATH HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run \
  LANG=C.UTF-8 QT_QPA_PLATFORM=xcb \
  ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:log_path=$work/asan \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:log_path=$work/asan \
  "$build/bin/albumwright" "${files[@]}" >"$work/output" 2>&1 &
program_pid=$!
window=$(xdotool search --sync --onlyvisible --name '^Albumwright$' | head -n 1)
xdotool windowmove "$window" 20 20 windowactivate --sync "$window" 2>/dev/null || true
sleep 2
shot started

# The controls' places in the window's client area (as laid out by the program).
list_line() { echo $((47 + 16 * $1)); } # the middle of line N of the item list, from 0
click 30 340 # Show Thumbnail
click 220 "$(list_line 0)"
shot preview-long-name
for n in 1 2 3 4 5 6 7; do
  key Down
  sleep 1
  shot "preview-$n"
done
key b # a letter jump: to the bitmap
sleep 1
shot letter-jump
click 247 344 # up
click 247 369 # down
click 247 369 # down
shot moved
click 220 "$(list_line 7)" # the sound
click 247 394              # delete
shot deleted

album=$work/album
click 430 46
key ctrl+a
xdotool type --window "$window" --delay 20 "$album"
sleep 0.5
shot folder
click 393 438 # Create
wait_for 120 test -f "$album/Index.html" || fail "no Index.html after Create"
wait_for 60 test -f "$work/browser" || fail "the page was not shown"
sleep 1
shot created
click 485 438 # Close
wait_for 60 bash -c "! kill -0 $program_pid 2>/dev/null" || fail "the program did not end after Close"
status=0
wait "$program_pid" || status=$?
program_pid=

if compgen -G "$work/asan*" >/dev/null; then
  cat "$work"/asan* >&2
  fail "the sanitizers reported the above"
fi
[[ $status == 0 ]] || { cat "$work/output" >&2; fail "the program ended with $status"; }
thumbs=$(find "$album/Thumb" -type f | wc -l)
data=$(find "$album/Data" -type f | wc -l)
# Eight items less the one deleted; a sound has no thumbnail of its own.
[[ $data == 7 && $thumbs -ge 6 ]] || fail "expected 7 Data files and 6 or 7 thumbnails, found $data and $thumbs"
grep -q "Index.html" "$work/browser" || fail "the browser was asked for $(cat "$work/browser")"
echo "drive-window: previews, a letter jump, moves, a delete and a Create ran clean; screenshots in $shots"
