#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The update benchmark: albumwright-make --update on an album of COUNT 12-megapixel photos with 1% of them
# changed, and with nothing changed, against a full run of the same photos into an empty folder, all
# interleaved in one run on this machine.
#
# Usage: bench/update_bench.sh [BUILD]
#   BUILD: the build folder (default ./build), where albumwright-make is built first.
# Environment: COUNT (default 400 photos; the goal is stated for 2,000, which writes 8 GB an album), ROUNDS
# (default 3; the median is shown), RECORD=0 to leave bench/RESULTS.md alone.
#
# The photos are 30 distinct camera-like JPEGs (seeded plasma with grain, quality 90, about 4 MB), made once
# under BUILD/bench-cache/update and linked under COUNT names. A "changed" photo is replaced by another
# photo's bytes (a new file: new content, inode and time). Outputs go to BUILD/bench-out-update and are
# removed at the end.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
count=${COUNT:-400}
rounds=${ROUNDS:-3}
changed=$(((count + 99) / 100))
cache=$build/bench-cache/update
out=$build/bench-out-update
bin=$build/bin
convert=/usr/bin/convert

[[ -x $convert ]] || { echo "update_bench: needs ImageMagick (apt-get install imagemagick)" >&2 && exit 1; }
if [[ -f $build/CMakeCache.txt ]]; then
    echo "update_bench: building albumwright-make in $build"
    cmake --build "$build" --target albumwright-make -j "$(nproc)" > /dev/null
fi

recipe="update-v1 plasma+grain q90 4:2:0 12MP"
if [[ $(cat "$cache/recipe" 2> /dev/null) != "$recipe" ]]; then
    echo "update_bench: making 30 photos in $cache (once)"
    rm -rf "$cache" && mkdir -p "$cache"
    make_photo() {
        "$convert" -seed "$1" -size 1000x750 plasma:fractal -resize '4000x3000!' -seed "$1" -attenuate 0.6 \
            +noise Gaussian -sampling-factor 2x2 -quality 90 "$cache/$(printf 'photo%02d' "$1").jpg"
    }
    export -f make_photo
    export convert cache
    seq 1 30 | xargs -P "$(nproc)" -I{} bash -c 'make_photo {}'
    echo "$recipe" > "$cache/recipe"
fi
originals=("$cache"/photo*.jpg)

rm -rf "$out" && mkdir -p "$out/items" "$out/work"
for ((i = 0; i < count; i++)); do
    ln "${originals[i % ${#originals[@]}]}" "$out/items/$(printf 'item%05d' "$i").jpg"
done
items=("$out/items"/*.jpg)
album() { # output folder, options...
    "$bin/albumwright-make" -y -w "$out/work" -o "$1" "${@:2}" "${items[@]}" > "$1.log" 2>&1 ||
        { cat "$1.log" >&2 && return 1; }
}
# Another photo's bytes in a new file for every hundredth item (a new round changes other bytes again).
change() { # round
    local i
    for ((i = 0; i < count; i += count / changed)); do
        cp --remove-destination "${originals[(i + $1) % ${#originals[@]}]}" "${items[i]}"
    done
}
run_full() { rm -rf "$out/full" && album "$out/full"; }
run_changed() { album "$out/update" --update --prune; }
run_unchanged() { album "$out/update" --update --prune; }

# shellcheck source=bench/timing.sh
source "$here/bench/timing.sh"

load=$(cut -d ' ' -f 1-3 /proc/loadavg)
echo "update_bench: the album to update, made once"
album "$out/update" --update
for ((r = 1; r <= rounds; r++)); do
    echo "update_bench: round $r of $rounds"
    change "$r"
    timed changed run_changed
    grep -q "$((count - changed)) items reused, $changed made." "$out/update.log" ||
        { echo "update_bench: unexpected counts:" && cat "$out/update.log"; } >&2
    timed unchanged run_unchanged
    grep -q "$count items reused, 0 made." "$out/update.log" ||
        { echo "update_bench: unexpected counts:" && cat "$out/update.log"; } >&2
    timed full run_full
done
# The updated album must be the full run's, byte for byte.
for name in Index.html Data Thumb; do
    diff -r "$out/full/$name" "$out/update/$name" > /dev/null ||
        { echo "update_bench: the updated album differs from the full run in $name" >&2 && exit 1; }
done
rm -rf "$out"

s() { awk -v t="$1" 'BEGIN {printf "%.2f", t / 1000}'; }
percent() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f%%", 100 * a / b}'; }
full=$(median full)
full_cpu=$(median_cpu full)
cpu=$(lscpu | sed -n 's/^Model name: *//p' | head -1)
report=$(
    echo "## $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, ${cpu:-unknown CPU}, commit" \
        "$(git -C "$here" rev-parse --short HEAD), update benchmark"
    echo
    echo "Load average when the run began: $load. $count photos of 12 MP (about 4 MB each), $changed changed" \
        "(1%); medians of $rounds interleaved rounds; each update compared byte for byte with the full run."
    echo
    echo "| what | wall s | of the full run | CPU s | of the full run |"
    echo "|---|---:|---:|---:|---:|"
    for name in full changed unchanged; do
        t=$(median "$name")
        c=$(median_cpu "$name")
        case $name in
        full) label="full run into an empty folder" ;;
        changed) label="--update --prune, $changed of $count changed" ;;
        unchanged) label="--update --prune, nothing changed" ;;
        esac
        echo "| $label | $(s "$t") | $(percent "$t" "$full") | $(s "$c") | $(percent "$c" "$full_cpu") |"
    done
)
echo
echo "$report"
if [[ ${RECORD:-1} != 0 ]]; then
    printf '\n%s\n' "$report" >> "$here/bench/RESULTS.md"
    echo
    echo "update_bench: added to bench/RESULTS.md"
fi
