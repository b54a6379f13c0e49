#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets (tests/fuzz) with clang in a build folder of their own and runs each one from
# its committed seeds (tests/fuzz/corpus/<target>, only read; the bitmap target also reads the BMP Suite).
#   scripts/fuzz.sh --brief [BUILD]           about 20 seconds a target
#   scripts/fuzz.sh --long SECONDS [BUILD]    SECONDS a target
#   scripts/fuzz.sh --build-only [BUILD]      only builds them (CI times the build and the runs apart)
# BUILD defaults to build-fuzz. Inputs found along the way stay in BUILD/fuzz-corpus/<target>, faults in
# BUILD/fuzz-findings/. Prints executions per target; exits 1 when any target finds a fault (once mended, its
# input belongs in the target's committed corpus).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
case "${1:-}" in
--brief) seconds=20 build=${2:-$here/build-fuzz} ;;
--long) seconds=${2:?"--long needs SECONDS"} build=${3:-$here/build-fuzz} ;;
--build-only) seconds=0 build=${2:-$here/build-fuzz} ;;
*)
  echo "usage: $0 --brief [BUILD] | --long SECONDS [BUILD] | --build-only [BUILD]" >&2
  exit 1
  ;;
esac

"$here/scripts/setup.sh" --packages-only
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DALBUMWRIGHT_GUI=OFF -DALBUMWRIGHT_FUZZ=ON >/dev/null
mapfile -t targets < <(cmake --build "$build" --target help | sed -n 's/^\([a-z0-9_]*_fuzz\):.*/\1/p' | sort)
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"
[ "$seconds" = 0 ] && exit 0

mkdir -p "$build/fuzz-findings"
failed=()
printf '%-20s %14s %10s  %s\n' target executions "per s" outcome
for target in "${targets[@]}"; do
  work="$build/fuzz-corpus/$target"
  mkdir -p "$work"
  seeds=()
  [ -d "$here/tests/fuzz/corpus/$target" ] && seeds+=("$here/tests/fuzz/corpus/$target")
  [ "$target" = bitmap_fuzz ] && seeds+=("$here"/tests/data/bmpsuite/{g,q,b})
  log="$build/fuzz-$target.log"
  outcome=ok
  # Leaks are looked for at the end of the run, not after every input: FFmpeg keeps its one-time tables.
  if ! ASAN_OPTIONS=detect_leaks=1 "$build/bin/$target" -max_total_time="$seconds" -timeout=20 \
    -rss_limit_mb=3072 -print_final_stats=1 -artifact_prefix="$build/fuzz-findings/$target-" \
    "$work" "${seeds[@]}" >"$log" 2>&1; then
    outcome="FAULT (see $log and $build/fuzz-findings)"
    failed+=("$target")
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  printf '%-20s %14s %10s  %s\n' "$target" "${runs:-?}" "${rate:-?}" "$outcome"
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]}" >&2
  exit 1
fi
