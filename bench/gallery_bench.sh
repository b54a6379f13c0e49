#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Gallery's display copies: albumwright-make -a 5 on the album benchmark's 40 camera-like photos (30 of
# 12 MP, 10 of 24 MP) against the peer making the same files, interleaved in one run on this machine. The
# peer runs two processes per photo, one photo after another in each of one process per core, as the album
# benchmark runs its peers: vipsthumbnail -s 2048 (the display copy) then vipsthumbnail -s 480x360 (the
# largest thumbnail). Goals: the album's time at most 1.0 times the peer's; Data at most 15 % of the
# originals' bytes.
#
# Usage: bench/gallery_bench.sh [BUILD]   (default ./build; albumwright-make is built there first)
# Environment: ROUNDS (default 3; medians shown), RECORD=0 to leave bench/RESULTS.md alone.
# The photos are the album benchmark's (BUILD/bench-cache/photos), made here with its recipe when missing.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
rounds=${ROUNDS:-3}
jobs=$(nproc)
cache=$build/bench-cache
photos=$cache/photos
out=$build/bench-out-gallery
bin=$build/bin

for tool in vipsthumbnail /usr/bin/convert; do
    command -v "$tool" > /dev/null || { echo "gallery_bench: $tool is missing (scripts/setup.sh)" >&2; exit 1; }
done
if [[ -f $build/CMakeCache.txt ]]; then
    echo "gallery_bench: building albumwright-make in $build"
    cmake --build "$build" --target albumwright-make -j "$jobs" > /dev/null
fi

# The album benchmark's photo set, made here when it has not made it yet.
# shellcheck source=bench/photoset.sh
source "$here/bench/photoset.sh"
if [[ ! -f $cache/recipe && ! -f $photos/recipe ]]; then
    echo "gallery_bench: making the photo set in $photos (once)"
    make_photoset "$photos" "$jobs"
    echo "$photoset_recipe" > "$photos/recipe"
fi
photo_files=("$photos"/*.jpg)
per=$(((${#photo_files[@]} + jobs - 1) / jobs))
cat "${photo_files[@]}" > /dev/null # both read from the page cache

mkdir -p "$out"
run_album() {
    rm -rf "${out:?}/album" "$out/work" && mkdir -p "$out/work"
    "$bin/albumwright-make" -q -y -a 5 -w "$out/work" -o "$out/album" "${photo_files[@]}" > "$out/album.log" 2>&1 ||
        { cat "$out/album.log" >&2 && return 1; }
}
# shellcheck disable=SC2016 # expanded by the peer's own shell
peer_script='for f; do
    vipsthumbnail -s 2048 -o "$0/%s_d.jpg[Q=85,strip]" "$f" && vipsthumbnail -s 480x360 -o "$0/%s_t.jpg[Q=80,strip]" "$f"
done'
run_vips() {
    rm -rf "${out:?}/vips" && mkdir -p "$out/vips"
    printf '%s\0' "${photo_files[@]}" | xargs -0 -P "$jobs" -n "$per" bash -c "$peer_script" "$out/vips"
}

# shellcheck source=bench/timing.sh
source "$here/bench/timing.sh"
load=$(cut -d ' ' -f 1-3 /proc/loadavg)
for ((r = 1; r <= rounds; r++)); do
    echo "gallery_bench: round $r of $rounds"
    timed album run_album
    timed vips run_vips
done
bytes() { find "$@" -type f -printf '%s\n' | awk '{s += $1} END {print s + 0}'; }
originals=$(bytes "${photo_files[@]}")
data=$(bytes "$out/album/Data")
peer_data=$(cat "$out"/vips/*_d.jpg | wc -c)
sizes=$(find "$out/album/Data" -name '*.jpg' -exec identify -format '%w %h\n' {} + |
    awk '{l = $1 > $2 ? $1 : $2; if (l > m) m = l} END {print m}')
rm -rf "$out"

ms() { awk -v t="$1" 'BEGIN {printf "%.2f", t / 1000}'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
percent() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.1f", 100 * a / b}'; }
album=$(median album)
album_cpu=$(median_cpu album)
vips=$(median vips)
vips_cpu=$(median_cpu vips)
cpu=$(lscpu | sed -n 's/^Model name: *//p' | head -1)
commit=$(cat "$build/commit" 2> /dev/null || git -C "$here" rev-parse --short HEAD)
report=$(
    echo "## $(date -u '+%Y-%m-%d %H:%M UTC'), $jobs cores, ${cpu:-unknown CPU}, commit $commit, the Gallery's display copies (bench/gallery_bench.sh)"
    echo
    echo "Load average when the run began: $load. The album benchmark's ${#photo_files[@]} photos (30 of 12 MP," \
        "10 of 24 MP, quality 90, $((originals / 1048576)) MiB); medians of $rounds interleaved rounds; CPU is user +" \
        "system time of all a contender's processes. Goals: the album at most 1.0 times the peer's time, Data at" \
        "most 15 % of the originals' bytes."
    echo
    echo "| what | wall s | album / this | CPU s | album / this |"
    echo "|---|---:|---:|---:|---:|"
    echo "| albumwright-make -a 5 (display copies, thumbnails at 1x, 2x, 3x, the page) | $(ms "$album") | 1.00 |" \
        "$(ms "$album_cpu") | 1.00 |"
    echo "| vipsthumbnail -s 2048 [Q=85,strip] then -s 480x360 [Q=80,strip] per photo, $jobs processes |" \
        "$(ms "$vips") | $(ratio "$album" "$vips") | $(ms "$vips_cpu") | $(ratio "$album_cpu" "$vips_cpu") |"
    echo
    echo "Data: $((data / 1024)) KiB, $(percent "$data" "$originals") % of the originals (the peer's display copies:" \
        "$((peer_data / 1024)) KiB, $(percent "$peer_data" "$originals") %); the longest side in Data: $sizes px."
)
echo
echo "$report"
if [[ ${RECORD:-1} != 0 ]]; then
    printf '\n%s\n' "$report" >> "$here/bench/RESULTS.md"
    echo
    echo "gallery_bench: added to bench/RESULTS.md"
fi
