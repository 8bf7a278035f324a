"""The people of the device: Nando, Bepo, their two bosses and the truck's driver.

Every pose is given by a few joints in casing pixels (hip, neck, head, hands, feet); elbows
and knees are solved from limb lengths so a pose is fixed by where the hands must be, which
is next to the crate places it serves.
"""

import math

from svg import circle, cut, ellipse, ink, line, poly, rot, rect


class Build:
    def __init__(self, name, limb, leg, torso, head, upper, fore, thigh, shin, hat):
        self.name = name
        self.limb, self.leg, self.torso, self.head = limb, leg, torso, head
        self.upper, self.fore, self.thigh, self.shin = upper, fore, thigh, shin
        self.hat = hat


# Nando: slim, peaked cap. Bepo: short and stout, round hat. Bosses: heavy, helmet, moustache.
NANDO = Build("nando", limb=3.0, leg=3.5, torso=7.0, head=4.6, upper=8.0, fore=8.0,
              thigh=9.5, shin=9.5, hat="cap")
BEPO = Build("bepo", limb=3.9, leg=4.6, torso=11.0, head=5.2, upper=7.2, fore=7.2,
             thigh=8.0, shin=8.0, hat="bowler")
BOSS = Build("boss", limb=4.0, leg=4.6, torso=11.5, head=5.5, upper=9.0, fore=9.0,
             thigh=10.0, shin=10.0, hat="helmet")
DRIVER = Build("driver", limb=2.8, leg=3.0, torso=7.0, head=4.2, upper=6.5, fore=6.5,
               thigh=7.0, shin=7.0, hat="cap")


def _joint(a, b, la, lb, prefer):
    """Middle joint of a two-segment limb from a to b; `prefer` scores the two solutions."""
    dx, dy = b[0] - a[0], b[1] - a[1]
    d = math.hypot(dx, dy)
    d = max(min(d, la + lb - 0.05), abs(la - lb) + 0.05, 0.1)
    cos_a = (la * la + d * d - lb * lb) / (2 * la * d)
    alpha = math.acos(max(-1.0, min(1.0, cos_a)))
    base = math.atan2(dy, dx)
    options = [(a[0] + la * math.cos(base + s * alpha), a[1] + la * math.sin(base + s * alpha))
               for s in (1, -1)]
    return max(options, key=prefer)


def _add(p, dx, dy):
    return (p[0] + dx, p[1] + dy)


def person(b, face, hip, neck, head, hands, feet, tilt=0.0, knees=None, elbows=None,
           below=(), above=(), open_mouth=False):
    """A figure facing right (face=1) or left (face=-1).

    hands and feet are (near, far) points; knees/elbows may be given to override the solver
    (by default knees bend forward and elbows drop). tilt nods the head forward in degrees.
    """
    f = face
    shoulder = _add(neck, 0, 1.6)
    el = []
    for i, hand in enumerate(hands):
        if elbows and elbows[i]:
            el.append(elbows[i])
        else:
            el.append(_joint(shoulder, hand, b.upper, b.fore, lambda p: p[1] - 0.35 * f * p[0]))
    kn = []
    for i, foot in enumerate(feet):
        if knees and knees[i]:
            kn.append(knees[i])
        else:
            kn.append(_joint(hip, foot, b.thigh, b.shin, lambda p: f * p[0]))

    def arm(i):
        return [line(shoulder, el[i], hands[i], w=b.limb), circle(hands[i], b.limb * 0.72)]

    def legs(i):
        foot = feet[i]
        toe = _add(foot, f * 3.2, 0.2)
        return [line(hip, kn[i], foot, w=b.leg), line(_add(foot, -f * 0.8, 0), toe, w=b.leg * 0.85)]

    layers = list(below)
    layers.append(ink(*arm(1)))
    layers.append(ink(*legs(1), gap=0.0))
    # Torso; the stout builds carry a belly.
    body = [line(neck, hip, w=b.torso)]
    if b.name in ("bepo", "boss"):
        mid = ((neck[0] + hip[0]) / 2 + f * 1.6, (neck[1] + hip[1]) / 2 + 2.5)
        body.append(ellipse(mid, b.torso * 0.62, b.torso * 0.68))
    layers.append(ink(*body, gap=0.9))
    layers += _head(b, f, head, tilt, open_mouth)
    layers.append(ink(*legs(0), gap=0.8))
    layers.append(ink(*arm(0), gap=0.85))
    layers += list(above)
    return layers


