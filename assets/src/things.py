"""LCD segments that are not people: crates, truck, smoke, wreckage, marks, digits, words."""

from svg import circle, cut, ellipse, ink, line, poly, rect, rot, text


def crate(x, y, w, h, angle=0.0, slats=2):
    """A slatted crate: solid frame with plank gaps, optionally turned about its centre."""
    c = (x + w / 2, y + h / 2)

    def quad(x0, y0, x1, y1):
        return poly(*[rot(p, c, angle) for p in ((x0, y0), (x1, y0), (x1, y1), (x0, y1))])

    post = max(2.4, w * 0.12)
    gaps = []
    for i in range(1, slats + 1):
        gy = y + h * i / (slats + 1) - 0.45
        gaps.append(quad(x + post, gy, x + w - post, gy + 0.95))
    return [ink(quad(x, y, x + w, y + h)), cut(*gaps)]


def half_crate(x, y, w, h):
    """The top of a crate riding low in the entry trough."""
    return [ink(rect(x, y, w, h + 3)), cut(rect(x + 2.6, y + 3.4, w - 5.2, 0.95))]


def crate_for(name, box):
    """Crate pictures by file name; box is the first place the picture is used."""
    x, y, w, h = box
    if name == "crate_entry.png":
        return half_crate(x + 0.5, y + 0.5, w - 1, h)
    if name.startswith("crate_belt"):
        return crate(x + 0.5, y + 0.5, w - 1, h - 1)
    # Crates at the screen edges: cut off by the wall they pass behind.
    if name == "blocco_7.png":  # belt 1 leaving the right screen to the left
        return half_crate(x - 9.5, y + 1.0, 24 - 1, h - 1)
    if name in ("blocco_25.png", "blocco_43.png"):
        return crate(x - 10.5, y + 0.5, 23, h - 1)
    if name in ("blocco_16.png", "blocco_34.png"):
        return crate(x + 0.5, y + 0.5, 23, h - 1)
    # Hand-over places: a larger crate tilted up towards where it goes next.
    tilted = {
        "blocco_3.png": (24, 12, -9),     # Bepo swings it back over to belt 1
        "blocco_12.png": (23, 13, -16),   # Nando lifts it up and to the right
        "blocco_21.png": (20, 13, 24),    # Bepo lifts it up and to the left
        "blocco_30.png": (23, 14, -22),
        "blocco_39.png": (23, 14, 22),
        "blocco_48.png": (21, 14, -30),
        "blocco_49.png": (23, 14, 20),    # thrown up beside the truck
        "blocco_50.png": (23, 14, -22),   # dropping into the truck
    }
    cw, ch, angle = tilted[name]
    return crate(x + (w - cw) / 2, y + (h - ch) / 2, cw, ch, angle)


def truck(box):
    """A flatbed lorry facing left: cab with an open window, bed, headboard, three wheels."""
    cab = poly((56, 150), (56, 108), (58.5, 101.5), (63, 99.5), (89, 99.5), (89, 150))
    bed = rect(88, 136.5, 56, 6.5)
    board = [rect(88.5, 94.5, 3.4, 43), rect(140.5, 127, 3, 10)]
    chassis = rect(60, 145, 82, 4)
    lamp = rect(54.5, 139, 2.5, 4)
    out = [ink(chassis), ink(bed, *board), ink(cab, lamp, gap=0.8),
           cut(rect(60, 104, 25.5, 18.5, rx=1.2)),                   # side window
           cut(line((72, 126), (72, 146), w=0.9), line((61, 133), (70, 133), w=0.9)),  # door, handle
           ink(rect(136, 146, 8, 2.6), gap=0.6)]                     # exhaust pipe
    for cx in (69, 114, 129):
        out.append(ink(circle((cx, 150.8), 6.7), gap=1.0))
        out.append(cut(circle((cx, 150.8), 2.4)))
        out.append(ink(circle((cx, 150.8), 1.1)))
    return out


def rings(*circles, w=1.7):
    """Smoke: open rings, each (x, y, r)."""
    return [ink(*[circle((x, y), r) for x, y, r in circles]),
            cut(*[circle((x, y), max(r - w, 0.3)) for x, y, r in circles])]


