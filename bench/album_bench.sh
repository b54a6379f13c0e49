#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The album benchmark: albumwright-make on a deterministic set of camera-like photos against the tools a
# user would otherwise use for the thumbnails alone, and against the bare decode floor, all interleaved in
# one run on this machine; then peak memory for 80 and 800 items, movie first frames against ffmpeg, and
# the window's preview of a 24-megapixel photo.
#
# Usage: bench/album_bench.sh [BUILD]
#   BUILD: the build folder (default ./build), where the programs are built first; or any folder whose bin/
#   holds albumwright-make, its modules and htmldata, decode_floor and preview_bench (a copy kept for a
#   before-and-after comparison), used as it is.
# Environment: ROUNDS (default 3; the median is shown), RECORD=0 to leave bench/RESULTS.md alone.
#
# The photo set (30 of 12 MP and 10 of 24 MP, quality 90, seeded plasma with grain) and the 8 movies are
# made once under BUILD/bench-cache and reused; outputs go to BUILD/bench-out and are removed at the end.
# Peers that are missing are installed with apt-get when run as root (they are for this script only and
# are not part of scripts/setup.sh).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
rounds=${ROUNDS:-3}
jobs=$(nproc)
cache=$build/bench-cache
out=$build/bench-out
bin=$build/bin
# The distribution's ImageMagick by full path: a wrapper earlier on PATH would add its own start-up.
convert=/usr/bin/convert
mogrify=/usr/bin/mogrify
python=/usr/bin/python3

