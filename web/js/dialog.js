// The key dialog as a <dialog>: the four labels (a click chooses the row whose key the next
// key press sets), each row's key in a one-character box, and the close box, which keeps the
// keys. What it shows comes from the game after each change.

const win1252 = new TextDecoder('windows-1252');

export class KeyDialog {
  constructor(element, game, now) {
    this.element = element;
    this.game = game;
    this.rows = [];
    const labels = game.dialogLabels();
    const list = element.querySelector('.rows');
    labels.forEach((label, i) => {
      const row = document.createElement('div');
      row.className = 'row';
      const button = document.createElement('button');
      button.type = 'button';
      button.className = 'label';
      button.textContent = label;
      const box = document.createElement('output');
      box.className = 'box';
      row.append(button, box);
      list.append(row);
      // A press and its release on the same label click it, as the desktop's mouse does; a
      // click on the row's key box chooses the row too.
      const choose = (e) => {
        this.game.label(i + 1, true, now(e));
        this.game.label(i + 1, false, now(e));
        this.onInput();
      };
      button.addEventListener('click', choose);
      box.addEventListener('click', choose);
      this.rows.push({ button, box });
    });
    element.querySelector('.close').addEventListener('click', (e) => {
      this.game.closeDialog(now(e));
      this.onInput();
    });
    // Esc is a key the dialog takes like any other, not the browser's way out of it.
    element.addEventListener('cancel', (e) => e.preventDefault());
    this.onInput = () => {};
  }

  show(open) {
    if (open && !this.element.open) this.element.showModal();
    if (!open && this.element.open) this.element.close();
    this.update();
  }

  update() {
    if (!this.element.open) return;
    const d = this.game.dialog();
    this.rows.forEach(({ button, box }, i) => {
      const code = d.boxes[i];
      box.value = code >= 32 && code <= 255 ? win1252.decode(new Uint8Array([code])) : '';
      // The box shows the key's character ("&" for Up): its tooltip names the key.
      const tip = this.game.boxTooltip(i + 1);
      if (box.title !== tip) {
        box.title = tip;
        box.setAttribute('aria-label', tip);
      }
      button.setAttribute('aria-pressed', d.row === i + 1 ? 'true' : 'false');
      box.classList.toggle('selected', d.row === i + 1);
    });
  }
}
