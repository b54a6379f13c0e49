#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The privacy benchmark: copying a 24-megapixel camera JPEG into Data without the place where it was taken,
# its owner's name and its serial numbers (the picture data is never decoded: only its metadata segments
# are read and rewritten, the rest copied by the kernel) against a plain copy of the same file, in the same
# process, interleaved (privacy_copy; ROUNDS, default 21, medians). Goal: at most 1.2 times the plain copy.
#
# Usage: bench/privacy_bench.sh [BUILD]   (default ./build; privacy_copy is built there first)
# Environment: ROUNDS, RECORD=0 to leave bench/RESULTS.md alone. The photo is made once under
# BUILD/bench-cache/privacy (ImageMagick, seeded; exiftool copies the metadata of tests/data/media/located.jpg,
# GPS, owner, serials and XMP, into it).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
rounds=${ROUNDS:-21}
cache=$build/bench-cache/privacy
out=$build/bench-out-privacy

for tool in /usr/bin/convert exiftool; do
    command -v "$tool" > /dev/null || { echo "privacy_bench: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done
cmake --build "$build" --target privacy_copy > /dev/null

recipe="privacy-v1 6000x4000 plasma+noise q90; metadata of located.jpg"
if [[ $(cat "$cache/recipe" 2> /dev/null) != "$recipe" ]]; then
    echo "privacy_bench: making a 24 MP photo in $cache (once)"
    rm -rf "$cache"
    mkdir -p "$cache"
    /usr/bin/convert -seed 1 -size 1500x1000 plasma:fractal -resize '6000x4000!' -seed 1 -attenuate 0.4 \
        +noise Gaussian -quality 90 -sampling-factor 2x2 "$cache/photo.jpg"
    exiftool -q -q -overwrite_original -tagsFromFile "$here/tests/data/media/located.jpg" -all:all "$cache/photo.jpg"
    echo "$recipe" > "$cache/recipe"
fi
rm -rf "$out" && mkdir -p "$out"

load=$(cut -d' ' -f1-3 /proc/loadavg)
result=$("$build/bin/privacy_copy" "$cache/photo.jpg" "$out" "$rounds")
read -r _ plain_wall plain_cpu <<< "$(sed -n 1p <<< "$result")"
read -r _ clean_wall clean_cpu <<< "$(sed -n 2p <<< "$result")"
read -r _ ratio_wall ratio_cpu <<< "$(sed -n 3p <<< "$result")"
left=$(exiftool -q -q -a -G1 -s "$out/cleaned.jpg" | grep -cE 'GPS|Owner|Artist|Serial|MakerNote' || true)
size=$(stat -c %s "$cache/photo.jpg")

section="
## $(date -u '+%Y-%m-%d %H:%M') UTC, $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1 | cut -c1-40), copies without the location

Load average when the run began: $load. One 24 MP JPEG of $((size / 1024)) KiB (quality 90, 4:2:0) carrying GPS, owner, serial numbers and XMP; medians of $rounds interleaved copies in one process (privacy_copy), each replacing the one before in a folder on the same file system; private tags exiftool still finds in the copy: $left.

| what | wall ms | this / plain | CPU ms | this / plain |
|---|---:|---:|---:|---:|
| plain copy (the Data copy of arrangements 1-4) | $plain_wall | 1.00 | $plain_cpu | 1.00 |
| copy without location, owner and serials | $clean_wall | $ratio_wall | $clean_cpu | $ratio_cpu |
"
echo "$section"
if [[ ${RECORD:-1} != 0 ]]; then
    echo "$section" >> "$here/bench/RESULTS.md"
fi
