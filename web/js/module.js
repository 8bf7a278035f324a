// The game's WebAssembly module (src/web/web_main.cpp) and what it asks of the page: the
// clocks, the sounds, the local time, the key file and the windows. Every call into the module
// runs to its end; between calls the game sleeps.

const encoder = new TextEncoder();
const decoder = new TextDecoder();

// The few calls the C library makes of a WASI system: nothing but a message on stderr is
// expected (a fault of our own code); each is logged, and an exit stops the module.
function wasiImports(memory) {
  const view = () => new DataView(memory().buffer);
  let line = '';
  return {
    environ_sizes_get: (count, size) => {
      view().setUint32(count, 0, true);
      view().setUint32(size, 0, true);
      return 0;
    },
    environ_get: () => 0,
    fd_close: () => 0,
    fd_seek: () => 70, // ESPIPE: no file to seek in
    fd_write: (fd, iovs, count, written) => {
      const v = view();
      let n = 0;
      for (let i = 0; i < count; i++) {
        const ptr = v.getUint32(iovs + 8 * i, true);
        const len = v.getUint32(iovs + 8 * i + 4, true);
        line += decoder.decode(new Uint8Array(memory().buffer, ptr, len));
        n += len;
      }
      const lines = line.split('\n');
      line = lines.pop();
      for (const l of lines) console.error(l);
      v.setUint32(written, n, true);
      return 0;
    },
    proc_exit: (status) => {
      throw new Error(`the game stopped (status ${status})`);
    },
  };
}

