#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The README's pictures of the Gallery on a phone (390 x 844 CSS pixels at 2 device pixels each), in
# headless Chromium: the demo album's page (docs/gallery-phone.png) and its viewer open at a photo
# (docs/gallery-viewer.png). Makes the demo album first (scripts/demo.sh). Needs tests/browser's npm
# packages (scripts/setup.sh). Usage: scripts/gallery-screenshots.sh [build-dir]   (default: build)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
AW_NPM="album tests" "$here/scripts/demo.sh" "$build" > /dev/null 2>&1 || { echo "scripts/demo.sh failed" >&2; exit 1; }
node --input-type=module - "$here" "$(cd "$build" && pwd)/demo-gallery" <<'JS'
import { createRequire } from 'node:module';
const [root, album] = process.argv.slice(2);
const require = createRequire(`${root}/tests/browser/package.json`);
const { chromium } = require('playwright-core');
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium',
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking', '--no-first-run'] });
const page = await browser.newPage({ viewport: { width: 390, height: 844 }, deviceScaleFactor: 2, isMobile: true,
  hasTouch: true, reducedMotion: 'reduce' });
await page.goto(`file://${album}/index.html`, { waitUntil: 'load' });
await page.waitForFunction(() => [...document.images].every((img) => img.complete));
await page.screenshot({ path: `${root}/docs/gallery-phone.png` });
await page.click('#sky\\.jpg a');
await page.waitForSelector('.pswp--open .pswp__img:not(.pswp__img--placeholder)');
await page.waitForFunction(() => [...document.querySelectorAll('.pswp__img')].every((img) => img.complete));
await page.screenshot({ path: `${root}/docs/gallery-viewer.png` });
await browser.close();
JS
echo "Written: docs/gallery-phone.png docs/gallery-viewer.png"
