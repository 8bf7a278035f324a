// Recordings in the replay language (the desktop's --record format): the game being played
// downloaded as one; one opened, dropped on the page or named by ?play=URL (on this site)
// played back to the same end check as the desktop's --play, its verdict said.

const kMaxRecording = 64 * 1024 * 1024; // live/playback.h, Playback::kMaxRecording

function fileName() {
  const t = new Date();
  const two = (n) => String(n).padStart(2, '0');
  return `crateworks-${t.getFullYear()}${two(t.getMonth() + 1)}${two(t.getDate())}-` +
    `${two(t.getHours())}${two(t.getMinutes())}${two(t.getSeconds())}.scn`;
}

export class Recordings {
  // hooks: { say(line), wake(), press() }
  constructor(game, hooks) {
    this.game = game;
    this.hooks = hooks;
  }

  attach() {
    document.querySelector('#download').addEventListener('click', () => this.download());
    const open = document.querySelector('#open-file');
    document.querySelector('#open').addEventListener('click', () => open.click());
    open.addEventListener('change', () => {
      if (open.files[0]) this.playFile(open.files[0]);
      open.value = '';
    });
    window.addEventListener('dragover', (e) => e.preventDefault());
    window.addEventListener('drop', (e) => {
      e.preventDefault();
      const file = e.dataTransfer?.files?.[0];
      if (file) this.playFile(file);
    });
  }

  download() {
    const text = this.game.recording();
    if (!text) {
      this.hooks.say('Nothing has been played to record yet.');
      return;
    }
    const a = document.createElement('a');
    a.href = URL.createObjectURL(new Blob([text], { type: 'text/plain' }));
    a.download = fileName();
    document.body.append(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(a.href), 10000);
  }

  async playFile(file) {
    // Far more than days of play take (the desktop refuses it too): not a recording.
    if (file.size > kMaxRecording) {
      this.hooks.say(`cannot play ${file.name}: it is larger than a recording can be`);
      return;
    }
    this.play(await file.text(), file.name);
  }

  play(text, name) {
    this.hooks.press();
    const { ok, note } = this.game.play(text, name);
    this.hooks.say(ok ? note || `Playing ${name}` : note);
    this.hooks.wake();
    return ok;
  }

  // ?play=URL: a recording on this site played as the page opens. True when one plays.
  async playFromAddress() {
    const wanted = new URLSearchParams(location.search).get('play');
    if (!wanted) return false;
    const url = new URL(wanted, location.href);
    if (url.origin !== location.origin) {
      this.hooks.say(`Not playing ${wanted}: only a recording on this site can be played.`);
      return false;
    }
    try {
      const r = await fetch(url);
      if (!r.ok) throw new Error(`${r.status} ${r.statusText}`);
      const text = await r.text();
      if (text.length > kMaxRecording) throw new Error('it is larger than a recording can be');
      return this.play(text, url.pathname.split('/').pop());
    } catch (e) {
      this.hooks.say(`cannot play ${wanted}: ${e.message}`);
      return false;
    }
  }
}
