// Shared by the browser tests: the site served on 127.0.0.1, Debian's chromium driven by
// puppeteer-core with a fresh profile, and the page's picture judged through its pixels by the
// desktop end-to-end tests' checker (tests/e2e/seg_check.cpp, --image), never against a stored
// screenshot. The environment (tests/web/run.sh sets it): CW_SITE, CW_SEG_CHECK, CW_REPLAY,
// CW_ASSETS, CW_SHOTS, CW_NODE_MODULES.
import { execFile } from 'node:child_process';
import { mkdirSync, mkdtempSync, rmSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { promisify } from 'node:util';
import { launchChromium } from '../../tools/chromium.mjs';
import { serve } from '../../tools/serve_web.mjs';

const require = createRequire(join(process.env.CW_NODE_MODULES, 'x.js'));
const puppeteer = require('puppeteer-core');
const run = promisify(execFile);

export const env = {
  site: process.env.CW_SITE,
  segCheck: process.env.CW_SEG_CHECK,
  replay: process.env.CW_REPLAY,
  assets: process.env.CW_ASSETS,
  shots: process.env.CW_SHOTS,
};

// The casing at 1x: the canvas is 802 x 448 device pixels, as the desktop's window at scale 1,
// with the page's control bar (40 pixels) below it.
export const kViewport = { width: 802, height: 488, deviceScaleFactor: 1 };
// Logical points of the casing's buttons (core/display/layout.cpp).
export const kButtons = { time: [568, 317], acl: [258, 317], gameA: [488, 317] };

export const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// A browser with a profile of its own, its work folder (downloads go there), and the site
// served. `close()` ends all three.
export async function openBrowser(name) {
  const work = mkdtempSync(join(tmpdir(), `cw-web-${name}-`));
  const served = join(work, 'served');
  mkdirSync(served);
  // The site, and under /test/ files a test puts in `served`.
  const server = await serve(env.site, 0, { '/test/': served });
  // Pictures as their files give them, not turned to a display's colours.
  const browser = await launchChromium(puppeteer, join(work, 'profile'), [
    '--force-color-profile=srgb',
  ]);
  mkdirSync(join(env.shots, name), { recursive: true });
  let shots = 0;
  const session = {
    work,
    served,
    server,
    browser,
    url: server.url,
    // Opens the page and waits until it has drawn the casing.
    async open(url = server.url, prepare = async () => {}) {
      const page = await browser.newPage();
      page.errors = [];
      page.on('pageerror', (e) => page.errors.push(e.message));
      await page.setViewport(kViewport);
      await prepare(page);
      await page.goto(url, { waitUntil: 'load' });
      await page.waitForSelector('body.ready', { timeout: 15000 });
      return page;
    },
    // Looks at the canvas for up to `secs` seconds until every expectation of the checker
    // holds; the last look is kept under `what` in the shots folder. Returns the checker's
    // verdict; `ok` tells whether they held.
    async look(page, what, secs, expectations) {
      shots += 1;
      const file = join(env.shots, name, `${String(shots).padStart(2, '0')}-${what}.png`);
      const end = Date.now() + secs * 1000;
      for (;;) {
        await page.screenshot({ path: file, clip: { x: 0, y: 0, width: 802, height: 448 } });
        const verdict = await check(file, expectations);
        if (verdict.ok || Date.now() >= end) return { ...verdict, file };
        await sleep(200);
      }
    },
    async close() {
      await browser.close().catch(() => {});
      await server.close();
      rmSync(work, { recursive: true, force: true });
    },
  };
  return session;
}

// Runs `body` with a browser of its own (openBrowser), closed whatever happens.
export async function inBrowser(name, body) {
  const s = await openBrowser(name);
  try {
    await body(s);
  } finally {
    await s.close();
  }
}

// The checker's verdict on a picture file.
export async function check(file, expectations) {
  try {
    const { stdout } = await run(env.segCheck, [env.assets, '--image', file, ...expectations]);
    return { ok: true, text: stdout };
  } catch (e) {
    return { ok: false, text: `${e.stdout ?? ''}${e.stderr ?? ''}`.trim() || e.message };
  }
}

// What the checker reports of every segment in a picture (for replay_checks.sh).
export async function report(file) {
  const { stdout } = await run(env.segCheck, [env.assets, '--image', file, '--report']);
  return stdout;
}

export { run };