# --- peers -----------------------------------------------------------------------------------------------
missing=()
command -v vipsthumbnail > /dev/null || missing+=(libvips-tools)
"$python" -c 'import PIL' 2> /dev/null || missing+=(python3-pil)
[[ -x $convert && -x $mogrify ]] || missing+=(imagemagick)
command -v ffmpeg > /dev/null || missing+=(ffmpeg)
[[ -x /usr/bin/time ]] || missing+=(time)
if ((${#missing[@]})); then
    if [[ $(id -u) -ne 0 ]]; then
        echo "album_bench: missing ${missing[*]}; install them (apt-get install ${missing[*]}) or run as root" >&2
        exit 1
    fi
    echo "album_bench: installing the benchmark's peers: ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}" > /dev/null
fi

if [[ -f $build/CMakeCache.txt ]]; then
    echo "album_bench: building albumwright-make, decode_floor and preview_bench in $build"
    cmake --build "$build" --target album_bench_tools -j "$jobs" > /dev/null
fi

# --- inputs ----------------------------------------------------------------------------------------------
# shellcheck source=bench/photoset.sh
source "$here/bench/photoset.sh"
recipe="$photoset_recipe; movies-v1"
photos=$cache/photos
movies=$cache/movies
if [[ $(cat "$cache/recipe" 2> /dev/null) != "$recipe" ]]; then
    echo "album_bench: making the photo set and the movies in $cache (once)"
    rm -rf "$cache"
    mkdir -p "$photos" "$movies"
    make_photoset "$photos" "$jobs"
    for n in 1 2 3 4; do
        ffmpeg -v error -f lavfi -i "testsrc2=size=1920x1080:rate=25:duration=4" -c:v libx264 -threads 1 \
            -pix_fmt yuv420p "$movies/hd$n.mov"
        ffmpeg -v error -f lavfi -i "mandelbrot=size=640x480:rate=25,trim=duration=4" -c:v mpeg4 -q:v 3 \
            "$movies/sd$n.avi"
    done
    # 80 and 800 items for the memory runs: the set again under other names (hard links, no space).
    for count in 80 800; do
        mkdir -p "$cache/items$count"
        i=0
        while ((i < count)); do
            for f in "$photos"/*.jpg; do
                ((i < count)) || break
                i=$((i + 1))
                ln "$f" "$cache/items$count/$(printf 'item%04d' $i).jpg"
            done
        done
    done
    echo "$recipe" > "$cache/recipe"
fi
# The 24 MP photos again as a camera stores them, with its own preview image (1620 x 1080) after the photo.
camera=$cache/camera
if [[ ! -f $camera/done ]]; then
    mkdir -p "$camera"
    for f in "$photos"/photo3[1-9].jpg "$photos"/photo40.jpg; do
        "$convert" "$f" -resize 1620x1080 -quality 85 "$camera/preview.jpg"
        "$python" "$here/bench/camera_preview.py" "$f" "$camera/preview.jpg" "$camera/$(basename "$f")"
    done
    rm "$camera/preview.jpg"
    touch "$camera/done"
fi
photo_files=("$photos"/*.jpg)
movie_files=("$movies"/*)
per=$(((${#photo_files[@]} + jobs - 1) / jobs))
cat "${photo_files[@]}" "${movie_files[@]}" > /dev/null # every contender reads from the page cache

# --- contenders ------------------------------------------------------------------------------------------
work=$out/work
mkdir -p "$out"
fresh() { rm -rf "${out:?}/$1" && mkdir -p "$out/$1" "$work"; }
# The album folder is left for albumwright-make to make (an existing one would be a question); what it
# says goes to a log that is shown when it fails.
album() { # output folder, files...
    rm -rf "${out:?}/$1" && mkdir -p "$work"
    "$bin/albumwright-make" -q -y -w "$work" -o "$out/$1" "${@:2}" > "$out/$1.log" 2>&1 ||
        { cat "$out/$1.log" >&2 && return 1; }
}
run_album() { album album "${photo_files[@]}"; }
run_vips() {
    fresh vips && printf '%s\0' "${photo_files[@]}" |
        xargs -0 -P "$jobs" -n "$per" vipsthumbnail --size 160x120 -o "$out/vips/%s.jpg[Q=80]"
}
pillow_script='
import os, sys
from PIL import Image
out = sys.argv[1]
for path in sys.argv[2:]:
    with Image.open(path) as im:
        im.draft("RGB", (320, 240))
        im.thumbnail((160, 120))
        im.save(os.path.join(out, os.path.basename(path)), quality=80)
'
run_pillow() {
    fresh pillow && printf '%s\0' "${photo_files[@]}" |
        xargs -0 -P "$jobs" -n "$per" "$python" -c "$pillow_script" "$out/pillow"
}
run_magick() {
    fresh magick && printf '%s\0' "${photo_files[@]}" |
        xargs -0 -P "$jobs" -n "$per" "$mogrify" -path "$out/magick" -define jpeg:size=320x240 \
            -thumbnail 160x120 -quality 80
}
run_floor() { "$bin/decode_floor" -j "$jobs" "${photo_files[@]}" > /dev/null; }
run_album_movies() { album movies "${movie_files[@]}"; }
run_ffmpeg() {
    fresh ffmpeg
    local n=0
    for m in "${movie_files[@]}"; do
        n=$((n + 1))
        ffmpeg -v error -y -i "$m" -frames:v 1 "$out/ffmpeg/frame$n.jpg"
    done
}

# shellcheck source=bench/timing.sh
source "$here/bench/timing.sh"

names=(album vips pillow magick floor)
load=$(cut -d ' ' -f 1-3 /proc/loadavg)
for ((r = 1; r <= rounds; r++)); do
    echo "album_bench: round $r of $rounds"
    for name in "${names[@]}"; do
        timed "$name" "run_$name"
    done
    timed album_movies run_album_movies
    timed ffmpeg run_ffmpeg
done

# --- memory and preview ----------------------------------------------------------------------------------
peak() { # item count
    rm -rf "${out:?}/mem$1"
    /usr/bin/time -f %M -o "$out/mem$1.rss" "$bin/albumwright-make" -q -y -w "$work" -o "$out/mem$1" \
        "$cache/items$1"/*.jpg > "$out/mem$1.log" 2>&1
    rm -rf "${out:?}/mem$1"
    echo $(($(cat "$out/mem$1.rss") / 1024))
}
echo "album_bench: peak memory for 80 and 800 items"
rss80=$(peak 80)
rss800=$(peak 800)
big=("$photos"/photo3[1-9].jpg "$photos"/photo40.jpg)
preview=$("$bin/preview_bench" "$bin" "${big[@]}")
preview_camera=$("$bin/preview_bench" "$bin" "$camera"/*.jpg)
# The peer of the preview: the same photos decoded at 1/8 by TurboJPEG on one thread (median of 3 runs).
floor_one=$(for _ in 1 2 3; do
    "$bin/decode_floor" -j 1 "${big[@]}" | sed -n 's/.* threads, \([0-9.]*\) s,.*/\1/p'
done | sort -n | sed -n 2p)
floor_one_ms=$(awk -v s="$floor_one" -v n="${#big[@]}" 'BEGIN {printf "%.1f", s * 1000 / n}')
rm -rf "$out"

# --- table -----------------------------------------------------------------------------------------------
ms() { awk -v t="$1" 'BEGIN {printf "%.2f", t / 1000}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
album=$(median album)
album_cpu=$(median_cpu album)
declare -A labels=([album]="albumwright-make, whole album"
    [vips]="vipsthumbnail, thumbnails, $jobs processes"
    [pillow]="Pillow draft + thumbnail, $jobs processes"
    [magick]="mogrify -define jpeg:size, $jobs processes"
    [floor]="decode floor: TurboJPEG 1/8, $jobs threads")
cpu=$(lscpu | sed -n 's/^Model name: *//p' | head -1)
# A copied bin/ may say which commit it was built from; a build folder is the checkout's.
commit=$(cat "$build/commit" 2> /dev/null || git -C "$here" rev-parse --short HEAD)
report=$(
    echo "## $(date -u '+%Y-%m-%d %H:%M UTC'), $jobs cores, ${cpu:-unknown CPU}, commit $commit"
    echo
    echo "Load average when the run began: $load. Photo set: ${#photo_files[@]} JPEGs (30 of 12 MP, 10 of 24 MP," \
        "quality 90); medians of $rounds interleaved rounds; CPU is user + system time of all its processes."
    echo
    echo "| what | wall s | album / this | CPU s | album / this |"
    echo "|---|---:|---:|---:|---:|"
    for name in "${names[@]}"; do
        t=$(median "$name")
        c=$(median_cpu "$name")
        echo "| ${labels[$name]} | $(ms "$t") | $(ratio "$album" "$t") | $(ms "$c") | $(ratio "$album_cpu" "$c") |"
    done
    echo
    movies_album=$(median album_movies)
    movies_ffmpeg=$(median ffmpeg)
    movies_album_cpu=$(median_cpu album_movies)
    movies_ffmpeg_cpu=$(median_cpu ffmpeg)
    echo "| movies (${#movie_files[@]}: 1080p H.264, 640x480 MPEG-4) | wall s | album / this | CPU s | album / this |"
    echo "|---|---:|---:|---:|---:|"
    echo "| albumwright-make, whole album | $(ms "$movies_album") | 1.00 | $(ms "$movies_album_cpu") | 1.00 |"
    echo "| ffmpeg -frames:v 1, one run per movie | $(ms "$movies_ffmpeg") |" \
        "$(ratio "$movies_album" "$movies_ffmpeg") | $(ms "$movies_ffmpeg_cpu") |" \
        "$(ratio "$movies_album_cpu" "$movies_ffmpeg_cpu") |"
    echo
    echo "Peak memory (max RSS) of albumwright-make: 80 items $rss80 MB, 800 items $rss800 MB" \
        "(800 / 80: $(ratio "$rss800" "$rss80"))."
    echo
    echo "Window preview of the 24 MP photos into 141 x 271 on one thread: ${preview#preview of 10 files: }" \
        "(the decode floor on one thread: $floor_one_ms ms a photo). The same photos with a camera's own" \
        "preview image stored in them: ${preview_camera#preview of 10 files: }."
)
echo
echo "$report"
if [[ ${RECORD:-1} != 0 ]]; then
    printf '\n%s\n' "$report" >> "$here/bench/RESULTS.md"
    echo
    echo "album_bench: added to bench/RESULTS.md"
fi
