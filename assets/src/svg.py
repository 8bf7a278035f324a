"""Small SVG toolkit for LCD-ink drawings.

A drawing is a list of layers, bottom first. Each layer is a list of shapes drawn in ink.
A layer may "knock out" a thin gap around itself from everything beneath, which is how the
silhouettes keep their limbs readable where they overlap; a "cut" layer only removes ink
(eyes, plank gaps). Coordinates are in casing pixels, so a segment can be drawn where it
sits on the device and simply framed by its viewBox.
"""

import itertools
import math

INK = "#1c2226"

_ids = itertools.count(1)


def _uid(prefix):
    return f"{prefix}{next(_ids)}"


def fmt(v):
    return f"{v:.2f}".rstrip("0").rstrip(".")


def pts(points):
    return " ".join(f"{fmt(x)},{fmt(y)}" for x, y in points)


class Shape:
    """One primitive; `grow` widens it by that much on every side (used for knock-outs)."""

    def __init__(self, kind, **kw):
        self.kind = kind
        self.kw = kw

    def svg(self, colour, grow=0.0):
        k = self.kw
        if self.kind == "line":
            width = k["w"] + 2 * grow
            cap = k.get("cap", "round")
            return (f'<polyline points="{pts(k["p"])}" fill="none" stroke="{colour}" '
                    f'stroke-width="{fmt(width)}" stroke-linecap="{cap}" '
                    f'stroke-linejoin="round"/>')
        edge = (f' stroke="{colour}" stroke-width="{fmt(2 * grow)}" stroke-linejoin="round"'
                if grow > 0 else "")
        if self.kind == "circle":
            return (f'<circle cx="{fmt(k["c"][0])}" cy="{fmt(k["c"][1])}" r="{fmt(k["r"])}" '
                    f'fill="{colour}"{edge}/>')
        if self.kind == "ellipse":
            rot = k.get("rot", 0)
            cx, cy = k["c"]
            return (f'<ellipse cx="0" cy="0" rx="{fmt(k["rx"])}" ry="{fmt(k["ry"])}" '
                    f'transform="translate({fmt(cx)} {fmt(cy)}) rotate({fmt(rot)})" '
                    f'fill="{colour}"{edge}/>')
        if self.kind == "poly":
            return f'<polygon points="{pts(k["p"])}" fill="{colour}"{edge}/>'
        if self.kind == "path":
            return f'<path d="{k["d"]}" fill="{colour}"{edge}/>'
        if self.kind == "rect":
            x, y, w, h = k["r"]
            rx = k.get("rx", 0)
            rot = k.get("rot", 0)
            tr = ""
            if rot:
                cx, cy = x + w / 2, y + h / 2
                tr = f' transform="rotate({fmt(rot)} {fmt(cx)} {fmt(cy)})"'
            return (f'<rect x="{fmt(x)}" y="{fmt(y)}" width="{fmt(w)}" height="{fmt(h)}" '
                    f'rx="{fmt(rx)}" fill="{colour}"{edge}{tr}/>')
        if self.kind == "text":
            return (f'<text x="{fmt(k["x"])}" y="{fmt(k["y"])}" font-family="{k.get("font", "DejaVu Sans")}" '
                    f'font-weight="{k.get("weight", "bold")}" font-size="{fmt(k["size"])}" '
                    f'letter-spacing="{fmt(k.get("spacing", 0))}" '
                    f'text-anchor="{k.get("anchor", "start")}" fill="{colour}"'
                    f'{edge}>{k["s"]}</text>')
        raise ValueError(self.kind)


def line(*p, w):
    return Shape("line", p=list(p), w=w)


def sq_line(*p, w):
    return Shape("line", p=list(p), w=w, cap="butt")


def circle(c, r):
    return Shape("circle", c=c, r=r)


def ellipse(c, rx, ry, rot=0):
    return Shape("ellipse", c=c, rx=rx, ry=ry, rot=rot)


def poly(*p):
    return Shape("poly", p=list(p))


def path(d):
    return Shape("path", d=d)


def rect(x, y, w, h, rx=0, rot=0):
    return Shape("rect", r=(x, y, w, h), rx=rx, rot=rot)


def text(x, y, s, size, **kw):
    return Shape("text", x=x, y=y, s=s, size=size, **kw)


class Layer:
    def __init__(self, shapes, gap=0.0, cut=False):
        self.shapes = shapes
        self.gap = gap
        self.cut = cut


def ink(*shapes, gap=0.0):
    """Shapes in ink; with a gap, everything below loses ink within `gap` of them."""
    return Layer(list(shapes), gap=gap)


def cut(*shapes):
    """Removes ink (transparent) where the shapes are."""
    return Layer(list(shapes), cut=True)


def compose(layers, box, defs):
    """Flattens layers into one SVG group; masks go to `defs`."""
    x, y, w, h = box
    acc = ""
    for layer in layers:
        body = "".join(s.svg(INK) for s in layer.shapes)
        if layer.cut or layer.gap > 0:
            grow = 0.0 if layer.cut else layer.gap
            mid = _uid("m")
            hole = "".join(s.svg("#000", grow) for s in layer.shapes)
            defs.append(
                f'<mask id="{mid}" maskUnits="userSpaceOnUse" x="{x - 5}" y="{y - 5}" '
                f'width="{w + 10}" height="{h + 10}">'
                f'<rect x="{x - 5}" y="{y - 5}" width="{w + 10}" height="{h + 10}" fill="#fff"/>'
                f'{hole}</mask>')
            acc = f'<g mask="url(#{mid})">{acc}</g>' if acc else ""
        if not layer.cut:
            acc += body
    return acc


def lcd_svg(box, layers, soft=0.33, shadow=True):
    """A segment picture: ink layers framed by `box` (x, y, w, h in casing pixels).

    The ink is softened a little, and a faint copy offset down-right stands for the shadow
    the ink casts on the reflector behind the glass.
    """
    x, y, w, h = box
    defs = []
    art = compose(layers, box, defs)
    fid, sid, aid = _uid("f"), _uid("s"), _uid("a")
    region = f'filterUnits="userSpaceOnUse" x="{x - 4}" y="{y - 4}" width="{w + 8}" height="{h + 8}"'
    defs.append(f'<filter id="{fid}" {region}><feGaussianBlur stdDeviation="{soft}"/></filter>')
    defs.append(f'<filter id="{sid}" {region}><feGaussianBlur stdDeviation="0.7"/></filter>')
    defs.append(f'<g id="{aid}">{art}</g>')
    shade = (f'<use xlink:href="#{aid}" transform="translate(1.3 1.6)" opacity="0.16" '
             f'filter="url(#{sid})"/>' if shadow else "")
    return document(box, "".join(defs), shade + f'<use xlink:href="#{aid}" filter="url(#{fid})"/>')


def document(box, defs, body):
    x, y, w, h = box
    return (f'<svg xmlns="http://www.w3.org/2000/svg" '
            f'xmlns:xlink="http://www.w3.org/1999/xlink" width="{w}" height="{h}" '
            f'viewBox="{x} {y} {w} {h}"><defs>{defs}</defs>{body}</svg>\n')


def rot(p, c, deg):
    """Point p rotated about c by deg degrees (clockwise on screen)."""
    a = math.radians(deg)
    dx, dy = p[0] - c[0], p[1] - c[1]
    return (c[0] + dx * math.cos(a) - dy * math.sin(a), c[1] + dx * math.sin(a) + dy * math.cos(a))
