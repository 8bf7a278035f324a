"""The device body: two hinged halves in ivory plastic, slate bezels, orange keys.

The printed scenery on the reflector behind each LCD (belts, landings, walls, floor) is part
of the casing picture, so the crate line reads even where no segment is lit.
"""

from svg import document

W, H = 805, 449
# The window shows the picture's top left 802x448: the shell's whole outline lies inside it.
SHOWN_W, SHOWN_H = 802, 448
# The shell's two halves (left, top, right, bottom) and the hinge knuckles across the gap
# between them; around them the picture is transparent, so the window can take their shape.
TOP, BOTTOM = 0.5, SHOWN_H - 0.5
HALVES = ((0.5, 400.5), (403.5, SHOWN_W - 0.5))
KNUCKLES = ((26, 150), (162, 286), (298, 422))
BODY_HI, BODY, BODY_LO = "#f1ead9", "#e2d8c3", "#c9bda4"
BEZEL, BEZEL_LINE = "#353b41", "#e07a2e"
LABEL = "#f0e6d0"
GLASS_HI, GLASS, GLASS_LO = "#c8d0b8", "#bac3aa", "#a9b399"
PRINT = "#7f8d89"        # printed scenery on the reflector
PRINT_SOFT = "#9aa59c"
KEY, KEY_HI, KEY_LO = "#dd6a2c", "#f59a5c", "#a8481a"
KEY_DOWN, KEY_DOWN_LO = "#9c4217", "#6f2d0f"

LEFT_GLASS = (36, 30, 316, 224)
RIGHT_GLASS = (450, 30, 314, 224)
BUTTON_SIZE = (27, 39)
ACL_SIZE = (13, 13)


def _gradients():
    return f"""
<linearGradient id="body" x1="0" y1="0" x2="0.35" y2="1">
  <stop offset="0" stop-color="{BODY_HI}"/><stop offset="0.55" stop-color="{BODY}"/>
  <stop offset="1" stop-color="{BODY_LO}"/></linearGradient>
<linearGradient id="glass" x1="0" y1="0" x2="1" y2="1">
  <stop offset="0" stop-color="{GLASS_HI}"/><stop offset="0.5" stop-color="{GLASS}"/>
  <stop offset="1" stop-color="{GLASS_LO}"/></linearGradient>
<linearGradient id="glare" x1="0" y1="0" x2="1" y2="0.6">
  <stop offset="0" stop-color="#ffffff" stop-opacity="0.0"/>
  <stop offset="0.28" stop-color="#ffffff" stop-opacity="0.0"/>
  <stop offset="0.36" stop-color="#ffffff" stop-opacity="0.13"/>
  <stop offset="0.5" stop-color="#ffffff" stop-opacity="0.03"/>
  <stop offset="1" stop-color="#ffffff" stop-opacity="0.0"/></linearGradient>
<linearGradient id="hinge" x1="0" y1="0" x2="1" y2="0">
  <stop offset="0" stop-color="#8d846f"/><stop offset="0.35" stop-color="#f4eedf"/>
  <stop offset="0.6" stop-color="#d8cdb5"/><stop offset="1" stop-color="#7d745f"/></linearGradient>
<linearGradient id="bezel" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#3d444a"/><stop offset="1" stop-color="#2e3338"/></linearGradient>
<radialGradient id="light" cx="0.3" cy="0.1" r="0.95">
  <stop offset="0" stop-color="#fffaf0" stop-opacity="0.10"/>
  <stop offset="0.6" stop-color="#000000" stop-opacity="0.0"/>
  <stop offset="1" stop-color="#000000" stop-opacity="0.16"/></radialGradient>
<filter id="grain" x="0" y="0" width="1" height="1">
  <feTurbulence type="fractalNoise" baseFrequency="0.9" numOctaves="2" seed="7"/>
  <feColorMatrix type="saturate" values="0"/></filter>
<filter id="blur1" x="-0.1" y="-0.1" width="1.2" height="1.2"><feGaussianBlur stdDeviation="1.2"/></filter>
<filter id="blur3" x="-0.2" y="-0.2" width="1.4" height="1.4"><feGaussianBlur stdDeviation="3"/></filter>
"""


