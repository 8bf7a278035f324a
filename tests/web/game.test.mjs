// A game B played in the page to misses and a game over, downloaded as a recording while it
// goes on: the native replay checks it (every value the same), the page's last picture shows
// what the replay shows at its end, and the recording played back in the page (?play=) ends
// as recorded. The same session as the desktop's tests/e2e/record_session.sh.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { copyFileSync, mkdirSync, readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { check, env, inBrowser, report, run, sleep } from './lib.mjs';

// Clicks the page's download control and waits for the browser to have saved the file.
async function download(s, page, cdp, name) {
  const done = new Promise((resolve, reject) => {
    const timer = setTimeout(() => reject(new Error('no recording was downloaded')), 20000);
    const progress = (e) => {
      if (e.state === 'inProgress') return;
      clearTimeout(timer);
      cdp.off('Browser.downloadProgress', progress);
      if (e.state === 'completed') resolve(e.guid);
      else reject(new Error(`the download was ${e.state}`));
    };
    cdp.on('Browser.downloadProgress', progress);
  });
  done.catch(() => {}); // told below, once the click is done
  await page.click('#download');
  let guid;
  try {
    guid = await done;
  } catch (e) {
    const said = await page.$eval('#status', (el) => el.textContent);
    throw new Error(`${e.message} (the page said '${said}')`);
  }
  const to = join(s.work, name);
  copyFileSync(join(s.work, guid), to);
  return to;
}

test('a game B to the game over, recorded, replayed and played back', { timeout: 400000 }, () =>
  inBrowser('game', async (s) => {
    const page = await s.open();
    const cdp = await page.createCDPSession();
    await cdp.send('Browser.setDownloadBehavior', {
      behavior: 'allowAndName', // saved under its guid
      downloadPath: s.work,
      eventsEnabled: true,
    });
    const expect = async (what, secs, exps) => {
      const v = await s.look(page, what, secs, exps);
      assert.ok(v.ok, `${what}: ${v.text}`);
      return v;
    };

    await page.keyboard.press('F2');
    await expect('game-b', 3, ['IMGameB=lit', 'IMGameA=dark']);
    await page.keyboard.press('l');
    await expect('bepo-down', 2, ['Bepo:1=lit', 'Bepo:3=dark']);
    await sleep(1000);
    await page.keyboard.press('q');
    await expect('nando-up', 2, ['Nando:3=lit']);
    await page.keyboard.press('a');
    await expect('nando-down', 2, ['Nando:1=lit']);
    // A page held up (a hidden tab's slowed timers, a starved machine) runs late: the time it
    // missed is a suspended machine's, each timer that fell due ticking once, and the recording
    // says so. (A page frozen through CDP takes no clicks after it thaws.)
    await page.evaluate(() => {
      const end = performance.now() + 2500;
      while (performance.now() < end);
    });
    await expect('a-miss', 60, ['Vita:1-3=some']);
    // The game over: the clock shows again (its colon lit) once the final score has stood.
    await expect('game-over', 90, ['duepunti=lit']);
    // Not at the turn of a minute: the picture must not change before the download.
    if (new Date().getSeconds() >= 57) await sleep(4000);
    const last = await expect('last', 0, ['duepunti=lit']);
    const recording = await download(s, page, cdp, 'game.scn');

    // Esc switches the device off: the LCD goes dark, and the game's whole recording stays.
    await page.keyboard.press('Escape');
    await expect('off', 3, ['duepunti=dark', 'IMGameB=dark', 'Camion=dark', 'Bepo:1=dark']);
    const ended = await download(s, page, cdp, 'ended.scn');
    assert.match(readFileSync(ended, 'utf8'), /^keydown 27$/m, 'Esc is in the ended game');
    assert.deepEqual(page.errors, []);

    // The native replay, in a folder of its own: every recorded value the same.
    const text = readFileSync(recording, 'utf8');
    assert.match(text, /^keydown 113$/m);
    assert.match(text, /^keydown 76$/m);
    assert.match(text, /^stall \d+$/m, 'the held-up page is a stall');
    const folder = join(s.work, 'replay');
    mkdirSync(folder);
    let replayed;
    for (const file of [ended, recording]) {
      try {
        replayed = (await run(env.replay, ['--check', file], { cwd: folder })).stdout;
      } catch (e) {
        assert.fail(`the replay of ${file} differs: ${e.stderr}`);
      }
    }
    assert.match(replayed, /^expect ok: Misses 0$/m, 'a game over in the replay');
    assert.ok(Number(/^expect ok: Score (\d+)$/m.exec(replayed)?.[1]) >= 1, 'a crate lifted');

    // The page's last picture is the replay's end, segment by segment.
    const replayedFile = join(s.work, 'replayed');
    writeFileSync(replayedFile, replayed);
    writeFileSync(join(s.work, 'report'), await report(last.file));
    const { stdout } = await run('bash', [
      new URL('../e2e/replay_checks.sh', import.meta.url).pathname,
      join(s.work, 'report'),
      replayedFile,
    ]);
    const checks = stdout.trim().split('\n');
    assert.ok(checks.length > 50, `only ${checks.length} segments to compare`);
    const { ok, text: verdict } = await check(last.file, checks);
    assert.ok(ok, `the last picture: ${verdict}`);

    // Played back in the page: it plays to its end and says it ended as recorded.
    copyFileSync(recording, join(s.served, 'game.scn'));
    const watch = await s.open(`${s.url}?play=test/game.scn`);
    await watch.waitForFunction(
      () => /played back as recorded|differ/.test(document.querySelector('#status').textContent),
      { timeout: 150000, polling: 500 },
    );
    const said = await watch.$eval('#status', (e) => e.textContent);
    assert.match(said, /played back as recorded/);
    assert.deepEqual(watch.errors, []);
  }));
