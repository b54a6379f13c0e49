#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The playable-copy benchmark: albumwright-make with embedded playback on a 30-second 1080p HEVC clip (a
# phone's default), which gets an H.264/AAC copy, against ffmpeg making the same copy with the same encoder
# settings (libx264 veryfast CRF 23, 8-bit 4:2:0, AAC 128 kbit/s, fast start, no metadata), interleaved in
# one run on this machine. Goal: the album's time at most 1.0 times ffmpeg's (the album also makes the
# thumbnail and the page).
#
# Usage: bench/movie_bench.sh [BUILD]
#   BUILD: the build folder (default ./build), where albumwright-make is built first; or any folder whose
#   bin/ holds albumwright-make, its modules and htmldata, used as it is.
# Environment: ROUNDS (default 3; the median is shown), RECORD=0 to leave bench/RESULTS.md alone.
#
# The clip (testsrc2 with moving grain, so that it codes like camera footage, and a tone) is made once under
# BUILD/bench-cache/movie; outputs go to BUILD/bench-out and are removed at the end.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
rounds=${ROUNDS:-3}
cache=$build/bench-cache/movie
out=$build/bench-out
bin=$build/bin

command -v ffmpeg > /dev/null || { echo "movie_bench: ffmpeg is missing (apt-get install ffmpeg)" >&2 && exit 1; }
if [[ -f $build/CMakeCache.txt ]]; then
    echo "movie_bench: building albumwright-make in $build"
    cmake --build "$build" --target albumwright-make -j "$(nproc)" > /dev/null
fi

recipe="hevc-v1 testsrc2+grain 1920x1080 30 fps 30 s x265 ultrafast 12M"
clip=$cache/clip.mov
if [[ $(cat "$cache/recipe" 2> /dev/null) != "$recipe" ]]; then
    echo "movie_bench: making the 30-second 1080p HEVC clip in $cache (once; a few minutes)"
    rm -rf "$cache" && mkdir -p "$cache"
    ffmpeg -v error -f lavfi -i "testsrc2=size=1920x1080:rate=30:duration=30,noise=alls=12:allf=t" \
        -f lavfi -i "sine=frequency=440:duration=30" -c:v libx265 -preset ultrafast -x265-params log-level=none \
        -tag:v hvc1 -pix_fmt yuv420p -b:v 12M -c:a aac -b:a 128k "$clip"
    echo "$recipe" > "$cache/recipe"
fi
cat "$clip" > /dev/null # both read from the page cache

mkdir -p "$out/work"
run_album() {
    rm -rf "${out:?}/album"
    "$bin/albumwright-make" -q -y -e -w "$out/work" -o "$out/album" "$clip" > "$out/album.log" 2>&1 ||
        { cat "$out/album.log" >&2 && return 1; }
    [[ -s $out/album/Data/clip.mp4 ]]
}
run_ffmpeg() {
    ffmpeg -v error -y -i "$clip" -map 0:v:0 -map 0:a:0 -map_metadata -1 -c:v libx264 -preset veryfast \
        -crf 23 -pix_fmt yuv420p -c:a aac -b:a 128k -movflags +faststart "$out/ffmpeg.mp4"
}

# shellcheck source=bench/timing.sh
source "$here/bench/timing.sh"
load=$(cut -d ' ' -f 1-3 /proc/loadavg)
for ((r = 1; r <= rounds; r++)); do
    echo "movie_bench: round $r of $rounds"
    timed album run_album
    timed ffmpeg run_ffmpeg
done
sizes="copy $(($(stat -c %s "$out/album/Data/clip.mp4") / 1024)) KiB, ffmpeg's $(($(stat -c %s "$out/ffmpeg.mp4") / 1024)) KiB"
rm -rf "$out"

ms() { awk -v t="$1" 'BEGIN {printf "%.2f", t / 1000}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
album=$(median album)
album_cpu=$(median_cpu album)
ffmpeg_wall=$(median ffmpeg)
ffmpeg_cpu=$(median_cpu ffmpeg)
cpu=$(lscpu | sed -n 's/^Model name: *//p' | head -1)
commit=$(cat "$build/commit" 2> /dev/null || git -C "$here" rev-parse --short HEAD)
report=$(
    echo "## $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, ${cpu:-unknown CPU}, commit $commit: playable copy"
    echo
    echo "Load average when the run began: $load. A 30-second 1080p HEVC clip (30 fps, 12 Mbit/s, AAC) made" \
        "into H.264/AAC (libx264 veryfast CRF 23, AAC 128 kbit/s, fast start); medians of $rounds interleaved" \
        "rounds; CPU is user + system time of all its processes. Sizes: $sizes."
    echo
    echo "| what | wall s | album / this | CPU s | album / this |"
    echo "|---|---:|---:|---:|---:|"
    echo "| albumwright-make -e, whole album | $(ms "$album") | 1.00 | $(ms "$album_cpu") | 1.00 |"
    echo "| ffmpeg, the same encoder settings | $(ms "$ffmpeg_wall") | $(ratio "$album" "$ffmpeg_wall") |" \
        "$(ms "$ffmpeg_cpu") | $(ratio "$album_cpu" "$ffmpeg_cpu") |"
)
echo
echo "$report"
if [[ ${RECORD:-1} != 0 ]]; then
    printf '\n%s\n' "$report" >> "$here/bench/RESULTS.md"
    echo
    echo "movie_bench: added to bench/RESULTS.md"
fi