def fumo(member):
    if member == 0:  # a small puff at the exhaust
        return rings((146, 151.5, 4.4), (154.5, 150, 5.4), (151, 144, 3.3), (158.5, 143, 2.0))
    # A bigger cloud drifting up and back.
    return rings((151, 149.5, 4.0), (158.5, 143, 5.2), (163.5, 134, 5.6), (160, 125.5, 4.2),
                 (167.5, 123, 2.6), (152.5, 138, 2.2))


def fumo2(member):
    """Dust left where the truck stood: open billows along the ground."""
    if member == 0:
        puffs = [(93.5, 155.5, 3.6), (100, 152, 5.0), (108, 151.5, 5.4), (114.5, 155, 3.8),
                 (104, 156.5, 3.0)]
        ground = ((88.5, 158.6), (118, 158.6))
    else:
        puffs = [(52.5, 157.5, 3.4), (58.5, 155.5, 4.4), (65, 157.5, 3.6)]
        ground = ((49, 160.3), (69, 160.3))
    w = 1.6
    return [ink(*[circle((x, y), r) for x, y, r in puffs]),
            cut(*[circle((x, y), r - w) for x, y, r in puffs]),
            ink(line(*ground, w=1.4)),
            ink(line((puffs[0][0] - 4, ground[0][1] - 3.5), (puffs[0][0] - 6.5, ground[0][1] - 5), w=1.0),
                line((puffs[-2][0] + 5, ground[0][1] - 4.5), (puffs[-2][0] + 7.5, ground[0][1] - 6.5), w=1.0))]


def plank(x, y, length, angle, w=3.6, nick=True):
    """A loose board, centred at x, y; the splintered end is jagged."""
    c = (x, y)
    h = w / 2
    x0, x1 = x - length / 2, x + length / 2
    outline = [(x0, y - h), (x1 - 1.2, y - h), (x1 + 0.8, y - h * 0.2), (x1 - 0.6, y + h * 0.3),
               (x1 + 0.3, y + h), (x0, y + h)]
    shapes = [poly(*[rot(p, c, angle) for p in outline])]
    return shapes


def crash(name, box):
    """Boards of a broken crate on the floor, with splinters flying."""
    X, Y, W, H = box
    if name == "crash1.png":
        boards = [plank(X + 12, Y + 16, 17, -6), plank(X + 28, Y + 15.5, 16, 9),
                  plank(X + 20, Y + 10, 15, -28), plank(X + 9.5, Y + 7.5, 10, 38, w=3.2)]
        chips = [((X + 32, Y + 5), (X + 35, Y + 2)), ((X + 34.5, Y + 8), (X + 38.5, Y + 7)),
                 ((X + 3, Y + 4), (X + 1.5, Y + 1))]
    elif name == "crash2.png":
        boards = [plank(X + 13, Y + 21.5, 20, 4), plank(X + 31, Y + 20.5, 18, -7),
                  plank(X + 22.5, Y + 14, 17, 24), plank(X + 11, Y + 11, 11, -40, w=3.2),
                  plank(X + 34, Y + 11.5, 9, 52, w=3.0)]
        chips = [((X + 4, Y + 5), (X + 2, Y + 1.5)), ((X + 22, Y + 4), (X + 23, Y + 0.8)),
                 ((X + 40, Y + 4), (X + 42.5, Y + 1.5))]
    else:
        boards = [plank(X + 12, Y + 22, 20, -5), plank(X + 32, Y + 22.5, 19, 3),
                  plank(X + 45, Y + 19, 12, -28, w=3.2), plank(X + 21, Y + 14.5, 18, 20),
                  plank(X + 37, Y + 12, 15, -34, w=3.4), plank(X + 8, Y + 11.5, 10, 55, w=3.0)]
        chips = [((X + 26, Y + 5), (X + 25, Y + 1.2)), ((X + 47, Y + 6), (X + 50.5, Y + 3)),
                 ((X + 3, Y + 4), (X + 1.5, Y + 1)), ((X + 15.5, Y + 5), (X + 14, Y + 2))]
    out = []
    for b in boards:
        out.append(ink(*b, gap=0.7))
    out.append(ink(*[line(a, b, w=1.1) for a, b in chips]))
    return out


