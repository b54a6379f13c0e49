#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Each tests/unit/<unit>_test.cpp is named after a unit that exists (src/**/<unit>.h or .cpp, or a table
# reader of resources/), so that a unit's tests are found where its name says. Lists the units that have no
# test file of their own, for the reader; only a test file without its unit fails.
set -u
root=${1:?usage: testnames_test.sh SOURCE_DIR}
cd "$root" || exit 2
units=$(find src resources -name node_modules -prune -o \( -name '*.h' -o -name '*.cpp' \) -print |
  sed 's|.*/||; s|\.[a-z]*$||' | grep -vx main | sort -u)
bad=0 tested=0
for file in tests/unit/*_test.cpp; do
  unit=$(basename "$file" _test.cpp)
  if grep -qx "$unit" <<<"$units"; then
    tested=$((tested + 1))
  else
    echo "$file: no unit named $unit in src/ or resources/"
    bad=1
  fi
done
untested=$(comm -23 <(echo "$units") <(find tests/unit -name "*_test.cpp" -printf "%f\n" | sed "s/_test\.cpp$//" | sort))
echo "units with a test file: $tested of $(wc -l <<<"$units")"
echo "units without one (tested through others, or by the window, e2e or fuzz tests):"
fmt -w 110 <<<"$untested" | sed 's/^/  /'
exit "$bad"