def _half(x0, x1):
    """One half of the shell, with a soft rim light and shade."""
    w, h = x1 - x0, BOTTOM - TOP
    return (f'<rect x="{x0}" y="{TOP}" width="{w}" height="{h}" rx="20" fill="url(#body)"/>'
            f'<rect x="{x0 + 1.5}" y="{TOP + 1.5}" width="{w - 3}" height="{h - 3}" rx="19" '
            f'fill="none" stroke="#ffffff" stroke-opacity="0.55" stroke-width="1.4"/>'
            f'<rect x="{x0 + 0.5}" y="{TOP + 0.5}" width="{w - 1}" height="{h - 1}" rx="20" '
            f'fill="none" stroke="#8a7f68" stroke-opacity="0.7" stroke-width="1"/>')


def _shell_clip():
    """The shell's outline: the halves and the knuckles, for what is laid over all of it."""
    parts = [f'<rect x="{x0}" y="{TOP}" width="{x1 - x0}" height="{BOTTOM - TOP}" rx="20"/>'
             for x0, x1 in HALVES]
    parts += [f'<rect x="395" y="{y0}" width="15" height="{y1 - y0}" rx="5"/>'
              for y0, y1 in KNUCKLES]
    return f'<clipPath id="shell">{"".join(parts)}</clipPath>'


def _bezel(glass, label, label_x, anchor):
    gx, gy, gw, gh = glass
    bx, by, bw, bh = gx - 18, gy - 18, gw + 36, gh + 40
    out = [
        # moulded recess the printed bezel sits in
        f'<rect x="{bx - 3}" y="{by - 3}" width="{bw + 6}" height="{bh + 6}" rx="13" fill="#b3a78d"/>',
        f'<rect x="{bx - 2}" y="{by - 2}" width="{bw + 4}" height="{bh + 4}" rx="12" fill="#f6f0e2" opacity="0.6"/>',
        f'<rect x="{bx}" y="{by}" width="{bw}" height="{bh}" rx="11" fill="url(#bezel)"/>',
        f'<rect x="{gx - 7.5}" y="{gy - 7.5}" width="{gw + 15}" height="{gh + 15}" rx="6" fill="none" '
        f'stroke="{BEZEL_LINE}" stroke-width="1.3"/>',
        f'<rect x="{gx}" y="{gy}" width="{gw}" height="{gh}" rx="3" fill="url(#glass)"/>',
        f'<text x="{label_x}" y="{gy + gh + 16}" font-family="DejaVu Sans" font-weight="bold" '
        f'font-size="8.5" letter-spacing="2" fill="{LABEL}" text-anchor="{anchor}">{label}</text>',
    ]
    return "".join(out)


def _glass_finish(glass):
    """Glare and the shadow the bezel throws into the glass; drawn over the scenery."""
    gx, gy, gw, gh = glass
    cid = f"clip{gx}"
    return (f'<clipPath id="{cid}"><rect x="{gx}" y="{gy}" width="{gw}" height="{gh}" rx="3"/></clipPath>'
            f'<g clip-path="url(#{cid})">'
            f'<rect x="{gx}" y="{gy}" width="{gw}" height="{gh}" fill="url(#glare)"/>'
            f'<rect x="{gx - 6}" y="{gy - 6}" width="{gw + 12}" height="{gh + 12}" rx="6" fill="none" '
            f'stroke="#1d2124" stroke-opacity="0.45" stroke-width="8" filter="url(#blur1)"/>'
            f'</g>')


def _belt(x0, x1, y, rollers=True):
    """A conveyor: a thin band with rollers under it; y is the band's top."""
    out = [f'<rect x="{x0}" y="{y}" width="{x1 - x0}" height="2.6" rx="1.3" fill="{PRINT}"/>']
    if rollers:
        out.append(f'<rect x="{x0 + 1}" y="{y + 2.6}" width="{x1 - x0 - 2}" height="3.6" fill="{PRINT_SOFT}" opacity="0.55"/>')
        x = x0 + 3.5
        while x < x1 - 2:
            out.append(f'<circle cx="{x:.1f}" cy="{y + 4.4}" r="1.7" fill="none" stroke="{PRINT}" stroke-width="0.9"/>')
            x += 7.5
    return "".join(out)


def _landing(x0, x1, y, legs=()):
    """A landing of the staircase: deck with a rail post or two down to `legs` ends."""
    out = [f'<rect x="{x0}" y="{y}" width="{x1 - x0}" height="3" fill="{PRINT}"/>',
           f'<rect x="{x0}" y="{y + 3}" width="{x1 - x0}" height="2" fill="{PRINT_SOFT}" opacity="0.6"/>']
    for lx, ly in legs:
        out.append(f'<rect x="{lx}" y="{y + 3}" width="2.2" height="{ly - y - 3}" fill="{PRINT_SOFT}"/>')
    return "".join(out)


