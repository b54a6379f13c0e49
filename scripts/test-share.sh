#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The tests' share of the source: non-blank lines of .cpp and .h under tests/ against those under src/ and
# resources/. Prints both counts and the share; fails above 33 %, so that a growing suite is trimmed as it
# grows rather than in one late cut.
# Usage: scripts/test-share.sh [SOURCE_DIR]   (default: this checkout)
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"
lines() {
  find "$@" -name node_modules -prune -o -type f \( -name '*.cpp' -o -name '*.h' \) -print0 |
    xargs -0 -r cat | grep -cv '^[[:space:]]*$' || true
}
tests=$(lines tests)
source=$(lines src resources)
# Per mille, rounded down, to stay in integers.
share=$((tests * 1000 / source))
printf 'tests %d lines, source %d lines: %d.%d %%\n' "$tests" "$source" $((share / 10)) $((share % 10))
if ((tests * 100 > source * 33)); then
  echo "the tests pass 33 % of the source: trim them (one test per fault, tables, shared set-up)" >&2
  exit 1
fi
