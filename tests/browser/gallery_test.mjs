// SPDX-License-Identifier: MIT
// The Gallery album in a real browser (Debian's Chromium through playwright-core), opened from disk and
// over a loopback HTTP server, on a desktop screen and on a dense phone screen: no sideways scrolling, the
// denser thumbnails on the dense screen, no request to any other host, the viewer opened by click, by
// keyboard and by address, moved with the arrow keys, closed by Esc and Back with focus returned, a movie
// playing in it, a photo's caption shown, and axe-core finding nothing with the viewer closed and open. The Nu checker reads the
// page first. Exit 0 passed, 1 failed, 77 skipped (npm packages or Chromium missing).
// Usage: node gallery_test.mjs ALBUMWRIGHT-MAKE SAMPLES-FOLDER WORK-FOLDER
import { execFileSync } from 'node:child_process';
import { createReadStream, existsSync, mkdirSync, rmSync, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { createRequire } from 'node:module';
import { dirname, extname, join, normalize } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const here = dirname(fileURLToPath(import.meta.url));
const require = createRequire(join(here, 'package.json'));
const [make, samples, work] = process.argv.slice(2);
const chromium = '/usr/bin/chromium';
const vnu = join(here, 'node_modules/vnu-jar/build/dist/vnu.jar');
if (!existsSync(join(here, 'node_modules/playwright-core')) || !existsSync(vnu) || !existsSync(chromium)) {
  console.log('SKIPPED: run scripts/setup.sh (npm ci in tests/browser) and install chromium');
  process.exit(77);
}
const { chromium: browserType } = require('playwright-core');
const axeSource = require('node:fs').readFileSync(require.resolve('axe-core/axe.min.js'), 'utf8');

let failures = 0;
function check(ok, what) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) failures++;
}

// The album, made the way a user makes it.
const album = join(work, 'album');
rmSync(work, { recursive: true, force: true });
mkdirSync(work, { recursive: true });
const inputs = ['landscape.jpg', 'p3.png', 'clip.webm', 'tone.wav', 'rotated.heic', 'clip.3gp', 'caption_exif.jpg'];
execFileSync(make, ['-y', '-q', '-a', '5', '-t', 'Browser test', '-o', album,
  ...inputs.map((name) => join(samples, name))], { stdio: 'inherit' });

try {
  execFileSync('java', ['-jar', vnu, '--errors-only', join(album, 'index.html')], { stdio: 'pipe' });
  check(true, 'the Nu checker finds no error');
} catch (error) {
  check(false, `the Nu checker: ${error.stderr || error.message}`);
}

const types = { '.html': 'text/html', '.css': 'text/css', '.js': 'text/javascript', '.jpg': 'image/jpeg',
  '.png': 'image/png', '.webm': 'video/webm', '.wav': 'audio/wav', '.txt': 'text/plain' };
