// The player's input as the game takes it: keys by their Windows virtual-key codes (a
// KeyboardEvent's keyCode), auto-repeat as it comes; mouse presses on the canvas; touches
// (a casing button pressed, or on a screen the key that moves its worker up or down); game
// controllers through the Gamepad API, as the desktop maps its pads. Each input goes to the
// game stamped with its event's time; `changed()` then lets the game run.

const kPadButtons = [
  // [standard mapping index, the live layer's PadButton]
  [12, 0], // D-pad up
  [13, 1], // D-pad down
  [3, 2], // north face button
  [0, 3], // south face button
  [9, 4], // start
  [8, 5], // back
];
const kSticks = [
  // [axis, the live layer's PadStick]
  [1, 0], // left stick, vertical
  [3, 1], // right stick, vertical
];
const kPadKind = { button: 0, stick: 1, removed: 2 };
const kTouchKeys = 448; // physical key ids from here on stand for touches

export class Input {
  // `game`: the module; `canvas`: the casing's; `hooks`: { press(e) (first key or click:
  // sound may start; returns true when the press only switches the device on),
  // changed(), dialogOpen() }.
  constructor(game, canvas, hooks) {
    this.game = game;
    this.canvas = canvas;
    this.hooks = hooks;
    this.keyIds = new Map(); // KeyboardEvent.code -> physical key id
    this.touches = new Map(); // pointerId -> { code, key } of a touch on a screen
    this.pads = new Map(); // index -> last state
    this.padTimer = 0;
  }

  attach() {
    window.addEventListener('keydown', (e) => this.key(e, true));
    window.addEventListener('keyup', (e) => this.key(e, false));
    const c = this.canvas;
    c.addEventListener('pointerdown', (e) => this.pointer(e, true));
    c.addEventListener('pointerup', (e) => this.pointer(e, false));
    c.addEventListener('pointercancel', (e) => this.pointer(e, false));
    c.addEventListener('contextmenu', (e) => e.preventDefault());
    c.addEventListener('wheel', (e) => this.wheel(e), { passive: false });
    window.addEventListener('gamepadconnected', () => this.pollPads());
    window.addEventListener('gamepaddisconnected', (e) => this.padGone(e.gamepad.index));
  }

  keyId(code) {
    if (!this.keyIds.has(code)) this.keyIds.set(code, Math.min(this.keyIds.size + 1, kTouchKeys - 1));
    return this.keyIds.get(code);
  }

  key(e, down) {
    if (e.ctrlKey || e.metaKey || e.altKey) return; // the browser's own shortcuts
    if (this.keepsDefault(e)) {
      // Tab moves the dialog's focus; Enter and Space press its focused close box.
    } else {
      e.preventDefault();
    }
    if (down && !e.repeat && this.hooks.press(e)) return;
    this.game.key(e.keyCode, this.keyId(e.code), down, e.repeat, e.timeStamp);
    this.hooks.changed();
  }

  keepsDefault(e) {
    if (!this.hooks.dialogOpen()) return false;
    if (e.key === 'Tab') return true;
    const focus = document.activeElement;
    return (e.key === 'Enter' || e.key === ' ') && focus && focus.classList.contains('close');
  }

  // Canvas pixels under a pointer event.
  at(e) {
    const r = this.canvas.getBoundingClientRect();
    return [
      Math.floor(((e.clientX - r.left) * this.canvas.width) / r.width),
      Math.floor(((e.clientY - r.top) * this.canvas.height) / r.height),
    ];
  }

  pointer(e, down) {
    const [x, y] = this.at(e);
    if (down) {
      if (this.hooks.press(e)) return;
      this.canvas.setPointerCapture?.(e.pointerId);
    }
    if (e.pointerType === 'touch' || e.pointerType === 'pen') return this.touch(e, down, x, y);
    e.preventDefault();
    const button = e.button === 1 ? 2 : e.button === 2 ? 3 : 1;
    this.game.pointer(button, down, x, y, e.timeStamp);
    this.hooks.changed();
  }

  // A tap on a screen is the key that moves its worker; anywhere else, a press of the left
  // mouse button.
  touch(e, down, x, y) {
    e.preventDefault();
    if (down) {
      const code = this.game.touchKey(x, y);
      if (code) {
        const key = kTouchKeys + (this.touches.size % 64);
        this.touches.set(e.pointerId, { code, key });
        this.game.key(code, key, true, false, e.timeStamp);
      } else {
        this.game.pointer(1, true, x, y, e.timeStamp);
      }
    } else {
      const held = this.touches.get(e.pointerId);
      this.touches.delete(e.pointerId);
      if (held) this.game.key(held.code, held.key, false, false, e.timeStamp);
      else this.game.pointer(1, false, x, y, e.timeStamp);
    }
    this.hooks.changed();
  }

  wheel(e) {
    e.preventDefault();
    const steps = e.deltaY < 0 ? 1 : e.deltaY > 0 ? -1 : 0;
    if (steps) this.game.wheel(steps, e.timeStamp);
    this.hooks.changed();
  }

  // The Gamepad API has no events for its controls: they are read every frame while a
  // controller is connected, and not at all while none is.
  pollPads() {
    if (this.padTimer) return;
    const poll = () => {
      this.padTimer = 0;
      const pads = navigator.getGamepads ? [...navigator.getGamepads()].filter(Boolean) : [];
      if (pads.length === 0) return;
      const now = performance.now();
      let any = false;
      for (const pad of pads) any = this.readPad(pad, now) || any;
      if (any) this.hooks.changed();
      this.padTimer = setTimeout(poll, 16);
    };
    poll();
  }

  readPad(pad, now) {
    const last = this.pads.get(pad.index) ?? { buttons: [], sticks: [] };
    let changed = false;
    for (const [index, button] of kPadButtons) {
      const down = !!(pad.buttons[index] && pad.buttons[index].pressed);
      if (down === !!last.buttons[index]) continue;
      last.buttons[index] = down;
      if (down && this.hooks.press(null)) continue;
      this.game.pad(kPadKind.button, pad.index, button, down, 0, 0, now);
      changed = true;
    }
    for (const [axis, stick] of kSticks) {
      const value = Math.round((pad.axes[axis] ?? 0) * 32767);
      if (value === (last.sticks[axis] ?? 0)) continue;
      last.sticks[axis] = value;
      this.game.pad(kPadKind.stick, pad.index, 0, true, stick, value, now);
      changed = true;
    }
    this.pads.set(pad.index, last);
    return changed;
  }

  padGone(index) {
    this.pads.delete(index);
    this.game.pad(kPadKind.removed, index, 0, false, 0, 0, performance.now());
    this.hooks.changed();
  }
}