def _head(b, f, c, tilt, open_mouth):
    r = b.head
    a = tilt * f

    def R(dx, dy):
        return rot((c[0] + f * dx, c[1] + dy), c, a)

    out = []
    head = [circle(c, r), circle(R(r - 0.4, 1.0), 1.5)]  # head and nose
    if b.name == "boss":
        head.append(ellipse(R(r - 1.4, 2.9), 2.6, 1.3, rot=a))  # moustache
    out.append(ink(*head, gap=0.9))
    if b.hat == "cap":
        dome = [R(-r - 0.6, -0.8), R(-r + 0.2, -r + 0.4), R(-1.5, -r - 2.2), R(2.5, -r - 2.0),
                R(r - 0.2, -r + 0.6), R(r + 0.4, -1.0)]
        peak = [R(r - 1.0, -1.9), R(r + 4.2, -1.2), R(r + 3.8, -0.2), R(r - 0.5, -0.4)]
        out.append(ink(poly(*dome), poly(*peak), gap=0.7))
    elif b.hat == "bowler":
        dome = ellipse(R(0.2, -r * 0.78), r * 0.86, r * 0.74, rot=a)
        brim = line(R(-r - 2.2, -r * 0.5), R(r + 2.2, -r * 0.5), w=1.5)
        out.append(ink(dome, brim, gap=0.55))
    elif b.hat == "helmet":
        # a hard hat: half dome on the crown, long peak over the eyes
        dome = [R(-r - 0.9, -r * 0.32)]
        for i in range(0, 13):
            ang = 3.14159 * i / 12
            dome.append(R(-(r + 0.9) * math.cos(ang), -r * 0.32 - (r + 0.6) * math.sin(ang)))
        brim = line(R(-r - 1.6, -r * 0.3), R(r + 3.4, -r * 0.3), w=1.6)
        out.append(ink(poly(*dome), brim, gap=0.55))
    # Eye (and a mouth cut when shouting).
    out.append(cut(circle(R(r * 0.42, -0.6), 0.85)))
    if open_mouth:
        out.append(cut(ellipse(R(r - 1.0, 3.2), 1.3, 1.0)))
    return out


def drops(*centres, size=1.0):
    """Sweat drops: small tears pointing up."""
    shapes = []
    for x, y in centres:
        s = size
        shapes.append(poly((x, y - 2.6 * s), (x + 1.3 * s, y), (x, y + 1.2 * s), (x - 1.3 * s, y)))
        shapes.append(circle((x, y + 0.1 * s), 1.25 * s))
    return ink(*shapes)


def dashes(*segs, w=1.1):
    return ink(*[line(a, b, w=w) for a, b in segs])


def seat(x, y, w, h):
    """An upturned crate to sit on, with its plank gaps."""
    return [ink(rect(x, y, w, h, rx=0.6)),
            cut(rect(x + 2.2, y + h * 0.33, w - 4.4, 0.9), rect(x + 2.2, y + h * 0.66, w - 4.4, 0.9))]


def cup(hand, f):
    x, y = hand
    return ink(poly((x + f * 0.5, y - 3.8), (x + f * 4.2, y - 3.8), (x + f * 3.6, y + 1.2),
                    (x + f * 0.9, y + 1.2)), gap=0.6)


# --- Nando, left screen, faces right (towards the belts) ---------------------------------

