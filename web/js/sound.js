// The game's four sounds through WebAudio: each WAV fetched and decoded once, one channel (a
// new sound cuts off the one still playing, as on the desktop), started on the first key or
// click (a browser plays nothing before one).

// How long a PCM WAV plays, in whole milliseconds rounded up, from its header: the same length
// the desktop and the replay hold the game for (host/data_files.cpp, wavLengthMs). Null when
// it is not a WAV the game plays.
export function wavLengthMs(buffer) {
  const v = new DataView(buffer);
  const tag = (at) => String.fromCharCode(...new Uint8Array(buffer, at, 4));
  if (v.byteLength < 12 || tag(0) !== 'RIFF' || tag(8) !== 'WAVE') return null;
  let at = 12;
  let format = 0;
  let byteRate = 0;
  let haveFormat = false;
  for (let chunks = 0; chunks < 64 && at + 8 <= v.byteLength; chunks++) {
    const id = tag(at);
    const size = v.getUint32(at + 4, true);
    at += 8;
    if (id === 'fmt ') {
      if (size < 16 || at + 16 > v.byteLength) return null;
      format = v.getUint16(at, true);
      byteRate = v.getUint32(at + 8, true);
      haveFormat = true;
    } else if (id === 'data') {
      if (!haveFormat || byteRate === 0 || (format !== 1 && format !== 3)) return null;
      const bytes = Math.min(size, v.byteLength - at); // a truncated file plays what it has
      if (bytes === 0) return null;
      return Math.floor((bytes * 1000 + byteRate - 1) / byteRate);
    }
    at += size + (size & 1);
  }
  return null;
}

// The file of a sound as the game names it ("Audio\Enemy.wav"), among the site's sound files:
// folders by backslash or slash, without regard to case.
function fileOf(name, files) {
  const wanted = name.replace(/\\/g, '/').toLowerCase();
  return files.find((f) => f.toLowerCase() === wanted);
}

export class Sounds {
  constructor() {
    this.context = null;
    this.buffers = new Map(); // lower-case file name -> AudioBuffer
    this.bytes = new Map();
    this.playing = null;
  }

  // Fetches each sound the game names; returns each one's hold in milliseconds (0 for one
  // that cannot be read, as a missing file holds nothing).
  async load(names, files) {
    const holds = new Map();
    await Promise.all(
      names.map(async (name) => {
        const file = fileOf(name, files);
        let ms = 0;
        if (file) {
          try {
            const r = await fetch(file);
            if (r.ok) {
              const data = await r.arrayBuffer();
              ms = wavLengthMs(data) ?? 0;
              this.bytes.set(name.toLowerCase(), data);
            }
          } catch {
            ms = 0;
          }
        }
        holds.set(name, ms);
      }),
    );
    return holds;
  }

  // The first key or click: the audio starts, and the sounds are decoded once.
  start() {
    if (this.context) {
      if (this.context.state === 'suspended') this.context.resume();
      return;
    }
    const Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) return;
    this.context = new Context();
    for (const [name, data] of this.bytes) {
      this.context
        .decodeAudioData(data.slice(0))
        .then((b) => this.buffers.set(name, b))
        .catch(() => {});
    }
  }

  play(name) {
    const buffer = this.buffers.get(name.toLowerCase());
    if (!this.context || !buffer) return;
    if (this.playing) {
      try {
        this.playing.stop();
      } catch {
        // it ended already
      }
    }
    const source = this.context.createBufferSource();
    source.buffer = buffer;
    source.connect(this.context.destination);
    source.start();
    this.playing = source;
  }
}