def _wall(x0, x1, y0, y1, openings):
    """A brick pillar at the screen edge with a doorway for each belt."""
    out = [f'<rect x="{x0}" y="{y0}" width="{x1 - x0}" height="{y1 - y0}" fill="{PRINT}" opacity="0.55"/>']
    row = 0
    y = y0 + 4
    while y < y1:
        out.append(f'<line x1="{x0}" y1="{y}" x2="{x1}" y2="{y}" stroke="{GLASS_HI}" stroke-width="0.7" opacity="0.5"/>')
        bx = x0 + (3 if row % 2 else 6.5)
        while bx < x1:
            out.append(f'<line x1="{bx}" y1="{y - 4}" x2="{bx}" y2="{y}" stroke="{GLASS_HI}" stroke-width="0.7" opacity="0.5"/>')
            bx += 7
        y += 4
        row += 1
    for oy0, oy1 in openings:
        out.append(f'<rect x="{x0}" y="{oy0}" width="{x1 - x0}" height="{oy1 - oy0}" fill="{GLASS}"/>')
        out.append(f'<rect x="{x0}" y="{oy0}" width="{x1 - x0}" height="2.4" fill="{PRINT}" opacity="0.5"/>')
        out.append(f'<rect x="{x0 - 0.6}" y="{oy0 - 1.6}" width="{x1 - x0 + 1.2}" height="1.8" fill="{PRINT}"/>')
    return "".join(out)


def _ladder(x, y0, y1):
    out = [f'<rect x="{x}" y="{y0}" width="1.6" height="{y1 - y0}" fill="{PRINT_SOFT}"/>',
           f'<rect x="{x + 7}" y="{y0}" width="1.6" height="{y1 - y0}" fill="{PRINT_SOFT}"/>']
    y = y0 + 4
    while y < y1:
        out.append(f'<rect x="{x}" y="{y}" width="8.6" height="1.2" fill="{PRINT_SOFT}"/>')
        y += 6
    return "".join(out)


def _floor(x0, x1, y, y1):
    out = [f'<rect x="{x0}" y="{y}" width="{x1 - x0}" height="2.4" fill="{PRINT}"/>']
    x = x0 + 4
    while x < x1:
        out.append(f'<line x1="{x}" y1="{y + 2.4}" x2="{x - 8}" y2="{y1}" stroke="{PRINT_SOFT}" stroke-width="0.8" opacity="0.7"/>')
        x += 9
    return "".join(out)


def _scenery_left(rows):
    """Nando's side: the dock for the truck, his three landings, the belts' left halves."""
    out = [_floor(36, 352, 240.5, 254),
           # the loading dock the truck stands on
           f'<rect x="36" y="158.5" width="136" height="2.6" fill="{PRINT}"/>',
           f'<rect x="36" y="161.1" width="136" height="79.4" fill="{PRINT_SOFT}" opacity="0.22"/>',
           f'<rect x="168" y="161" width="2.2" height="80" fill="{PRINT_SOFT}"/>',
           _landing(176, 226, 210, legs=((178, 240.5), (222, 240.5))),
           _landing(178, 228, 155, legs=((180, 210), (224, 210))),
           _landing(134, 226, 100, legs=((136, 158.5), (222, 155))),
           _ladder(172, 100, 240)]
    for y, x0 in rows:
        out.append(_belt(x0, 345, y))
    out.append(_wall(340, 352, 62, 216, [(y - 16, y + 8) for y, _ in rows]))
    return "".join(out)


def _scenery_right(rows, entry_y):
    """Bepo's side: the entry conveyor, his landings, the belts' right halves."""
    out = [_floor(450, 764, 240.5, 254),
           # a low step for Bepo's bottom place
           f'<rect x="586" y="234.5" width="44" height="6" fill="{PRINT_SOFT}" opacity="0.8"/>',
           f'<rect x="586" y="234.5" width="44" height="1.8" fill="{PRINT}"/>',
           _landing(568, 632, 128.5, legs=((570, 184), (628, 184))),
           _landing(566, 764, 183.5, legs=((568, 240.5), (760, 240.5))),
           _ladder(634, 128, 184)]
    for y, x1 in rows:
        out.append(_belt(458, x1, y))
    # bottom belt and the entry conveyor ride in a trough: a lip in front hides the crates' feet
    out.append(_belt(458, 578, entry_y, rollers=False))
    out.append(_belt(662, 764, entry_y, rollers=False))
    for x0, x1 in ((458, 578), (662, 764)):
        out.append(f'<rect x="{x0}" y="{entry_y + 2.6}" width="{x1 - x0}" height="4.5" fill="{PRINT_SOFT}" opacity="0.8"/>')
        out.append(f'<rect x="{x0}" y="{entry_y + 7}" width="{x1 - x0}" height="1.3" fill="{PRINT}"/>')
    out.append(_wall(450, 466, 74, 216, [(y - 16, y + 8) for y, _ in rows] + [(entry_y - 10, entry_y + 9)]))
    return "".join(out)


