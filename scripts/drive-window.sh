#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Drives the window program, built with AddressSanitizer and UndefinedBehaviorSanitizer, as a user would:
# under a virtual display, with the mouse and the keyboard (xdotool), through previews of every kind of
# item, a letter jump, moves, a delete, a Shift-click selection deleted and undone, a drag, a folder typed by
# hand and a full Create that shows the page; then a second start that reopens the album, takes an item out
# and adds one, and updates it. Fails when the program reports anything, does not end, or the album is not
# what was asked for. Screenshots of each step go to BUILD/drive/ to be looked at. Each step waits for the
# window to show that it was done (the screen changes and comes to rest), never for a guessed time, and fails
# loudly when that does not happen in time.
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
cmake --build "$build" -j "$jobs" --target albumwright albumwright-pick

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

# Loaded libraries stay mapped to the end (as in scripts/sanitize.sh): after a real dlclose the leak check
# could neither see what they keep for the process's life nor name their frames.
printf 'int dlclose(void* handle) { (void)handle; return 0; }\n' >"$work/nodlclose.c"
"${CC:-cc}" -shared -fPIC -o "$work/nodlclose.so" "$work/nodlclose.c"

# The browser the program starts at the end only notes which page it was asked to show.
printf '#!/bin/sh\necho "$@" >> "%s/browser"\n' "$work" >"$work/bin/xdg-open"
chmod +x "$work/bin/xdg-open"

for n in $(seq 90 120); do
  [[ -e /tmp/.X$n-lock ]] || { display=:$n; break; }
done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
display_pid=$!
export DISPLAY=$display
for _ in $(seq 100); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done
xdotool getmouselocation >/dev/null 2>&1 || { echo "drive-window: the display $display did not start" >&2; exit 1; }

step=0
shot() { step=$((step + 1)); import -window root "$shots/$(printf %02d "$step")-$1.png"; }
fail() {
  shot failed
  if compgen -G "$work/asan*" >/dev/null; then cat "$work"/asan* >&2; fi
  echo "drive-window: $*" >&2
  exit 1
}
# click X Y: a click at the main window's client coordinates.
click() {
  xdotool mousemove --sync --window "$window" "$1" "$2" click 1 2>/dev/null ||
    fail "the window is gone (a click at $1,$2)"
}
key() { xdotool key "$@"; } # to the focused control, as typed
shift_click() {
  xdotool mousemove --sync --window "$window" "$1" "$2" keydown shift click 1 keyup shift 2>/dev/null ||
    fail "the window is gone (a Shift click at $1,$2)"
}
# drag X1 Y1 X2 Y2: the left button held from one place to the other, in steps as a hand moves.
drag() {
  xdotool mousemove --window "$window" "$1" "$2" mousedown 1 || fail "the window is gone (a drag)"
  local k
  for k in 1 2 3 4 5 6; do
    xdotool mousemove --window "$window" "$(($1 + ($3 - $1) * k / 6))" "$(($2 + ($4 - $2) * k / 6))"
    sleep 0.1
  done
  sleep 0.3
  xdotool mouseup 1
}
# The screen's pixels, summed up: what the window shows is its state as far as a user can tell. Where the list
# and the preview are (the window's left pane) is looked at alone, away from the folder field's blinking
# caret, unless a step works elsewhere (-q below).
region=pane
screen() {
  local crop=()
  [[ $region == pane ]] && crop=(-crop 300x420+20+40 +repage)
  import -window root "${crop[@]}" -depth 8 rgb:- 2>/dev/null | md5sum
}
# settle LOOKS WHAT: waits until the screen is alike over LOOKS looks a quarter of a second apart (so that a
# preview made on a worker has arrived); fails after 30 seconds.
settle() {
  local now last calm=1 until=$((SECONDS + 30))
  now=$(screen)
  while ((calm < $1)); do
    ((SECONDS < until)) || fail "the screen did not come to rest after: $2"
    sleep 0.25
    last=$now
    now=$(screen)
    if [[ $now == "$last" ]]; then calm=$((calm + 1)); else calm=1; fi
  done
}
# act [-q] [-n] COMMAND...: does what a user does, then waits until the left pane has changed and come to rest
# over three looks (with -q the whole screen, where a caret blinks, over two; with -n a step that may change
# nothing only comes to rest). Fails when nothing changes within 30 seconds.
act() {
  local looks=3 before until=$((SECONDS + 30)) unchanged=
  region=pane
  if [[ $1 == -q ]]; then looks=2 region=screen && shift; fi
  if [[ $1 == -n ]]; then unchanged=1 && shift; fi
  before=$(screen)
  "$@"
  while [[ -z $unchanged && $(screen) == "$before" ]]; do
    ((SECONDS < until)) || fail "nothing changed on the screen after: $*"
    sleep 0.1
  done
  settle "$looks" "$*"
}
# The list's lines as the window shows them, read back from what Create wrote is too late: the page's order.
last_on_page() { grep -o 'Data/[^"]*' "$1" | tail -n 1; }
# wait_for SECONDS COMMAND...: until the command succeeds.
wait_for() {
  local until=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < until)) || return 1
    sleep 0.2
  done
}