// `page` answers the module's requests: { playSound(name, flags), timeText(wallMs),
// keyFile: { read(), write(text) }, showGame(shown), showDialog(open), toggleFullscreen(),
// viewChanged(), say(line) }.
export async function loadGame(url, page) {
  let instance;
  const memory = () => instance.exports.memory;
  const bytes = (ptr, len) => new Uint8Array(memory().buffer, ptr, len);
  const str = (ptr, len) => decoder.decode(bytes(ptr, len));
  // Writes `text` at ptr, at most `capacity` bytes; returns the length written.
  const put = (text, ptr, capacity) => {
    const r = encoder.encodeInto(text, bytes(ptr, capacity));
    return r.written;
  };
  let keyText = null; // the key file between its length and its read
  const imports = {
    wasi_snapshot_preview1: wasiImports(memory),
    crateworks: {
      steady_ms: () => performance.now(),
      wall_ms: () => Date.now(),
      play_sound: (ptr, len, flags) => page.playSound(str(ptr, len), flags),
      time_text: (wallMs, ptr, capacity) => put(page.timeText(wallMs), ptr, capacity),
      key_file_length: () => {
        keyText = page.keyFile.read();
        return keyText === null ? -1 : encoder.encode(keyText).length;
      },
      key_file_read: (ptr, capacity) => put(keyText ?? '', ptr, capacity),
      key_file_write: (ptr, len, why, capacity) => {
        const refused = page.keyFile.write(str(ptr, len));
        return refused ? put(refused, why, capacity) || 1 : 0;
      },
      show_game: (shown) => page.showGame(shown !== 0),
      show_dialog: (open) => page.showDialog(open !== 0),
      toggle_fullscreen: () => page.toggleFullscreen(),
      view_changed: () => page.viewChanged(),
      say: (ptr, len) => page.say(str(ptr, len)),
    },
  };
  const response = await fetch(url);
  if (!response.ok) throw new Error(`cannot load ${url}: ${response.status}`);
  ({ instance } = await WebAssembly.instantiateStreaming(response, imports));
  const x = instance.exports;
  x._initialize();

  const out = (ptr) => str(ptr, x.cw_out_length());
  // Text, or bytes as they are.
  const handIn = (text) => {
    const data = typeof text === 'string' ? encoder.encode(text) : text;
    bytes(x.cw_buffer(data.length), data.length).set(data);
    return data.length;
  };
  const ints = (ptr, n) => new Int32Array(memory().buffer, ptr, n);

  return {
    segments() {
      return out(x.cw_segments())
        .trim()
        .split('\n')
        .map((l) => {
          const [sx, sy, w, h, picture] = l.split(' ');
          return { x: +sx, y: +sy, w: +w, h: +h, picture };
        });
    },
    soundNames: () => out(x.cw_sound_names()).trim().split('\n'),
    // The sound's file (an ArrayBuffer, or null for none): the game measures its hold.
    setSound(name, file) {
      const n = encoder.encode(name);
      const all = new Uint8Array(n.length + (file ? file.byteLength : 0));
      all.set(n);
      if (file) all.set(new Uint8Array(file), n.length);
      x.cw_set_sound(n.length, handIn(all));
    },
    start: (seed) => x.cw_start(seed),
    // Plays a recording; returns { ok, note } (note: what to say first, or why it cannot).
    play(text, name) {
      const nameLength = encoder.encode(name).length;
      const failed = x.cw_play(handIn(text + name) - nameLength, nameLength);
      return { ok: failed === 0, note: out(x.cw_out()) };
    },
    state: () => x.cw_state(),
    wake: () => x.cw_wake(),
    frameVersion: () => x.cw_frame_version(),
    settledMs: () => x.cw_settled_ms(),
    frame: () => new Int16Array(memory().buffer, x.cw_frame(), 118).slice(),
    resize: (w, h) => x.cw_resize(w, h),
    // The pause's marks as the desktop draws them: { ink, veilAlpha, barAlpha, marks: [{ veil,
    // bars: [a, b] }] }, in canvas pixels.
    pauseMarks() {
      const at = x.cw_pause_marks();
      const [count, r, g, b, veilAlpha, barAlpha] = ints(at, 6);
      const all = ints(at, 6 + 12 * count);
      const rect = (i) => ({ x: all[i], y: all[i + 1], w: all[i + 2], h: all[i + 3] });
      const marks = [];
      for (let i = 0; i < count; i++) {
        const o = 6 + 12 * i;
        marks.push({ veil: rect(o), bars: [rect(o + 4), rect(o + 8)] });
      }
      return { ink: [r, g, b], veilAlpha, barAlpha, marks };
    },
    layout() {
      const at = x.cw_layout();
      const [count, set, scale] = ints(at, 3);
      const all = ints(at, 3 + 8 * count);
      const panes = [];
      for (let i = 0; i < count; i++) {
        const p = all.subarray(3 + 8 * i, 11 + 8 * i);
        panes.push({
          from: { x: p[0], y: p[1], w: p[2], h: p[3] },
          to: { x: p[4], y: p[5], w: p[6], h: p[7] },
        });
      }
      return { set, scale: scale / 1e6, panes };
    },
    key: (code, key, down, repeat, at) => x.cw_key(code, key, down ? 1 : 0, repeat ? 1 : 0, at),
    pointer: (button, down, px, py, at) => x.cw_pointer(button, down ? 1 : 0, px, py, at),
    wheel: (steps, at) => x.cw_wheel(steps, at),
    pad: (kind, pad, button, down, stick, value, at) =>
      x.cw_pad(kind, pad, button, down ? 1 : 0, stick, value, at),
    touchKey: (px, py) => x.cw_touch_key(px, py),
    dialog() {
      const d = ints(x.cw_dialog(), 6);
      return { open: d[0] === 1, row: d[1], boxes: [d[2], d[3], d[4], d[5]] };
    },
    dialogLabels: () => out(x.cw_dialog_texts()).trim().split('\n'),
    toggleView: () => x.cw_toggle_view(),
    togglePause: () => x.cw_toggle_pause() === 1,
    paused: () => x.cw_paused() === 1,
    toggleMute: () => x.cw_toggle_mute() === 1,
    muted: () => x.cw_muted() === 1,
    pauseOnBlur: (on) => x.cw_pause_on_blur(on ? 1 : 0),
    focus: (ours) => x.cw_focus(ours ? 1 : 0),
    boxTooltip: (row) => out(x.cw_box_tooltip(row)),
    label: (row, down, at) => x.cw_label(row, down ? 1 : 0, at),
    closeDialog: (at) => x.cw_close_dialog(at),
    recording: () => out(x.cw_recording()),
  };
}