def _socket(x, y, w, h, rx):
    return (f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="{rx}" fill="#1b1d1f"/>'
            f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="{rx}" fill="none" stroke="#ffffff" '
            f'stroke-opacity="0.25" stroke-width="0.8"/>')


def key_socket(x, y):
    w, h = BUTTON_SIZE
    return _socket(x + 1, y + 1, w - 2, h - 2, 7)


def key_down(x, y):
    """A key pushed into its socket: darker, no highlight, shadowed at the top."""
    w, h = BUTTON_SIZE
    return (key_socket(x, y) +
            f'<rect x="{x + 3}" y="{y + 3.5}" width="{w - 6}" height="{h - 6.5}" rx="5.5" fill="{KEY_DOWN}"/>'
            f'<rect x="{x + 3}" y="{y + 3.5}" width="{w - 6}" height="5" rx="2.5" fill="{KEY_DOWN_LO}" opacity="0.8"/>'
            f'<rect x="{x + 7}" y="{y + 12}" width="{w - 14}" height="{h - 22}" rx="3" fill="#000" opacity="0.12"/>')


def key_up_svg():
    """button.png: the raised key in its socket, lit from the top left."""
    w, h = BUTTON_SIZE
    body = (key_socket(0, 0) +
            f'<rect x="2.2" y="2.6" width="{w - 4.4}" height="{h - 4.4}" rx="6" fill="#000" opacity="0.5" filter="url(#kb)"/>'
            f'<rect x="2.5" y="1.8" width="{w - 5}" height="{h - 5.5}" rx="6" fill="url(#key)"/>'
            f'<rect x="5" y="4" width="{w - 10}" height="{h - 11}" rx="4.5" fill="url(#keytop)"/>'
            f'<rect x="6" y="5" width="{w - 16}" height="2.4" rx="1.2" fill="#ffffff" opacity="0.45"/>')
    defs = (f'<linearGradient id="key" x1="0" y1="0" x2="0.3" y2="1"><stop offset="0" stop-color="{KEY_HI}"/>'
            f'<stop offset="0.45" stop-color="{KEY}"/><stop offset="1" stop-color="{KEY_LO}"/></linearGradient>'
            f'<linearGradient id="keytop" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="{KEY_HI}" stop-opacity="0.6"/>'
            f'<stop offset="1" stop-color="{KEY}" stop-opacity="0.2"/></linearGradient>'
            f'<filter id="kb" x="-0.3" y="-0.3" width="1.6" height="1.6"><feGaussianBlur stdDeviation="1"/></filter>')
    return document((0, 0, w, h), defs, body)


def acl_hole(x, y, pressed):
    w, h = ACL_SIZE
    cx, cy = x + w / 2, y + h / 2
    out = (f'<circle cx="{cx}" cy="{cy}" r="6.2" fill="#1b1d1f"/>'
           f'<circle cx="{cx}" cy="{cy}" r="6.2" fill="none" stroke="#ffffff" stroke-opacity="0.35" stroke-width="0.7"/>')
    if pressed:
        out += (f'<circle cx="{cx}" cy="{cy + 0.4}" r="3.9" fill="#6d716f"/>'
                f'<circle cx="{cx}" cy="{cy - 0.6}" r="3.2" fill="#4d5150" opacity="0.7"/>')
    return out


def acl_up_svg():
    w, h = ACL_SIZE
    defs = ('<radialGradient id="dome" cx="0.38" cy="0.35" r="0.7"><stop offset="0" stop-color="#f4f4f0"/>'
            '<stop offset="0.55" stop-color="#b9bcb8"/><stop offset="1" stop-color="#6f7371"/></radialGradient>')
    body = acl_hole(0, 0, False) + f'<circle cx="{w / 2}" cy="{h / 2}" r="4.6" fill="url(#dome)"/>'
    return document((0, 0, w, h), defs, body)