# start FILE...: the program through the companion, as the desktop starts it.
start() {
  PATH=$work/bin:$PATH HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_RUNTIME_DIR=$work/run \
    XDG_STATE_HOME=$work/home/.local/state LANG=C.UTF-8 QT_QPA_PLATFORM=xcb \
    LD_PRELOAD=$work/nodlclose.so \
    ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:verify_asan_link_order=0:log_path=$work/asan \
    LSAN_OPTIONS=suppressions=$here/tests/lsan-suppressions.txt:print_suppressions=0 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:log_path=$work/asan \
    "$build/bin/albumwright-pick" "$@" >"$work/output" 2>&1 &
  companion_pid=$!
}
echo "drive-window: handing ${#files[@]} items to the window through the companion under $display"
cd "$media"
start "${files[@]}"
# The main window is the wide one; any other window shown is a box, answered with Return once looked at.
find_window() {
  local w width
  window=
  for w in $(xdotool search --onlyvisible --name . 2>/dev/null); do
    width=$(xdotool getwindowgeometry --shell "$w" | sed -n 's/^WIDTH=//p')
    if ((width >= 600)); then window=$w; else box=$w; fi
  done
  [[ -n $window ]]
}
answer_box() {
  box=
  find_window || true
  [[ -n $box ]] || return 1
  shot "box-$(xdotool getwindowname "$box" | tr -c 'A-Za-z0-9\n' - | head -c 40)"
  xdotool windowfocus --sync "$box" key Return 2>/dev/null || true # the box may close before xdotool looks again
  wait_for 30 box_gone || fail "a box did not close on Return"
}
box_gone() { ! xdotool search --onlyvisible --name . 2>/dev/null | grep -qx "$box"; }
await_window() {
  local until=$((SECONDS + 120))
  until find_window && [[ -z $box ]]; do
    answer_box || sleep 0.2
    ((SECONDS < until)) || fail "no window after two minutes: $(cat "$work/output")"
  done
  program_pid=$(xdotool getwindowpid "$window")
  wait "$companion_pid" || fail "the companion ended with $?: $(cat "$work/output")"
  xdotool windowmove --sync "$window" 20 20
  region=pane
  settle 3 "the window's start" # a box that comes after the window is up by then
  while answer_box; do :; done
}
await_window
shot started

# Places in the window as the program lays its controls out, below a menu bar of 19 pixels.
list_line() { echo $((64 + 14 * $1)); } # the middle of line N of the item list, from 0
act click 30 359 # Show Thumbnail
act click 220 "$(list_line 1)"
shot preview-japanese-name
act click 220 "$(list_line 0)"
shot preview-long-name
for n in 1 2 3 4 5 6 7; do
  act key Down
  shot "preview-$n"
done
act key b # a letter jump, by the list's own search: to the first name with a B after the selected line
shot letter-jump
act -n click 247 363 # up: the first line stays where it is
act click 247 388    # down
act click 247 388    # down
shot moved
act click 220 "$(list_line 7)" # the last line: the sound
act click 247 413              # delete
shot deleted
# Two lines by a Shift click, deleted with the Delete key, and back with Ctrl+Z.
act click 220 "$(list_line 0)"
act shift_click 220 "$(list_line 1)"
shot two-selected
act key Delete
shot two-deleted
act key ctrl+z
shot undone
# The first line dragged below the last one.
act -n click 220 "$(list_line 0)"
act drag 220 "$(list_line 0)" 220 $(($(list_line 6) + 10))
shot dragged

