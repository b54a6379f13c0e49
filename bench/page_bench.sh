#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The page benchmark: what a phone gets from a Gallery album of 1,000 items, against arrangement 1 of the
# same album in the same run, each served plainly (no compression) by a static server on the loopback and
# measured by Lighthouse (mobile, simulated throttling, Debian's Chromium; medians of ROUNDS runs): the
# Performance and Accessibility scores, Largest Contentful Paint, Cumulative Layout Shift, the bytes and
# requests before any scrolling, and the page's bytes per item (12-character names). Then the same for
# 10,000 items (one run each).
#
# Usage: bench/page_bench.sh [BUILD]   (default ./build)
# Environment: ROUNDS (default 3), RECORD=0 to leave bench/RESULTS.md alone. The photos (two of 1600 x 1200,
# seeded, under 1,000 and 10,000 names) are made once under BUILD/bench-cache/page.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
rounds=${ROUNDS:-3}
cache=$build/bench-cache/page
out=$build/bench-out-page

AW_NPM=bench "$here/scripts/setup.sh" --packages-only > /dev/null
cmake --build "$build" --target albumwright-make -j "$(nproc)" > /dev/null

recipe="page-v1 1600x1200 plasma q85, 2 photos, P%07d.JPG names"
if [[ $(cat "$cache/recipe" 2> /dev/null) != "$recipe" ]]; then
    echo "page_bench: making the photos in $cache (once)"
    rm -rf "$cache" && mkdir -p "$cache"
    convert -seed 3 -size 1600x1200 plasma:tan-olive -quality 85 "$cache/wide.jpg"
    convert -seed 4 -size 1200x1600 plasma:skyblue-navy -quality 85 "$cache/tall.jpg"
    for count in 1000 10000; do
        mkdir -p "$cache/$count"
        for i in $(seq 1 $count); do
            ln -s "../$([ $((i % 2)) = 0 ] && echo wide || echo tall).jpg" "$cache/$count/$(printf 'P%07d.JPG' "$i")"
        done
    done
    echo "$recipe" > "$cache/recipe"
fi

results=()
for count in 1000 10000; do
    runs=$([ "$count" = 1000 ] && echo "$rounds" || echo 1)
    for arrangement in 5 1; do
        album=$out/$count-$arrangement
        rm -rf "$album"
        "$build/bin/albumwright-make" -y -q -a "$arrangement" -t "Benchmark" -o "$album" "$cache/$count"/*.JPG \
            > /dev/null 2>&1
        name=$([ "$arrangement" = 5 ] && echo "Gallery" || echo "arrangement 1")
        results+=("$(node "$here/bench/lighthouse/page_bench.mjs" "$runs" "$name, $count items=$album")")
        echo "${results[-1]}"
    done
done

table=$(for line in "${results[@]}"; do
    node -e '
        const r = JSON.parse(process.argv[1]), items = Number(r.name.match(/(\d+) items/)[1]);
        const shown = (value, text) => (value === null || Number.isNaN(value) ? "-" : text);
        console.log(`| ${r.name} | ${r.runs} | ${shown(r.performance, r.performance)} | ` +
          `${shown(r.accessibility, r.accessibility)} | ${shown(r.lcpMs, (r.lcpMs / 1000).toFixed(2))} | ` +
          `${shown(r.cls, Number(r.cls).toFixed(3))} | ${shown(r.kib, r.kib)} | ${r.requests} | ${r.foreign} | ` +
          `${Math.round(r.pageBytes / items)} |${r.failed ? ` Lighthouse: ${r.failed}` : ""}`);
    ' "$line"
done)
section="## $(date -u '+%Y-%m-%d %H:%M') UTC, $(nproc) cores, the Gallery's page (bench/page_bench.sh)

Load average when the run began: $(cut -d' ' -f1-3 /proc/loadavg). Lighthouse 12.2.3, mobile, simulated
throttling, $(/usr/bin/chromium --version | head -1); medians of the runs given. Goals for the Gallery of
1,000 items: Performance >= 95, Accessibility 100, LCP <= 2.5 s, CLS <= 0.05, <= 600 KiB in <= 40 requests,
<= 350 page bytes per item.

| page | runs | Performance | Accessibility | LCP s | CLS | KiB | requests | other hosts | page bytes / item | notes |
|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|
$table
"
echo "$section"
[ "${RECORD:-1}" = 0 ] || printf '\n%s' "$section" >> "$here/bench/RESULTS.md"