def _label(x, y, s, size=7.2, colour=BEZEL, anchor="middle", spacing=0.8, weight="bold", style="normal"):
    return (f'<text x="{x}" y="{y}" font-family="DejaVu Sans" font-weight="{weight}" font-style="{style}" '
            f'font-size="{size}" letter-spacing="{spacing}" text-anchor="{anchor}" fill="{colour}">{s}</text>')


def _grille(x, y, cols, rows):
    out = []
    for r in range(rows):
        for c in range(cols):
            cx, cy = x + c * 7 + (3.5 if r % 2 else 0), y + r * 6
            out.append(f'<circle cx="{cx}" cy="{cy}" r="1.7" fill="#3a3a36"/>'
                       f'<circle cx="{cx + 0.3}" cy="{cy + 0.5}" r="1.5" fill="#0f0f0f" opacity="0.5"/>')
    return "".join(out)


def casing_svg(buttons, acl, rows_left, rows_right, entry_y):
    """The casing without the LCD ghosts (those are laid on from the segment pictures)."""
    parts = [_shell_clip()] + [_half(x0, x1) for x0, x1 in HALVES]
    # hinge knuckles across the fold
    for y0, y1 in KNUCKLES:
        parts.append(f'<rect x="395" y="{y0}" width="15" height="{y1 - y0}" rx="5" fill="url(#hinge)"/>')
        parts.append(f'<rect x="395" y="{y0}" width="15" height="{y1 - y0}" rx="5" fill="none" stroke="#6c6453" stroke-width="0.8"/>')
    parts.append(_bezel(LEFT_GLASS, "NANDO", 40, "start"))
    parts.append(_bezel(RIGHT_GLASS, "BEPO", 760, "end"))
    parts.append(_scenery_left(rows_left))
    parts.append(_scenery_right(rows_right, entry_y))
    parts.append(_glass_finish(LEFT_GLASS))
    parts.append(_glass_finish(RIGHT_GLASS))

    # Left panel: brand, ACL, speaker.
    parts.append(f'<g transform="translate(40 330) skewX(-10)">'
                 f'<text x="0" y="0" font-family="DejaVu Sans" font-weight="bold" font-size="22.5" '
                 f'letter-spacing="0.8" fill="{BEZEL}">CRATE<tspan fill="{KEY}">WORKS</tspan></text></g>')
    parts.append(f'<rect x="40" y="338" width="176" height="2.2" fill="{KEY}"/>')
    parts.append(_label(40, 354, "TWIN SCREEN · CW-2", size=7.5, anchor="start", spacing=2.2,
                        colour="#6c6455", weight="normal"))
    ax, ay = acl
    parts.append(acl_hole(ax, ay, True))
    parts.append(_label(ax + 6.5, ay - 4, "ACL", size=6.5, spacing=0.6))
    parts.append(_grille(282, 376, 11, 7))

    # Right panel: the key plate with the three keys, each shown pushed in.
    xs = [b[1] for b in buttons]
    y = buttons[0][2]
    px0, px1 = min(xs) - 13, max(xs) + BUTTON_SIZE[0] + 13
    parts.append(f'<rect x="{px0 - 1}" y="{y - 11}" width="{px1 - px0 + 2}" height="{BUTTON_SIZE[1] + 36}" rx="10" fill="#f7f2e6" opacity="0.7"/>')
    parts.append(f'<rect x="{px0}" y="{y - 12}" width="{px1 - px0}" height="{BUTTON_SIZE[1] + 35}" rx="9" fill="{BEZEL}"/>')
    for label, bx, by in buttons:
        parts.append(key_down(bx, by))
        parts.append(_label(bx + BUTTON_SIZE[0] / 2, by + BUTTON_SIZE[1] + 13, label, size=6.4,
                            colour=LABEL, spacing=0.3))
    # a printed crate-and-arrow badge for balance
    parts.append(_badge(690, 360))
    parts.append(f'<g clip-path="url(#shell)">'
                 f'<rect width="{W}" height="{H}" fill="url(#light)"/>'
                 f'<rect width="{W}" height="{H}" filter="url(#grain)" opacity="0.05"/></g>')
    return document((0, 0, W, H), _gradients(), "".join(parts))