const server = createServer((request, response) => {
  const path = normalize(join(album, decodeURIComponent(new URL(request.url, 'http://x').pathname)));
  if (!path.startsWith(album) || !existsSync(path) || !statSync(path).isFile()) {
    response.writeHead(404).end();
    return;
  }
  response.writeHead(200, { 'Content-Type': types[extname(path).toLowerCase()] || 'application/octet-stream' });
  createReadStream(path).pipe(response);
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const httpBase = `http://127.0.0.1:${server.address().port}/`;

const browser = await browserType.launch({
  executablePath: chromium,
  args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
    '--disable-component-update', '--no-first-run', '--autoplay-policy=no-user-gesture-required'],
});

async function axe(page, what) {
  await page.addScriptTag({ content: axeSource });
  const result = await page.evaluate(() => window.axe.run());
  const found = result.violations.map((v) => `${v.id} (${v.nodes.map((n) => n.target.join(' ')).join(', ')})`);
  check(found.length === 0, `axe-core, ${what}: ${found.join(', ') || 'no violation'}`);
}

const viewerOpen = (page) => page.evaluate(() => !!document.querySelector('.pswp--open'));

async function visit(base, screen) {
  const what = `${base.startsWith('file') ? 'file' : 'http'} ${screen.name}`;
  // Without motion the viewer takes keys at once (it takes none while it fades in).
  const context = await browser.newContext({ ...screen.options, reducedMotion: 'reduce' });
  const foreign = [];
  await context.route('**/*', (route) => {
    const url = new URL(route.request().url());
    const local = url.protocol === 'file:' || (url.protocol === 'http:' && url.hostname === '127.0.0.1');
    if (local) return route.continue();
    foreign.push(url.href);
    return route.abort();
  });
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (error) => errors.push(error.message));
  await page.goto(base + 'index.html', { waitUntil: 'load' });

  const wide = await page.evaluate(() => document.documentElement.scrollWidth - window.innerWidth);
  check(wide <= 0, `${what}: no sideways scrolling (${wide} px too wide)`);
  const first = page.locator('#landscape.jpg img'.replace('.', '\\.'));
  const chosen = await first.evaluate((img) => img.currentSrc);
  const density = screen.options.deviceScaleFactor || 1;
  const expected = density >= 3 ? '/3x/' : density >= 2 ? '/2x/' : '/th_';
  check(chosen.includes(expected) || (density === 1 && !/\/[23]x\//.test(chosen)),
    `${what}: thumbnail for ${density}x screens (${chosen.slice(chosen.lastIndexOf('Thumb'))})`);
  await axe(page, `${what}, viewer closed`);

  // By click: the address follows the item, the arrows move, Esc closes and focus comes back.
  await page.click('#landscape\\.jpg a');
  await page.waitForSelector('.pswp--open');
  const dialog = await page.evaluate(() => {
    const root = document.querySelector('.pswp');
    return `${root.getAttribute('role')} ${root.getAttribute('aria-modal')} ${!!root.getAttribute('aria-label')}`;
  });
  check(dialog === 'dialog true true', `${what}: the viewer is a labelled modal dialog (${dialog})`);
  check(page.url().endsWith('#landscape.jpg'), `${what}: the address names the item shown`);
  await axe(page, `${what}, viewer open`);
  await page.keyboard.press('ArrowRight');
  const moved = await page.waitForFunction(() => location.hash === '#p3.png', null, { timeout: 5000 })
    .then(() => true, () => false);
  check(moved, `${what}: the right arrow moves to the next item (${new URL(page.url()).hash})`);
  for (let i = 0; i < 8; i++) await page.keyboard.press('Tab');
  check(await page.evaluate(() => !!document.activeElement.closest('.pswp')), `${what}: focus stays in the viewer`);
  await page.keyboard.press('Escape');
  await page.waitForFunction(() => !document.querySelector('.pswp'));
  const focused = await page.evaluate(() => document.activeElement.parentNode.id);
  check(focused === 'p3.png', `${what}: Esc closes and focus returns to the thumbnail (${focused})`);

  // By keyboard, then Back closes.
  await page.focus('#landscape\\.jpg a');
  await page.keyboard.press('Enter');
  await page.waitForSelector('.pswp--open');
  await page.goBack();
  await page.waitForFunction(() => !document.querySelector('.pswp'));
  check(!page.url().includes('#'), `${what}: opened by keyboard, closed by Back`);

  // By address, at a movie, which plays.
  await page.goto(base + 'index.html#clip.webm', { waitUntil: 'load' });
  await page.waitForSelector('.pswp--open video');
  const played = await page.waitForFunction(() => {
    const video = document.querySelector('.pswp__item:not([aria-hidden="true"]) video') ||
      document.querySelector('.pswp video');
    return video && video.currentTime > 0;
  }, null, { timeout: 10000 }).then(() => true, () => false);
  check(played, `${what}: the address opens the movie, which plays in the viewer`);
  check(await viewerOpen(page), `${what}: the viewer is open at the address's item`);

  // A photo with a caption shows it (the page loaded afresh at its address).
  await page.goto('about:blank');
  await page.goto(base + 'index.html#caption_exif.jpg', { waitUntil: 'load' });
  await page.waitForSelector('.pswp--open');
  const caption = await page.evaluate(() => {
    const shown = document.querySelector('.pswp__aw-caption');
    return shown && !shown.hidden ? shown.textContent : '';
  });
  check(caption === 'Caption from EXIF', `${what}: the viewer shows the photo's caption (${caption})`);
  await axe(page, `${what}, viewer open at a caption`);

  check(foreign.length === 0, `${what}: no request to another host ${foreign.join(' ')}`);
  check(errors.length === 0, `${what}: no script error ${errors.join(' ')}`);
  await context.close();
}

const screens = [
  { name: '1280x800', options: { viewport: { width: 1280, height: 800 } } },
  { name: '390x844@3', options: { viewport: { width: 390, height: 844 }, deviceScaleFactor: 3,
    isMobile: true, hasTouch: true } },
];
try {
  for (const base of [pathToFileURL(album).href + '/', httpBase]) {
    for (const screen of screens) await visit(base, screen);
  }
} finally {
  await browser.close();
  server.close();
}
console.log(`${failures === 0 ? 'passed' : `${failures} failed`}`);
process.exit(failures === 0 ? 0 : 1);
