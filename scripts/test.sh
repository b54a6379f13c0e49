#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Sets up (packages, configure), builds everything and runs the whole test suite under CTest.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
"$here/scripts/setup.sh" "$build"
cmake --build "$build" -j "$(nproc)"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