def _badge(cx, cy):
    s = []
    for dx, dy in ((-22, 6), (2, 6), (-10, -16)):
        x, y = cx + dx, cy + dy
        s.append(f'<rect x="{x}" y="{y}" width="22" height="20" rx="1.5" fill="none" stroke="{KEY}" stroke-width="2.4"/>'
                 f'<line x1="{x + 3}" y1="{y + 7}" x2="{x + 19}" y2="{y + 7}" stroke="{KEY}" stroke-width="1.4"/>'
                 f'<line x1="{x + 3}" y1="{y + 13}" x2="{x + 19}" y2="{y + 13}" stroke="{KEY}" stroke-width="1.4"/>')
    s.append(f'<path d="M {cx + 32} {cy + 24} L {cx + 32} {cy - 14} M {cx + 25} {cy - 6} L {cx + 32} {cy - 15} L {cx + 39} {cy - 6}" '
             f'fill="none" stroke="{BEZEL}" stroke-width="2.6" stroke-linecap="round" stroke-linejoin="round"/>')
    return "".join(s)


def window_icon_svg():
    """48 x 64: a worker with a crate held high over a crate stack, on an orange tile."""
    return document((0, 0, 48, 64), *_window_icon())


def app_icon_svg():
    """64 x 64, the desktop's icon (menus, launchers): the window icon's tile centred on a
    square, drawn as vectors so that every size is rendered rather than scaled from another."""
    defs, body = _window_icon()
    return document((0, 0, 64, 64), defs, f'<g transform="translate(8 0)">{body}</g>')


def _window_icon():
    defs = (f'<linearGradient id="tile" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="{KEY_HI}"/>'
            f'<stop offset="1" stop-color="{KEY_LO}"/></linearGradient>')
    body = (f'<rect x="1" y="1" width="46" height="62" rx="8" fill="url(#tile)"/>'
            f'<rect x="1.5" y="1.5" width="45" height="61" rx="7.5" fill="none" stroke="#fff" stroke-opacity="0.4"/>'
            f'<rect x="5" y="5" width="38" height="54" rx="4" fill="{GLASS}"/>'
            + _icon_crate(9, 44, 14, 11) + _icon_crate(24, 44, 14, 11)
            + f'<rect x="5" y="55" width="38" height="2" fill="{PRINT}"/>'
            # worker: head, cap, body, arms up holding a crate
            + f'<g fill="#1c2226" stroke="#1c2226" stroke-linecap="round" stroke-linejoin="round">'
              f'<circle cx="24" cy="27" r="3.4" stroke="none"/>'
              f'<path d="M 20.5 26 Q 21 22.4 24.5 22.6 Q 27.8 22.8 27.6 25.4 L 30.5 25.8 L 30.2 26.6 Z" stroke="none"/>'
              f'<line x1="24" y1="31" x2="24" y2="41" stroke-width="4.2"/>'
              f'<polyline points="22.5,32 18,27 17,20" fill="none" stroke-width="2.2"/>'
              f'<polyline points="25.5,32 30,27 31,20" fill="none" stroke-width="2.2"/>'
              f'<polyline points="23,40 21,44" fill="none" stroke-width="2.4"/>'
              f'<polyline points="25,40 27,44" fill="none" stroke-width="2.4"/></g>'
            + _icon_crate(13, 9, 22, 11, ink=True))
    return defs, body


def _icon_crate(x, y, w, h, ink=False):
    fill = "#1c2226" if ink else "#c98b47"
    line = GLASS if ink else "#7a4f22"
    return (f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="1" fill="{fill}"/>'
            f'<rect x="{x + 2.5}" y="{y + h * 0.33}" width="{w - 5}" height="1" fill="{line}"/>'
            f'<rect x="{x + 2.5}" y="{y + h * 0.66}" width="{w - 5}" height="1" fill="{line}"/>')


def dialog_icon_svg():
    """15 x 26: a crate over an up-and-down arrow, for the key settings."""
    body = (f'<rect x="0.5" y="0.5" width="14" height="25" rx="3" fill="{KEY}"/>'
            f'<rect x="2" y="2.5" width="11" height="8.5" rx="0.8" fill="#1c2226"/>'
            f'<rect x="3.8" y="5" width="7.4" height="0.9" fill="{KEY}"/>'
            f'<rect x="3.8" y="7.7" width="7.4" height="0.9" fill="{KEY}"/>'
            f'<path d="M 7.5 13 L 11 16.5 L 8.6 16.5 L 8.6 20.5 L 11 20.5 L 7.5 24 L 4 20.5 L 6.4 20.5 '
            f'L 6.4 16.5 L 4 16.5 Z" fill="#f6efe0"/>')
    return document((0, 0, 15, 26), "", body)
