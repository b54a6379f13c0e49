#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Pictures of the windows under a virtual display, for the README and for looking at what was built:
# the main window with a few items (docs/mainwindow.png; with LANG=ja_JP.UTF-8 docs/mainwindow-ja.png)
# and, when asked with --dialogs, every secondary window into the build folder.
# Usage: scripts/screenshot.sh [build-dir] [--dialogs]      (after scripts/setup.sh; needs xvfb)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
cmake --build "$build" --target tst_mainwindow -j "$(nproc)"

shoot() { # shoot LANG FILE
  LANG=$1 LC_ALL=$1 AW_SCREENSHOT=$2 QT_QPA_PLATFORM=xcb \
    xvfb-run -a -s "-screen 0 1024x768x24" "$build/bin/tst_mainwindow" screenshot >/dev/null
  echo "Wrote $2"
}
mkdir -p "$here/docs"
shoot C.UTF-8 "$here/docs/mainwindow.png"
shoot ja_JP.UTF-8 "$here/docs/mainwindow-ja.png"

if [ "${2:-}" = "--dialogs" ]; then
  cmake --build "$build" --target dialogshots -j "$(nproc)"
  (cd "$build" && QT_QPA_PLATFORM=xcb xvfb-run -a "$build/bin/dialogshots" "$build/shots")
  echo "Wrote the secondary windows into $build/shots"
fi