def nando(member):
    N, R, L = NANDO, 1, -1
    if member == 1:  # bottom level, ready for the crate at its hand-over place
        return person(N, R, hip=(199, 191), neck=(201, 177), head=(202.5, 171.2),
                      hands=((215, 187), (212, 190)), feet=((205, 207.8), (195, 207.8)))
    if member == 2:  # lifting onto the second belt
        return person(N, R, hip=(201, 191), neck=(206, 177.5), head=(208.5, 171.5),
                      hands=((231.5, 163.5), (228.5, 166.5)), feet=((209, 207.8), (196, 207.8)))
    if member == 3:
        return person(N, R, hip=(203, 136), neck=(205, 122), head=(206.5, 116.2),
                      hands=((219, 132), (216, 135)), feet=((209, 152.8), (199, 152.8)))
    if member == 4:
        return person(N, R, hip=(205, 136), neck=(210, 122.5), head=(212.5, 116.5),
                      hands=((233.5, 110.5), (230.5, 113.5)), feet=((213, 152.8), (200, 152.8)))
    if member == 5:
        return person(N, R, hip=(198, 81), neck=(200, 67), head=(201.5, 61.2),
                      hands=((214, 77), (211, 80)), feet=((204, 97.8), (194, 97.8)))
    if member == 6:  # turned to the truck, throwing the crate up onto it
        return person(N, L, hip=(170, 80), neck=(166, 66.5), head=(164, 60.5),
                      hands=((146.5, 52.5), (150, 50)), feet=((163, 96.3), (175, 96.3)), tilt=-12)
    if member == 7:  # break: sitting on a crate with a drink
        return person(N, R, hip=(146, 197.5), neck=(148, 183.5), head=(149.5, 177.5),
                      hands=((154, 178.5), (160, 195)), feet=((164, 211.8), (158, 211.8)),
                      below=seat(135, 199, 17, 13.5), above=[cup((154, 178.5), R)])
    if member == 8:  # break: leaning back, stretching
        return person(N, R, hip=(148, 194.5), neck=(145, 181), head=(143, 175),
                      hands=((152, 169), (139.5, 170)), feet=((175, 207.8), (168, 207.8)),
                      tilt=-15, below=seat(137, 196, 17, 13))
    if member == 9:  # scolded: facing the boss, head hung
        return person(N, L, hip=(124, 222), neck=(121, 208.5), head=(116.5, 205.5),
                      hands=((118, 222.5), (121.5, 224)), feet=((119, 238.8), (128, 238.8)),
                      tilt=35, above=[drops((111, 193), (104, 197.5), (118, 189), size=1.0)])
    if member == 10:  # scolded: kneeling, arms over the head
        return person(N, L, hip=(126, 228), neck=(111.5, 221), head=(103.5, 221.5),
                      hands=((100, 213.5), (97, 216)), feet=((139, 238.8), (135, 238.8)),
                      knees=((116, 237), (119, 237.5)), tilt=40,
                      above=[dashes(((117, 211), (114, 207)), ((123, 212), (123, 207)),
                                    ((129, 213.5), (132, 209.5)))])
    raise ValueError(member)


# --- Bepo, right screen, faces left (towards the belts) ----------------------------------

