#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages the project needs (idempotent) and configures the build folder.
# Usage: scripts/setup.sh [build-dir]   (default: build); scripts/setup.sh --packages-only
# Debian packages per purpose, chosen by AW_PACKAGES (default "build tests"): build = what configuring and
# building every program and test needs; demo = what scripts/demo.sh draws its sample media with; tests = what
# the tests, the sanitizers, the fuzzing and the window drive run with (the demo's tools included); bench =
# the benchmarks' peers; docs = the screenshots' fonts.
# npm packages (pinned by their lock files) per purpose, chosen by AW_NPM (default "album tests"):
# album = what a Gallery album ships (resources/gallery), tests = the browser test (tests/browser),
# bench = the page benchmark (bench/lighthouse). Node.js and npm are the machine's own.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}

declare -A groups=(
  [build]="cmake ninja-build g++ pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
    libturbojpeg0-dev libjpeg62-turbo-dev
    libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
    libexif-dev libexiv2-dev
    libspng-dev libwebp-dev libgif-dev libheif-dev liblcms2-dev
    libgtest-dev libgmock-dev"
  [demo]="ffmpeg imagemagick"
  [tests]="ffmpeg imagemagick libheif-examples libimage-exiftool-perl
    xvfb xauth xdotool chromium default-jre-headless
    clang libclang-rt-14-dev
    lintian appstream desktop-file-utils dpkg-dev"
  [bench]="libvips-tools libheif-examples imagemagick libimage-exiftool-perl time"
  [docs]="fonts-noto-cjk xvfb xauth chromium"
)
packages=()
for group in ${AW_PACKAGES-build tests}; do
  [ -n "${groups[$group]:-}" ] || { echo "setup: unknown package group $group" >&2; exit 1; }
  read -r -d '' -a listed <<<"${groups[$group]}" || true
  packages+=("${listed[@]}")
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -eq 0 ] || sudo_cmd="sudo"
  echo "Installing: ${missing[*]}"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}"
fi

declare -A npm_folders=([album]=resources/gallery [tests]=tests/browser [bench]=bench/lighthouse)
for group in ${AW_NPM-album tests}; do
  folder=$here/${npm_folders[$group]:?unknown npm group $group}
  if ! command -v npm >/dev/null; then
    echo "npm is missing: install Node.js 20 with npm to fetch the packages of $folder" >&2
    exit 1
  fi
  # Lock-file installs only; no package script runs (one would download a Java of its own).
  if [ ! "$folder/node_modules/.package-lock.json" -nt "$folder/package-lock.json" ]; then
    (cd "$folder" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error)
  fi
done

[ "${1:-}" = --packages-only ] && exit 0
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
