// SPDX-License-Identifier: MIT
// Measures album pages with Lighthouse (mobile, simulated throttling) in Debian's Chromium, each served
// plainly (no compression) by a static server on the loopback: what a phone gets before any scrolling.
// Usage: node page_bench.mjs RUNS NAME=FOLDER...   Prints one JSON line per page: the medians of RUNS runs.
import { createReadStream, existsSync, statSync } from 'node:fs';
import { createServer } from 'node:http';
import { extname, join, normalize } from 'node:path';
import lighthouse from 'lighthouse';
import * as chromeLauncher from 'chrome-launcher';

const [runs, ...pages] = process.argv.slice(2);
const types = { '.html': 'text/html; charset=utf-8', '.css': 'text/css', '.js': 'text/javascript',
  '.jpg': 'image/jpeg', '.png': 'image/png', '.txt': 'text/plain' };

function serve(folder) {
  const server = createServer((request, response) => {
    const path = normalize(join(folder, decodeURIComponent(new URL(request.url, 'http://x').pathname)));
    if (!path.startsWith(folder) || !existsSync(path) || !statSync(path).isFile()) {
      response.writeHead(404).end();
      return;
    }
    response.writeHead(200, { 'Content-Type': types[extname(path).toLowerCase()] || 'application/octet-stream',
      'Content-Length': statSync(path).size });
    createReadStream(path).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const chrome = await chromeLauncher.launch({
  chromePath: '/usr/bin/chromium',
  chromeFlags: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
    '--disable-component-update', '--no-first-run'],
});
try {
  for (const page of pages) {
    const [name, folder] = page.split('=');
    const server = await serve(folder);
    const index = existsSync(join(folder, 'index.html')) ? 'index.html' : 'Index.html';
    const url = `http://127.0.0.1:${server.address().port}/${index}`;
    const measured = [];
    for (let i = 0; i < Number(runs); i++) {
      const { lhr } = await lighthouse(url, { port: chrome.port, output: 'json', logLevel: 'error',
        onlyCategories: ['performance', 'accessibility'], disableFullPageScreenshot: true });
      // A page Lighthouse could not finish (a timeout on a huge page) still gives what it measured.
      const audit = (id) => lhr.audits[id] || {};
      const requests = (audit('network-requests').details || {}).items || [];
      const foreign = requests.filter((r) => !r.url.startsWith('http://127.0.0.1')).length;
      const score = (id) => (lhr.categories[id] && lhr.categories[id].score !== null
        ? Math.round(lhr.categories[id].score * 100) : NaN);
      measured.push({
        performance: score('performance'),
        accessibility: score('accessibility'),
        lcpMs: Math.round(audit('largest-contentful-paint').numericValue ?? NaN),
        cls: audit('cumulative-layout-shift').numericValue ?? NaN,
        kib: Math.round((audit('total-byte-weight').numericValue ?? NaN) / 1024),
        requests: requests.length,
        foreign,
        failed: lhr.runtimeError ? lhr.runtimeError.message : '',
      });
    }
    server.close();
    const result = { name, runs: measured.length, pageBytes: statSync(join(folder, index)).size };
    for (const key of Object.keys(measured[0])) {
      result[key] = typeof measured[0][key] === 'number' ? median(measured.map((m) => m[key])) : measured[0][key];
    }
    console.log(JSON.stringify(result));
  }
} finally {
  await chrome.kill();
}
