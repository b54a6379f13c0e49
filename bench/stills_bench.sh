#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The stills benchmark: thumbnails of 20 HEIC and 20 PNG photos of 12 megapixels made by the album
# (still_thumbnails: the run's own thumbnail preparation, one thread per core) against vipsthumbnail on the
# same files (one process per core), interleaved in ROUNDS rounds (default 3; medians shown); then the
# whole album of the same photos by albumwright-make, for scale (it also stores each HEIC as a JPEG).
#
# Usage: bench/stills_bench.sh [BUILD]   (default ./build; the programs are built there first)
# Environment: ROUNDS, RECORD=0 to leave bench/RESULTS.md alone, WHOLE=0 to leave out the whole album. The photos are made once under
# BUILD/bench-cache/stills (ImageMagick and heif-enc, seeded, so every run measures the same files).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
rounds=${ROUNDS:-3}
jobs=$(nproc)
cache=$build/bench-cache/stills
out=$build/bench-out-stills
bin=$build/bin

for tool in vipsthumbnail heif-enc /usr/bin/convert /usr/bin/time; do
    command -v "$tool" > /dev/null || { echo "stills_bench: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done
cmake --build "$build" --target still_thumbnails albumwright-make -j "$jobs" > /dev/null

recipe="stills-v3 4000x3000 plasma+noise; heif-enc -q 80 preset=fast; 20 copies"
if [[ $(cat "$cache/recipe" 2> /dev/null) != "$recipe" ]]; then
    echo "stills_bench: making 20 PNG and 20 HEIC photos of 12 MP in $cache (once)"
    rm -rf "$cache"
    mkdir -p "$cache"
    # One photo-like picture (plasma with grain) in each format, copied under 20 names: every file is still
    # read and decoded on its own, and encoding 40 pictures of 12 MP would take longer than the runs.
    /usr/bin/convert -seed 1 -size 1000x750 plasma:fractal -resize '4000x3000!' -seed 1 -attenuate 0.4 \
        +noise Gaussian -strip "$cache/photo01.png"
    heif-enc -q 80 -p preset=fast "$cache/photo01.png" -o "$cache/photo01.heic" > /dev/null
    for i in $(seq -w 2 20); do
        cp "$cache/photo01.png" "$cache/photo$i.png"
        cp "$cache/photo01.heic" "$cache/photo$i.heic"
    done
    echo "$recipe" > "$cache/recipe"
fi
files=("$cache"/*.png "$cache"/*.heic)

# Runs a command under /usr/bin/time; prints "wall cpu" in seconds.
measure() {
    local log
    log=$(mktemp)
    /usr/bin/time -f "%e %U %S" -o "$log" "$@" > /dev/null 2>&1 || { echo "stills_bench: failed: $*" >&2; exit 1; }
    awk '{ printf "%.2f %.2f\n", $1, $2 + $3 }' "$log"
    rm -f "$log"
}
# Each contender runs in a shell of its own under /usr/bin/time, reading the file list from $out/files.
album_thumbs() { mapfile -t files < "$out/files" && "$bin/still_thumbnails" "$bin" "$jobs" "${files[@]}"; }
vips_thumbs() {
    rm -rf "$out/vips" && mkdir -p "$out/vips"
    tr '\n' '\0' < "$out/files" | xargs -0 -n $((($(wc -l < "$out/files") + jobs - 1) / jobs)) -P "$jobs" \
        vipsthumbnail --size 160x120 -o "$out/vips/%s.jpg[Q=80]"
}
whole_album() {
    mapfile -t files < "$out/files" && rm -rf "$out/album" && "$bin/albumwright-make" -y -q -o "$out/album" "${files[@]}"
}
export -f album_thumbs vips_thumbs whole_album
export bin out jobs
mkdir -p "$out"
printf '%s\n' "${files[@]}" > "$out/files"

declare -A wall cpu
for ((r = 1; r <= rounds; r++)); do
    contenders=(album_thumbs vips_thumbs)
    [[ ${WHOLE:-1} == 0 ]] || contenders+=(whole_album)
    for what in "${contenders[@]}"; do
        read -r w c < <(measure bash -c "$what")
        echo "round $r, $what: wall $w s, CPU $c s" >&2
        wall[$what]+="$w "
        cpu[$what]+="$c "
    done
done
median() { tr ' ' '\n' <<< "$1" | { grep . || true; } | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }
aw=$(median "${wall[album_thumbs]}") ac=$(median "${cpu[album_thumbs]}")
vw=$(median "${wall[vips_thumbs]}") vc=$(median "${cpu[vips_thumbs]}")
ww=$(median "${wall[whole_album]:-}") wc=$(median "${cpu[whole_album]:-}")
load=$(cut -d' ' -f1-3 /proc/loadavg)
table="| stills (20 HEIC + 20 PNG of 12 MP) | wall s | album thumbnails / this | CPU s | album thumbnails / this |
|---|---:|---:|---:|---:|
| album thumbnails ($jobs threads) | $aw | 1.00 | $ac | 1.00 |
| vipsthumbnail, thumbnails, $jobs processes | $vw | $(ratio "$aw" "$vw") | $vc | $(ratio "$ac" "$vc") |"
[[ -z $ww ]] || table+="
| albumwright-make, whole album (HEIC also stored as JPEG) | $ww | $(ratio "$aw" "$ww") | $wc | $(ratio "$ac" "$wc") |"
echo "$table"
rm -rf "$out"
if [[ ${RECORD:-1} != 0 ]]; then
    {
        echo
        echo "## $(date -u '+%Y-%m-%d %H:%M') UTC, $jobs cores, stills: PNG and HEIC thumbnails against vipsthumbnail"
        echo
        echo "Load average when the run finished: $load. Medians of $rounds interleaved rounds (bench/stills_bench.sh)."
        echo
        echo "$table"
    } >> "$here/bench/RESULTS.md"
fi
