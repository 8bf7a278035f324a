// The game's four sounds through WebAudio: each WAV fetched and decoded once, one channel (a
// new sound cuts off the one still playing, as on the desktop), started on the first key or
// click (a browser plays nothing before one).

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

  // Fetches each sound the game names; returns each one's file (null for one that cannot be
  // read, which holds nothing, as a missing file does).
  async load(names, files) {
    const found = new Map();
    await Promise.all(
      names.map(async (name) => {
        const file = fileOf(name, files);
        let data = null;
        if (file) {
          try {
            const r = await fetch(file);
            if (r.ok) {
              data = await r.arrayBuffer();
              this.bytes.set(name.toLowerCase(), data);
            }
          } catch {
            data = null;
          }
        }
        found.set(name, data);
      }),
    );
    return found;
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