def bepo(member):
    B, R, L = BEPO, 1, -1
    if member == 1:  # bottom level, turned to the entry conveyor behind him
        return person(B, R, hip=(618, 217.5), neck=(620, 205.5), head=(622, 199.2),
                      hands=((643.5, 206), (640.5, 208.5)), feet=((624, 232.8), (612, 232.8)))
    if member == 2:  # swinging the crate onto the first belt
        return person(B, L, hip=(600, 215.5), neck=(595.5, 203.5), head=(592.5, 197.5),
                      hands=((569, 201), (572.5, 203.5)), feet=((592, 230.8), (605, 230.8)))
    if member == 3:
        return person(B, L, hip=(604, 166.5), neck=(602.5, 154.5), head=(600.5, 148.2),
                      hands=((585, 165), (588, 167.5)), feet=((598, 181.8), (609, 181.8)))
    if member == 4:
        return person(B, L, hip=(606, 164), neck=(601, 152.5), head=(598, 146.5),
                      hands=((571, 139.5), (574.5, 142.5)), feet=((598, 179.8), (611, 179.8)))
    if member == 5:
        return person(B, L, hip=(606, 110.5), neck=(604.5, 98.5), head=(602.5, 92.2),
                      hands=((587, 109), (590, 111.5)), feet=((600, 125.8), (611, 125.8)))
    if member == 6:
        return person(B, L, hip=(608, 107), neck=(603, 95.5), head=(600, 89.5),
                      hands=((572.5, 85.5), (576, 88.5)), feet=((600, 122.8), (613, 122.8)))
    if member == 7:  # break: sitting on a crate with a drink
        return person(B, L, hip=(649, 167), neck=(647, 155.5), head=(645, 149.5),
                      hands=((637.5, 150.5), (634, 165)), feet=((629, 180.8), (634, 180.8)),
                      below=seat(642, 168.5, 17, 13.5), above=[cup((637.5, 150.5), L)])
    if member == 8:  # break: leaning back, stretching
        return person(B, L, hip=(650, 166), neck=(652, 154.5), head=(654, 148.8),
                      hands=((645, 143.5), (658.5, 143)), feet=((626, 180.8), (632, 180.8)),
                      tilt=-15, below=seat(643, 168.5, 17, 13.5))
    if member == 9:  # scolded: facing the boss, head hung
        return person(B, R, hip=(683, 163), neck=(685.5, 151.5), head=(689.5, 149),
                      hands=((690, 164), (687, 166)), feet=((688, 178.8), (678, 178.8)),
                      tilt=35, above=[drops((680, 135.5), (687, 132.5), (695, 136.5), size=1.0)])
    if member == 10:  # scolded: kneeling, arms over the head
        return person(B, R, hip=(677, 170), neck=(690, 164), head=(698.5, 165),
                      hands=((703, 157), (706, 159.5)), feet=((666.5, 178.8), (670, 178.8)),
                      knees=((686, 177), (683, 177.5)), tilt=40,
                      above=[dashes(((684, 154), (686, 150)), ((678, 156), (678, 151)),
                                    ((672, 158.5), (669, 154.5)))])
    raise ValueError(member)


# --- The bosses ----------------------------------------------------------------------------

def _shout(x, y, f):
    """Three short strokes fanning out from a shouting mouth."""
    return dashes(((x, y - 3), (x + f * 4.5, y - 6)), ((x + f * 0.6, y), (x + f * 5.6, y)),
                  ((x, y + 3), (x + f * 4.5, y + 6)), w=1.2)


def capo_nando(member):
    K, R = BOSS, 1
    if member == 0:  # pointing at Nando
        return person(K, R, hip=(66, 220), neck=(67.5, 201.5), head=(69, 195.5),
                      hands=((87, 201), (58, 219)), feet=((72, 238.6), (61, 238.6)),
                      elbows=(None, (55.5, 210)))
    if member == 1:  # fist up, shouting
        return person(K, R, hip=(64, 218), neck=(66, 199.5), head=(68, 193.5),
                      hands=((76, 177), (56, 217)), feet=((70, 236.6), (58, 236.6)),
                      elbows=((77.5, 191), (53.5, 208)), open_mouth=True,
                      above=[_shout(80, 196.5, R)])
    raise ValueError(member)


def capo_bepo(member):
    K, L = BOSS, -1
    if member == 0:  # pointing at Bepo
        return person(K, L, hip=(731, 159), neck=(729.5, 140.5), head=(728, 134.5),
                      hands=((708, 141), (739, 158)), feet=((725, 177.6), (736, 177.6)),
                      elbows=(None, (742, 149)))
    if member == 1:  # fist up, shouting
        return person(K, L, hip=(732, 160), neck=(730, 141.5), head=(728, 135.5),
                      hands=((721, 118), (740, 159)), feet=((726, 178.6), (738, 178.6)),
                      elbows=((719.5, 132.5), (743, 150)), open_mouth=True,
                      above=[_shout(716, 138.5, L)])
    raise ValueError(member)


def omino():
    """The driver leaning out of the cab window, waving."""
    D, L = DRIVER, -1
    return person(D, L, hip=(72, 128), neck=(70, 113.5), head=(68, 107.5),
                  hands=((51, 91), (62, 123)), feet=((70, 140), (74, 140)),
                  elbows=((58, 107), (64, 118)),
                  above=[dashes(((47.5, 95), (49, 99)), ((48, 87), (52, 85.5)), w=1.0)])
