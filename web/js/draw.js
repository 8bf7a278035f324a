// The casing and its LCD segments on a canvas of device pixels: each pane of the layout the
// module gives (the whole casing, or the two screens side by side), every shown segment's
// picture at its place, from the picture set that suits the scale (1x, 2x or 3x).

const kCasing = { picture: 'casing.png', w: 805, h: 449 };

export function setFolder(set) {
  return set === 1 ? 'assets/' : `assets/${set}x/`;
}

function loadImage(src) {
  return new Promise((resolve, reject) => {
    const img = new Image();
    img.src = src;
    // Decoded off the main thread now, not at the first draw.
    img.decode().then(
      () => resolve(img),
      () => reject(new Error(`cannot load picture ${src}`)),
    );
  });
}

export class Painter {
  constructor(canvas, segments) {
    this.canvas = canvas;
    this.ctx = canvas.getContext('2d', { alpha: false });
    this.segments = segments;
    this.sets = new Map(); // set -> Promise of Map(picture -> img)
    this.pictures = null; // the set drawn from
    this.set = 0;
    this.backdrop = '#000';
  }

  // Every picture of `set`, loaded once.
  loadSet(set) {
    if (!this.sets.has(set)) {
      const names = [kCasing.picture, ...new Set(this.segments.map((s) => s.picture))];
      const folder = setFolder(set);
      this.sets.set(
        set,
        Promise.all(names.map((n) => loadImage(folder + n).then((img) => [n, img]))).then(
          (pairs) => new Map(pairs),
        ),
      );
    }
    return this.sets.get(set);
  }

  // Draws from `set` once it has loaded (the set drawn from until then stays).
  async use(set) {
    if (set === this.set && this.pictures) return;
    const pictures = await this.loadSet(set);
    this.set = set;
    this.pictures = pictures;
    this.backdrop = cornerColour(pictures.get(kCasing.picture));
  }

  // The whole picture: `frame` says per segment which segment's picture it shows (-1: none);
  // `pause`, when given (the module's pauseMarks), lays the pause's marks over the screens.
  draw(layout, frame, shown, pause = null) {
    const { ctx, canvas } = this;
    ctx.fillStyle = this.backdrop;
    ctx.fillRect(0, 0, canvas.width, canvas.height);
    if (!this.pictures || !shown) return;
    ctx.imageSmoothingEnabled = true;
    ctx.imageSmoothingQuality = 'high';
    const s = layout.scale;
    // Logical unit v starts at pixel px(v), as the desktop rounds (live/view_layout.cpp).
    const px = (v) => Math.floor(v * s + 0.5);
    const casing = this.pictures.get(kCasing.picture);
    for (const { from, to } of layout.panes) {
      ctx.save();
      ctx.beginPath();
      ctx.rect(to.x, to.y, to.w, to.h);
      ctx.clip();
      const ox = to.x - px(from.x);
      const oy = to.y - px(from.y);
      ctx.drawImage(casing, ox, oy, px(kCasing.w), px(kCasing.h));
      for (let i = 0; i < frame.length; i++) {
        const source = frame[i];
        if (source < 0) continue;
        const at = this.segments[i];
        const pic = this.segments[source];
        if (
          at.x >= from.x + from.w || at.x + pic.w <= from.x ||
          at.y >= from.y + from.h || at.y + pic.h <= from.y
        ) continue;
        ctx.drawImage(this.pictures.get(pic.picture), ox + px(at.x), oy + px(at.y), px(pic.w), px(pic.h));
      }
      ctx.restore();
    }
    if (pause) drawPause(ctx, pause);
  }
}

// Each screen dimmed under two bars: the device stands still and waits.
function drawPause(ctx, { ink, veilAlpha, barAlpha, marks }) {
  const fill = (alpha, r) => {
    ctx.fillStyle = `rgba(${ink.join(',')},${alpha / 255})`;
    ctx.fillRect(r.x, r.y, r.w, r.h);
  };
  for (const { veil, bars } of marks) {
    fill(veilAlpha, veil);
    for (const bar of bars) fill(barAlpha, bar);
  }
}

// The casing's own backdrop continues around it.
function cornerColour(img) {
  const c = document.createElement('canvas');
  c.width = 1;
  c.height = 1;
  const g = c.getContext('2d');
  g.drawImage(img, 0, 0, 1, 1, 0, 0, 1, 1);
  const [r, gr, b, a] = g.getImageData(0, 0, 1, 1).data;
  return a === 255 ? `rgb(${r},${gr},${b})` : '#000';
}
