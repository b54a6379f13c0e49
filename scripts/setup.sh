#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs every Debian package the project needs (idempotent) and configures the build folder.
# Usage: scripts/setup.sh [build-dir]   (default: build); scripts/setup.sh --packages-only
# npm packages (pinned by their lock files) per purpose, chosen by AW_NPM (default "album tests"):
# album = what a Gallery album ships (resources/gallery), tests = the browser test (tests/browser),
# bench = the page benchmark (bench/lighthouse). Node.js and npm are the machine's own.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n
  libturbojpeg0-dev libjpeg62-turbo-dev
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
  libexif-dev
  libexiv2-dev
  libspng-dev libwebp-dev libgif-dev libheif-dev liblcms2-dev
  libgtest-dev libgmock-dev default-jre-headless
  ffmpeg imagemagick libheif-examples xvfb xauth xdotool chromium
  libvips-tools
  libimage-exiftool-perl
  fonts-noto-cjk
  clang libclang-rt-14-dev valgrind
  lintian appstream desktop-file-utils dpkg-dev
)

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
