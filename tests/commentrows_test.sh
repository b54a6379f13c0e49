#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fails when a table row hides at the end of a // comment line, where it never runs: a reformatting joined
# "// columns" and "{3, "uuuu", ...}," into one line once, and two cases silently left their tables. A row
# is a brace group holding a comma and closed by "}," or "};" (or "}}," / "}};"), or a std::tuple/pair made
# in place; prose that merely mentions braces does not end that way. Prints every offending line.
set -u
root=${1:?usage: commentrows_test.sh SOURCE_DIR}
cd "$root" || exit 2
row='//.*(\{[^{}]*(\{[^{}]*\}[^{}]*)*,[^{}]*\}\}?[,;]|std::(make_)?(tuple|pair) *[({].*[)}] *[,;]?)[[:space:]]*$'
found=$(grep -rnE --include='*.cpp' --include='*.h' "$row" src tests bench tools 2>/dev/null)
checked=$(find src tests bench tools -name '*.cpp' -o -name '*.h' 2>/dev/null | wc -l)
if [ -n "$found" ]; then
  echo "table rows inside comments (they never run):"
  echo "$found"
  exit 1
fi
echo "comment rows: none in $checked files"
