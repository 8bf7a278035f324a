// After one visit the page plays with the network gone: the service worker kept every file of
// the site (files.json), and a reload with the server stopped draws the casing and plays, by
// key and by touch.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { env, inBrowser, kViewport } from './lib.mjs';

test('the page plays offline after one visit, by key and by touch', () =>
  inBrowser('offline', async (s) => {
    const page = await s.open(undefined, (p) => p.setViewport({ ...kViewport, hasTouch: true }));
    const site = JSON.parse(readFileSync(join(env.site, 'files.json'), 'utf8'));
    // The worker took charge and kept the whole site.
    const kept = await page.evaluate(async () => {
      const reg = await navigator.serviceWorker.ready;
      while (!reg.active || reg.active.state !== 'activated') await new Promise((r) => setTimeout(r, 50));
      const names = await caches.keys();
      const cache = await caches.open(names.find((n) => n.startsWith('crateworks-')));
      return (await cache.keys()).map((r) => new URL(r.url).pathname);
    });
    for (const f of site.files) assert.ok(kept.includes(`/${f}`), `${f} is kept`);

    await s.server.close(); // the network is gone: nothing answers on the site's address
    await page.reload({ waitUntil: 'load' });
    await page.waitForSelector('body.ready', { timeout: 15000 });
    await page.keyboard.press('F1');
    let v = await s.look(page, 'offline-game-a', 3, ['IMGameA=lit', 'IMGameB=dark', 'Camion=lit']);
    assert.ok(v.ok, v.text);
    // On a touch screen, a tap on the upper half of the left screen moves Nando up.
    await page.touchscreen.tap(190, 80);
    v = await s.look(page, 'tap-nando-up', 2, ['Nando:3=lit', 'Nando:1=dark']);
    assert.ok(v.ok, `a tap: ${v.text}`);
    // A phone's screen (3 device pixels to the CSS pixel): the canvas takes every device pixel,
    // so the picture is drawn crisp from the 3x set, not blown up.
    await page.setViewport({ width: 844, height: 390, deviceScaleFactor: 3, isMobile: true, hasTouch: true });
    await page.waitForSelector('body.ready', { timeout: 15000 });
    await page.waitForFunction(() => document.querySelector('#casing').width === 844 * 3);
    assert.equal(await page.$eval('#casing', (c) => c.height), 350 * 3);
    assert.deepEqual(page.errors, []);
  }));
