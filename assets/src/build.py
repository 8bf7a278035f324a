"""Renders every picture of the device from the drawings in this folder.

The list of pictures, their sizes and places comes from the layout table in
src/core/display/layout.cpp, so the art can never disagree with the code about a size.
Every picture is drawn at 1x into assets/, and the casing and the segments again at 2x and
3x into assets/2x/ and assets/3x/ (each picture exactly that many times its size), from which
the front end draws when it shows the device larger.

    build.py ROOT [--svg DIR] [--preview DIR]
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile
from collections import OrderedDict

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import casing  # noqa: E402
import figures  # noqa: E402
import things  # noqa: E402
from svg import document, lcd_svg  # noqa: E402

ROW = re.compile(r'\{G::(\w+),\s*(\d+),\s*(-?\d+),\s*(-?\d+),\s*(\d+),\s*(\d+),\s*"([^"]+)"\}')

# Pictures that never show on the LCD: they get no ghost in the glass.
NOT_LCD = {"ButtonA", "ButtonB", "ButtonTime", "ACL", "Punti", "Vuoto"}
DIGIT_PLACES = {"Ora", "Centinaia", "Decina", "Unita"}
BLANK = "blank.png"
GHOST = 0.065  # how much ink an unlit segment leaves on the glass
SCALES = (1, 2, 3)  # the picture sets; the 1x set's files are the ones the layout names


class Seg:
    def __init__(self, m):
        self.group, self.member = m.group(1), int(m.group(2))
        self.x, self.y, self.w, self.h = (int(m.group(i)) for i in range(3, 7))
        self.file = m.group(7)

    @property
    def box(self):
        return (self.x, self.y, self.w, self.h)


def read_layout(root):
    with open(os.path.join(root, "src/core/display/layout.cpp"), encoding="utf-8") as f:
        segs = [Seg(m) for m in ROW.finditer(f.read())]
    if not segs:
        sys.exit("no segments found in src/core/display/layout.cpp")
    return segs


def pictures(segs):
    """file -> first segment using it; a shared file must have one size everywhere."""
    out = OrderedDict()
    for s in segs:
        first = out.setdefault(s.file, s)
        if (first.w, first.h) != (s.w, s.h):
            sys.exit(f"{s.file} is used at two sizes: {first.w}x{first.h} and {s.w}x{s.h}")
    return out


def drawing(seg):
    """SVG text for the picture first used by `seg`."""
    g, box, name = seg.group, seg.box, seg.file
    if name == BLANK:
        return document(box, "", "")
    if g == "Nando":
        return lcd_svg(box, figures.nando(seg.member))
    if g == "Bepo":
        return lcd_svg(box, figures.bepo(seg.member))
    if g == "CapoNando":
        return lcd_svg(box, figures.capo_nando(seg.member))
    if g == "CapoBepo":
        return lcd_svg(box, figures.capo_bepo(seg.member))
    if g == "Omino":
        return lcd_svg(box, figures.omino())
    if g == "Blocco":
        return lcd_svg(box, things.crate_for(name, box))
    if g.startswith("Crash"):
        return lcd_svg(box, things.crash(name, box))
    if g == "Camion":
        return lcd_svg(box, things.truck(box))
    if g == "Fumo":
        return lcd_svg(box, things.fumo(seg.member))
    if g == "Fumo2":
        return lcd_svg(box, things.fumo2(seg.member))
    if g == "Vita":
        return lcd_svg(box, things.vita(name, box))
    if g in ("IMGameA", "IMGameB"):
        return lcd_svg(box, things.mode_mark(name, box))
    if g == "Punti":
        return lcd_svg(box, things.digit(seg.member, box))
    if g == "duepunti":
        return lcd_svg(box, things.colon(box))
    if name == "button.png":
        return casing.key_up_svg()
    if name == "acl.png":
        return casing.acl_up_svg()
    sys.exit(f"no drawing for {name} ({g} {seg.member})")


def scenery_rows(segs):
    """Belt rows from the crate places: (top of band, far end) for each screen."""
    left, right, entry = {}, {}, 0
    for s in segs:
        if s.group != "Blocco" or s.member > 49:
            continue
        if s.file == "crate_entry.png":
            entry = max(entry, s.y + s.h)
        elif s.file.startswith("crate_belt"):
            y = s.y + s.h
            if s.x < 400:
                left[y] = min(left.get(y, 999), s.x - 6)
            else:
                right[y] = max(right.get(y, 0), s.x + s.w + 6)
    return sorted(left.items()), sorted(right.items()), entry


def render(svg_text, out_png, size, tmp, keep_dir=None):
    name = os.path.splitext(os.path.basename(out_png))[0] + ".svg"
    svg_path = os.path.join(keep_dir or tmp, name)
    with open(svg_path, "w", encoding="utf-8") as f:
        f.write(svg_text)
    w, h = size
    subprocess.run(["rsvg-convert", "-w", str(w), "-h", str(h), "-f", "png", "-o", out_png, svg_path],
                   check=True)
    # Store as 8-bit RGBA whatever the content, so every picture loads the same way.
    subprocess.run(["convert", out_png, "-define", "png:color-type=6", "-depth", "8",
                    "-strip", out_png], check=True)


def overlay(base, layers, out, opacity=1.0):
    """Composites (png, x, y) layers onto base with ImageMagick."""
    cmd = ["convert", base]
    for png, x, y in layers:
        if opacity < 1.0:
            cmd += ["(", png, "-channel", "A", "-evaluate", "multiply", str(opacity), "+channel", ")"]
        else:
            cmd += [png]
        cmd += ["-geometry", f"+{x}+{y}", "-composite"]
    cmd += ["-define", "png:color-type=6", "-depth", "8", "-strip", out]
    subprocess.run(cmd, check=True)


def render_set(assets, segs, pics, scale, tmp, svg_dir):
    """The segment pictures and the casing with its ghosts, at `scale` times their size."""
    out = assets if scale == 1 else os.path.join(assets, f"{scale}x")
    os.makedirs(out, exist_ok=True)
    keep = svg_dir if scale == 1 else None
    for name, seg in pics.items():
        render(drawing(seg), os.path.join(out, name), (seg.w * scale, seg.h * scale), tmp, keep)

    # The digit places are ghosted as a full "8".
    digit_box = next(s for s in segs if s.group in DIGIT_PLACES)
    eight = os.path.join(tmp, f"eight{scale}.png")
    render(lcd_svg(digit_box.box, things.eight(digit_box.box)), eight,
           (digit_box.w * scale, digit_box.h * scale), tmp)

    rows_left, rows_right, entry = scenery_rows(segs)
    buttons = [(label, s.x, s.y) for g, label in
               (("ButtonA", "GAME A"), ("ButtonB", "GAME B"), ("ButtonTime", "TIME"))
               for s in segs if s.group == g]
    acl = next((s.x, s.y) for s in segs if s.group == "ACL")
    base = os.path.join(tmp, "casing_base.png")
    render(casing.casing_svg(buttons, acl, rows_left, rows_right, entry), base,
           (casing.W * scale, casing.H * scale), tmp, keep)

    ghosts = []
    for s in segs:
        if s.group in NOT_LCD:
            continue
        if s.group in DIGIT_PLACES:
            ghosts.append((eight, s.x * scale, s.y * scale))
        elif s.file != BLANK:
            ghosts.append((os.path.join(out, s.file), s.x * scale, s.y * scale))
    overlay(base, ghosts, os.path.join(out, "casing.png"), opacity=GHOST)
    return eight


def compress(folder):
    """Lossless recompression of a larger set (the 1x files stay as they are)."""
    files = sorted(os.path.join(folder, f) for f in os.listdir(folder) if f.endswith(".png"))
    subprocess.run(["optipng", "-quiet", "-o2", "-strip", "all"] + files, check=True)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("root")
    ap.add_argument("--svg", help="keep the generated SVG files in this folder")
    ap.add_argument("--preview", help="also write composites of the face to this folder")
    args = ap.parse_args()

    root = os.path.abspath(args.root)
    assets = os.path.join(root, "assets")
    segs = read_layout(root)
    pics = pictures(segs)
    if args.svg:
        os.makedirs(args.svg, exist_ok=True)

    with tempfile.TemporaryDirectory() as tmp:
        eight = None
        for scale in SCALES:
            made = render_set(assets, segs, pics, scale, tmp, args.svg)
            if scale == 1:
                eight = made
            else:
                compress(os.path.join(assets, f"{scale}x"))

        render(casing.window_icon_svg(), os.path.join(assets, "icon.png"), (48, 64), tmp, args.svg)
        render(casing.dialog_icon_svg(), os.path.join(assets, "dialog_icon.png"), (15, 26), tmp,
               args.svg)
        write_app_icons(os.path.join(assets, "icons"), tmp, args.svg)

        if args.preview:
            write_previews(args.preview, assets, segs, eight)


# The sizes of the desktop's icon theme that the program installs, each rendered from the vector
# drawing; the drawing itself is installed as the scalable icon.
APP_ICON_SIZES = (16, 32, 48, 64, 128, 256)


def write_app_icons(out_dir, tmp, keep_dir=None):
    os.makedirs(out_dir, exist_ok=True)
    svg_text = casing.app_icon_svg()
    with open(os.path.join(out_dir, "icon.svg"), "w", encoding="utf-8") as f:
        f.write(svg_text)
    for size in APP_ICON_SIZES:
        render(svg_text, os.path.join(out_dir, f"icon-{size}.png"), (size, size), tmp, keep_dir)
    write_ico(out_dir)


def write_ico(out_dir):
    """icon.ico, the programs' icon on Windows: every size of the theme's icons, each entry the
    PNG file itself (as Windows reads them since Vista)."""
    import struct
    pngs = []
    for size in APP_ICON_SIZES:
        with open(os.path.join(out_dir, f"icon-{size}.png"), "rb") as f:
            pngs.append((size, f.read()))
    offset = 6 + 16 * len(pngs)
    head = struct.pack("<HHH", 0, 1, len(pngs))
    entries = b""
    for size, data in pngs:
        # A side of 256 is written as 0; one colour plane, 32 bits a pixel.
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(os.path.join(out_dir, "icon.ico"), "wb") as f:
        f.write(head + entries + b"".join(data for _, data in pngs))


def write_previews(out_dir, assets, segs, eight):
    """Composites for looking at the art: everything lit, and a game in progress."""
    os.makedirs(out_dir, exist_ok=True)
    casing_png = os.path.join(assets, "casing.png")

    def place(s, png=None):
        return (png or os.path.join(assets, s.file), s.x, s.y)

    lit = []
    for s in segs:
        if s.group in DIGIT_PLACES:
            lit.append(place(s, eight))
        elif s.group not in ("Punti",):
            lit.append(place(s))
    overlay(casing_png, lit, os.path.join(out_dir, "all_lit.png"))

    shown = {("Nando", 3), ("Bepo", 4), ("Blocco", 5), ("Blocco", 14), ("Blocco", 23),
             ("Blocco", 30), ("Blocco", 37), ("Blocco", 46), ("Blocco", 54), ("Blocco", 58),
             ("Blocco", 53), ("Blocco", 57), ("Blocco", 52), ("Blocco", 56), ("Omino", 0),
             ("Fumo", 1), ("Camion", 0), ("Vita", 1), ("IMGameA", 0), ("duepunti", 0),
             ("ButtonA", 0), ("ButtonB", 0), ("ButtonTime", 0), ("ACL", 0)}
    digits = {"Centinaia": 1, "Decina": 2, "Unita": 7}
    game = [place(s) for s in segs if (s.group, s.member) in shown]
    for s in segs:
        if s.group in digits:
            game.append((os.path.join(assets, f"digit_{digits[s.group]}.png"), s.x, s.y))
    overlay(casing_png, game, os.path.join(out_dir, "game.png"))

    scene = {("Nando", 9), ("CapoNando", 1), ("Crash3", 0), ("Bepo", 7), ("Camion", 0),
             ("Fumo2", 0), ("Vita", 1), ("Vita", 2), ("IMGameB", 0),
             ("ButtonA", 0), ("ButtonTime", 0), ("ACL", 0), ("CapoBepo", 0), ("Bepo", 9),
             ("Crash1", 0), ("Crash2", 0), ("Fumo", 0)}
    overlay(casing_png, [place(s) for s in segs if (s.group, s.member) in scene],
            os.path.join(out_dir, "mishaps.png"))


if __name__ == "__main__":
    main()