album=$work/album
act -q click 430 65
act -q key ctrl+a
act -q xdotool type --delay 20 "$album"
shot folder
act -q click 330 421 # View in default web browser after completion
information() { box=$(xdotool search --onlyvisible --name '^Information$' 2>/dev/null | head -n 1); [[ -n $box ]]; }
# Until the word that the album was made; a question before it (the places photos were taken) is
# answered with its default, removing them from the copies.
created() {
  local question
  until information; do
    question=$(xdotool search --onlyvisible --name '^Confirmation$' 2>/dev/null | head -n 1)
    if [[ -n $question ]]; then
      shot question
      xdotool windowfocus --sync "$question" key Return 2>/dev/null || true
    fi
    ((SECONDS < $1)) || return 1
    sleep 0.3
  done
}
click 393 457 # Create
created $((SECONDS + 180)) || fail "no word that the album was made"
test -f "$album/Index.html" || fail "no Index.html after Create"
shot created
xdotool windowfocus --sync "$box" key Return 2>/dev/null || true
wait_for 60 test -f "$work/browser" || fail "the page was not shown"
# A run that made the album ends the program.
wait_for 60 bash -c "! kill -0 $program_pid 2>/dev/null" || fail "the program did not end after the album was made"
# The window is the companion's child, not this script's: its status is not ours to see; a sanitizer
# finding shows in its log instead.
program_pid=

! compgen -G "$work/asan*" >/dev/null || fail "the sanitizers reported the above"
thumbs=$(find "$album/Thumb" -type f | wc -l)
data=$(find "$album/Data" -type f | wc -l)
# Eight items less the sound, deleted: each has its Data file and its thumbnail.
[[ $data == 7 && $thumbs == 7 ]] || fail "expected 7 Data files and 7 thumbnails, found $data and $thumbs"
! grep -q "tone.wav" "$album/Index.html" || fail "the deleted sound is on the page"
grep -q "Index.html" "$work/browser" || fail "the browser was asked for $(cat "$work/browser")"
# The drag put the Japanese name, first after the moves, last.
[[ $(last_on_page "$album/Index.html") == *夏の海辺* ]] || fail "the drag did not reach the page"

# Reopened a week later with one more picture: the album's items come back after Options > Open album...,
# the board is taken out, and Create updates the album and removes the board's files.
convert -size 400x300 gradient:skyblue-navy "$media/extra.jpg"
rm -f "$work/browser"
start "$media/extra.jpg"
await_window
act -q click 25 9 # Options, in the menu bar
key a             # Open album...
opener() { dialog=$(xdotool search --onlyvisible --name '^Open an album' 2>/dev/null | head -n 1); [[ -n $dialog ]]; }
wait_for 30 opener || fail "no folder browser for Open album"
xdotool windowfocus --sync "$dialog" type --delay 20 "$album"
shot open-album
xdotool key Return
wait_for 30 bash -c "! xdotool search --onlyvisible --name '^Open an album' >/dev/null 2>&1" ||
  xdotool key Return # a browser that went into the folder first takes it now
region=pane
settle 3 "the album reopened" # the names that are not web-safe are said again at intake by then
while answer_box; do :; done
shot reopened
act -n click 220 "$(list_line 0)" # board.bmp, first on the page
act key Delete
shot reopened-less-one
click 393 457 # Create
created $((SECONDS + 180)) || fail "no word that the reopened album was made"
xdotool windowfocus --sync "$box" key Return 2>/dev/null || true
wait_for 60 bash -c "! kill -0 $program_pid 2>/dev/null" || fail "the program did not end after the update"
program_pid=
! compgen -G "$work/asan*" >/dev/null || fail "the sanitizers reported the above"
data=$(find "$album/Data" -type f | wc -l)
[[ $data == 7 ]] || fail "expected 7 Data files after the update, found $data"
! compgen -G "$album/Data/board*" >/dev/null || fail "the board taken out still has its Data file"
compgen -G "$album/Data/extra*" >/dev/null || fail "the picture added is not in Data"
echo "drive-window: previews, a letter jump, moves, deletes, an undo, a drag, a Create and a reopened album's update ran clean; screenshots in $shots"
