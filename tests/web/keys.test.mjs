// The key dialog in the page: a label chooses the row, a key sets it, the close box keeps the
// keys in localStorage under "crateworks.key" as exactly the text the desktop writes to its
// file; a storage that refuses says so on one line, and the keys hold for the visit. F3 pauses
// the game in the page as on the desktop.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtempSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { env, inBrowser, kButtons, run } from './lib.mjs';

// The key file the desktop's program writes for the same choice, from the native replay.
async function desktopKeyFile(work) {
  const folder = mkdtempSync(join(work, 'replay-'));
  const scn = join(folder, 'choose.scn');
  writeFileSync(scn, 'wait 10\nclick ButtonTime\nclick Label1\nkeydown 75\nclose\n');
  await run(env.replay, ['--key-file=crateworks.key', scn], { cwd: folder });
  return readFileSync(join(folder, 'crateworks.key'), 'utf8');
}

// Opens the dialog with a click on TIME, sets Nando's up key to K and closes it.
async function chooseK(page) {
  await page.mouse.click(...kButtons.time);
  await page.waitForSelector('dialog#keys[open]', { timeout: 3000 });
  const [label] = await page.$$('dialog#keys .label');
  assert.equal(await label.evaluate((e) => e.textContent), "Nando's key up");
  await label.click();
  await page.keyboard.press('k');
  const box = await page.$eval('dialog#keys .box', (e) => e.value);
  assert.equal(box, 'K', 'the box shows the key chosen');
  await page.click('dialog#keys button[aria-label="Close"]');
  await page.waitForSelector('dialog#keys:not([open])', { timeout: 3000 });
}

// A game A started, and K moves Nando up.
async function kMovesNando(s, page) {
  await page.keyboard.press('F1');
  let v = await s.look(page, 'game-a', 3, ['IMGameA=lit', 'Nando:1=lit']);
  assert.ok(v.ok, v.text);
  await page.keyboard.press('k');
  v = await s.look(page, 'k-nando-up', 2, ['Nando:3=lit', 'Nando:1=dark']);
  assert.ok(v.ok, `K moves Nando up: ${v.text}`);
}

test('the key dialog keeps the keys in localStorage as the desktop keeps its file', () =>
  inBrowser('keys', async (s) => {
    const page = await s.open();
    await chooseK(page);
    const stored = await page.evaluate(() => localStorage.getItem('crateworks.key'));
    assert.equal(stored, await desktopKeyFile(s.work));
    assert.equal(await page.$eval('#status', (e) => e.hidden), true, 'nothing to say');
    // Read back after a reload: the dialog shows the key kept, and the game plays with it.
    await page.reload({ waitUntil: 'load' });
    await page.waitForSelector('body.ready');
    await page.mouse.click(...kButtons.time);
    await page.waitForSelector('dialog#keys[open]');
    assert.equal(await page.$eval('dialog#keys .box', (e) => e.value), 'K');
    await page.click('dialog#keys button[aria-label="Close"]');
    await kMovesNando(s, page);
    // F3 pauses the device as on the desktop: no key moves a worker until F3 again.
    await page.keyboard.press('F3');
    assert.equal(await page.$eval('#pause', (e) => e.textContent), 'Go on');
    await page.keyboard.press('a');
    await page.keyboard.press('F3');
    let v = await s.look(page, 'after-the-pause', 2, ['Nando:3=lit', 'Nando:1=dark']);
    assert.ok(v.ok, `A moved Nando while paused: ${v.text}`);
    await page.keyboard.press('a');
    v = await s.look(page, 'going-on', 2, ['Nando:1=lit', 'Nando:3=dark']);
    assert.ok(v.ok, `after the pause A moves Nando down: ${v.text}`);
    // M mutes as the desktop's key does; the page's button then turns the sound back on at the
    // first click (it once toggled a copy of its own, which M had left behind).
    await page.keyboard.press('m');
    assert.equal(await page.$eval('#mute', (e) => e.textContent), 'Sound on');
    await page.click('#mute');
    assert.equal(await page.$eval('#mute', (e) => e.textContent), 'Mute');
    assert.deepEqual(page.errors, []);
  }));

test('a storage that refuses: one line says the keys could not be kept; they hold for the visit', () =>
  inBrowser('refused', async (s) => {
    // As a browser in private mode or over its quota does.
    const page = await s.open(undefined, (p) =>
      p.evaluateOnNewDocument(() => {
        Storage.prototype.setItem = () => {
          throw new DOMException('the quota is exceeded', 'QuotaExceededError');
        };
      }),
    );
    await chooseK(page);
    const said = await page.$eval('#status', (e) => (e.hidden ? '' : e.textContent));
    assert.match(said, /could not be kept/);
    assert.equal(said.split('\n').length, 1);
    // Switched off and on again (Esc, then a key): a fresh start, still with the visit's keys.
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => document.body.classList.contains('off'));
    await page.keyboard.press('Shift');
    await page.waitForFunction(() => !document.body.classList.contains('off'));
    await kMovesNando(s, page);
    assert.deepEqual(page.errors, []);
  }));

test('a game controller moves the workers as the desktop maps pads', () =>
  inBrowser('pad', async (s) => {
    // A standard-mapping pad that the test presses through the Gamepad API the page reads.
    const page = await s.open(undefined, (p) =>
      p.evaluateOnNewDocument(() => {
        const pad = {
          index: 0,
          id: 'test pad',
          mapping: 'standard',
          connected: true,
          buttons: Array.from({ length: 17 }, () => ({ pressed: false, value: 0 })),
          axes: [0, 0, 0, 0],
        };
        window.testPad = pad;
        navigator.getGamepads = () => [pad];
      }),
    );
    await page.evaluate(() => {
      const e = new Event('gamepadconnected');
      Object.defineProperty(e, 'gamepad', { value: window.testPad });
      window.dispatchEvent(e);
    });
    await page.keyboard.press('F1');
    let v = await s.look(page, 'game-a', 3, ['IMGameA=lit', 'Nando:1=lit']);
    assert.ok(v.ok, v.text);
    // The D-pad moves Nando: up, and on release nothing more.
    await page.evaluate(() => (window.testPad.buttons[12].pressed = true));
    v = await s.look(page, 'dpad-up', 2, ['Nando:3=lit', 'Nando:1=dark']);
    assert.ok(v.ok, `the D-pad moves Nando up: ${v.text}`);
    await page.evaluate(() => (window.testPad.buttons[12].pressed = false));
    // The right stick pushed down moves Bepo down.
    await page.evaluate(() => (window.testPad.axes[3] = 1));
    v = await s.look(page, 'stick-down', 2, ['Bepo:1=lit', 'Bepo:3=dark']);
    assert.ok(v.ok, `the right stick moves Bepo down: ${v.text}`);
    assert.deepEqual(page.errors, []);
  }));
