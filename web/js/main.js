// The page: loads the game's module, its pictures and sounds, and drives it. The game runs
// only when something happens: an input, or the wake-up it asked for (the next change a
// player would see or hear, the end of a hold); it never redraws while nothing changes.
import { loadGame } from './module.js';
import { Painter, setFolder } from './draw.js';
import { Sounds } from './sound.js';
import { KeyFile } from './keyfile.js';
import { KeyDialog } from './dialog.js';
import { Input } from './input.js';
import { Recordings } from './recording.js';

const $ = (sel) => document.querySelector(sel);
const canvas = $('#casing');
const status = $('#status');

// One line for the player; it stays until the next.
function say(line) {
  status.textContent = line;
  status.hidden = !line;
}

let game;
let painter;
let dialog;
let timer = 0;
let shownVersion = -1;
let gameShown = true;
let screensView = false;
let layout;
const sounds = new Sounds();
const keyFile = new KeyFile();

// Runs the game up to now, shows what changed and sleeps until the next wake-up it asks for.
function wake() {
  clearTimeout(timer);
  timer = 0;
  const delay = game.wake();
  show();
  showSwitches();
  if (dialog) dialog.update();
  document.body.classList.toggle('off', game.state() === 0);
  if (delay >= 0) timer = setTimeout(wake, delay);
}

// Draws the picture when it changed since it was last drawn, or the pause began or ended.
let shownPaused = false;
function show(force = false) {
  const version = game.frameVersion();
  const paused = game.paused();
  if (!force && version === shownVersion && paused === shownPaused) return;
  shownVersion = version;
  shownPaused = paused;
  painter.draw(layout, game.frame(), gameShown, paused ? game.pauseMarks() : null);
  // Told to whoever measures the page (bench/web_budgets.mjs): what was drawn, and from when
  // the game let it show.
  const settledAt = game.settledMs();
  window.dispatchEvent(new CustomEvent('crateworks:drawn', { detail: { version, settledAt } }));
}

// The canvas takes the window's device pixels; the picture is fitted into it.
function resize(w, h) {
  if (w === canvas.width && h === canvas.height && layout) return;
  canvas.width = w;
  canvas.height = h;
  game.resize(w, h);
  relayout();
}

function relayout() {
  layout = game.layout();
  painter.use(layout.set).then(() => show(true));
  show(true);
}

function watchSize() {
  const measure = (entry) => {
    const r = entry.contentRect;
    const w = Math.round(r.width * devicePixelRatio);
    const h = Math.round(r.height * devicePixelRatio);
    // The exact device pixels where the browser tells them (an emulated phone's are CSS pixels:
    // taken only when they agree with the ratio).
    const box = entry.devicePixelContentBoxSize?.[0];
    if (box && Math.abs(box.inlineSize - w) <= 1 && Math.abs(box.blockSize - h) <= 1)
      return [box.inlineSize, box.blockSize];
    return [w, h];
  };
  const observer = new ResizeObserver((entries) => resize(...measure(entries[0])));
  try {
    // Told of a new pixel ratio too (a zoom, another screen), not only of a new size.
    observer.observe(canvas, { box: 'device-pixel-content-box' });
  } catch {
    observer.observe(canvas);
  }
}

// A fresh game: the generator seeded from the clock, as the desktop does.
function switchOn() {
  game.start(Math.floor(Date.now() / 1000));
  say('');
  wake();
}

// The first key or click starts the sound; one while the device is off switches it on, and
// does nothing else.
function press() {
  sounds.start();
  if (game.state() !== 0) return false;
  switchOn();
  return true;
}

function toggleFullscreen() {
  if (document.fullscreenElement) document.exitFullscreen?.();
  else document.documentElement.requestFullscreen?.().catch(() => {});
}

// What the pause and mute buttons say: the state they switch to.
function showSwitches() {
  // Written only when it changes: this runs at every wake-up.
  const say = (el, text) => {
    if (el.textContent !== text) el.textContent = text;
  };
  say($('#pause'), game.paused() ? 'Go on' : 'Pause');
  say($('#mute'), game.muted() ? 'Sound on' : 'Mute');
}

// The page's own controls: each a button in the bar, [selector, action].
const kControls = [
  ['#view', () => game.toggleView()],
  ['#fullscreen', () => toggleFullscreen()],
  ['#pause', () => game.togglePause()],
  ['#mute', () => game.toggleMute()],
];

// The pictures of a set start loading at once, beside the module (the painter's own loads of the
// same files then come from the browser's cache).
function warm(files, set) {
  const folder = setFolder(set);
  for (const f of files)
    if (f.startsWith(folder) && f.endsWith('.png') && !f.slice(folder.length).includes('/'))
      new Image().src = f;
}

async function boot() {
  const files = await (await fetch('files.json')).json();
  const firstSet = Math.min(3, Math.max(1, Math.ceil(devicePixelRatio - 1e-9)));
  warm(files.files, firstSet);
  game = await loadGame('crateworks-web.wasm', {
    playSound: (name) => sounds.play(name),
    timeText: (wallMs) => new Date(wallMs).toLocaleTimeString(),
    keyFile,
    showGame: (shown) => {
      gameShown = shown;
      show(true);
    },
    showDialog: (open) => dialog.show(open),
    toggleFullscreen,
    viewChanged: () => {
      screensView = !screensView;
      $('#view').textContent = screensView ? 'Casing' : 'Screens';
      relayout();
    },
    say,
  });
  painter = new Painter(canvas, game.segments());
  dialog = new KeyDialog($('#keys'), game, (e) => e.timeStamp);
  dialog.onInput = wake;
  const soundFiles = sounds.load(game.soundNames(), files.sounds);
  await painter.use(firstSet);
  // The casing shows as soon as its pictures are there; the game starts once its sounds' holds
  // are measured.
  watchSize();
  resize(canvas.width || 802, canvas.height || 448);
  for (const [name, file] of await soundFiles) game.setSound(name, file);

  const input = new Input(game, canvas, {
    press,
    changed: wake,
    dialogOpen: () => dialog.element.open,
  });
  input.attach();
  for (const [sel, action] of kControls) {
    $(sel).addEventListener('click', () => {
      sounds.start();
      action();
      wake();
    });
  }
  const recordings = new Recordings(game, { say, wake, press: () => sounds.start() });
  recordings.attach();
  // Keys go on playing the game after a click on a control, not pressing it again.
  $('.controls').addEventListener('click', () => canvas.focus());

  // Asked for by the page's address (?pause-on-blur), as by the desktop's option: the game
  // pauses while the page does not have the keyboard.
  game.pauseOnBlur(new URLSearchParams(location.search).has('pause-on-blur'));
  window.addEventListener('blur', () => {
    game.focus(false);
    wake();
  });
  window.addEventListener('focus', () => {
    game.focus(true);
    wake();
  });
  // A hidden tab's timers are slowed or stopped: back in view, the game runs up to now at once
  // (a long gap is a suspended machine's: each timer that fell due ticks once).
  document.addEventListener('visibilitychange', () => {
    if (!document.hidden && game.state() !== 0) wake();
  });
  if (!(await recordings.playFromAddress())) switchOn();
  document.body.classList.add('ready');
  if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js').catch(() => {});
}

boot().catch((e) => say(`The game cannot start: ${e.message}`));