def miss_mark(x, y):
    """The miss mark: a crate burst open along a jagged crack, in a 26 x 24 area."""
    crack = [(x + 13, y + 9), (x + 11.5, y + 13), (x + 14, y + 16.5), (x + 12, y + 20.5),
             (x + 13.5, y + 24)]
    left = [(x + 2, y + 10)] + crack + [(x + 2, y + 24)]
    right = [(x + 24, y + 10)] + crack + [(x + 24, y + 24)]
    left = [rot(p, (x + 2, y + 24), -9) for p in left]
    right = [rot(p, (x + 24, y + 24), 9) for p in right]
    lc, rc = (x + 2, y + 24), (x + 24, y + 24)
    slats = [line(rot((x + 4, y + 15), lc, -9), rot((x + 10.5, y + 15), lc, -9), w=1.0),
             line(rot((x + 4, y + 19.5), lc, -9), rot((x + 10, y + 19.5), lc, -9), w=1.0),
             line(rot((x + 16, y + 15), rc, 9), rot((x + 22, y + 15), rc, 9), w=1.0),
             line(rot((x + 16, y + 19.5), rc, 9), rot((x + 22, y + 19.5), rc, 9), w=1.0)]
    return [ink(poly(*left), poly(*right)), cut(*slats),
            ink(line((x + 13, y + 6), (x + 13, y + 1.5), w=1.2),
                line((x + 9.5, y + 6.5), (x + 7, y + 3), w=1.2),
                line((x + 16.5, y + 6.5), (x + 19, y + 3), w=1.2))]


def vita(name, box):
    x, y, w, h = box
    if name == "vita_mark.png":
        return miss_mark(x, y + 1)
    # The first mark carries the word; its mark lines up with the other two.
    return [ink(text(x + 1, 63.5, "MISS", 12.5, font="DejaVu Sans Condensed", spacing=0.4))] + \
        miss_mark(x + 39, 46)


def mode_mark(name, box):
    x, y, w, h = box
    return [ink(text(x + w / 2, y + 9.6, "GAME " + ("A" if "a" in name[4] else "B"), 10.4,
                     font="DejaVu Sans Condensed", anchor="middle", spacing=0.5))]


# Seven-segment digits, slightly slanted.
_SEGS = {"a": 0, "b": 1, "c": 2, "d": 3, "e": 4, "f": 5, "g": 6}
_DIGITS = ["abcdef", "bc", "abged", "abgcd", "fgbc", "afgcd", "afgedc", "abc", "abcdefg", "abcdfg"]


def digit_shapes(x, y, w, h, segs, t=2.7, slant=0.11, gap=0.55):
    """Polygons for the lit segments of a 7-segment glyph in box x, y, w, h."""
    x0, x1 = x + 1.2, x + w - 2.6
    y0, y1, ym = y + 1.0, y + h - 1.0, y + h / 2

    def sk(p):  # slant: shift right with height
        return (p[0] + (y1 - p[1]) * slant, p[1])

    def horiz(cy):
        a, b = x0 + gap, x1 - gap
        return [sk(p) for p in ((a, cy), (a + t / 2, cy - t / 2), (b - t / 2, cy - t / 2), (b, cy),
                                (b - t / 2, cy + t / 2), (a + t / 2, cy + t / 2))]

    def vert(cx, top, bot):
        a, b = top + gap, bot - gap
        return [sk(p) for p in ((cx, a), (cx + t / 2, a + t / 2), (cx + t / 2, b - t / 2), (cx, b),
                                (cx - t / 2, b - t / 2), (cx - t / 2, a + t / 2))]

    geo = {
        "a": horiz(y0 + t / 2), "g": horiz(ym), "d": horiz(y1 - t / 2),
        "f": vert(x0 + t / 2, y0 + t / 2, ym), "b": vert(x1 - t / 2, y0 + t / 2, ym),
        "e": vert(x0 + t / 2, ym, y1 - t / 2), "c": vert(x1 - t / 2, ym, y1 - t / 2),
    }
    return [poly(*geo[s]) for s in segs]


def digit(n, box):
    x, y, w, h = box
    return [ink(*digit_shapes(x, y, w, h, _DIGITS[n]))]


def eight(box):
    x, y, w, h = box
    return [ink(*digit_shapes(x, y, w, h, "abcdefg"))]


def colon(box):
    x, y, w, h = box
    s = 2.8
    return [ink(poly((x + 2.4, y + 4), (x + 2.4 + s, y + 4), (x + 2.0 + s, y + 4 + s), (x + 2.0, y + 4 + s)),
                poly((x + 1.4, y + 11.5), (x + 1.4 + s, y + 11.5), (x + 1.0 + s, y + 11.5 + s),
                     (x + 1.0, y + 11.5 + s)))]
