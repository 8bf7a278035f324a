#!/usr/bin/env python3
"""Writes the long replay scenarios (truck_full_and_break, speed_up_*, score_*).

Playing dozens of crates by hand is slow and error-prone, so this script plays them: it keeps
one crate on the line at a time and, from the line's timing, knows when each crate is tested at
each hand-over step, so it walks each worker to the right level in good time (or, where asked,
leaves him out of place to make a miss). It writes only the input (draws, keys, waits) and the
print and trace commands; every expected .out beside the scenarios was checked by hand against
the game's rules, not produced by this script.

Timing the script relies on (virtual milliseconds from the scenario's first command):
- the start key comes at 10 ms and its sound holds 60 ms; each move key holds 60 ms;
- beats (TimeEngine) at 750 k; a beat draws one queued value; a roll r in range R is queued as
  (r - 0.5) / R; roll 1 launches crate 1, roll 2 launches nothing;
- the crate timers tick on a 500 ms grid, first 500 ms after they are switched on; a crate
  launched at beat b moves to step 1 at the first grid time >= b (a beat runs before a crate
  tick due in the same millisecond), then one step per tick; the hand-over test at step h is
  the tick at first + 500 h; the crate is loaded on the truck at first + 500 * LAST_STEP;
- the 8th crate starts the break 250 ms after its load; the break ends 7000 ms later, when the
  crate timers are switched on again (so their grid moves by 250 ms), Bepo stands at 3 and
  Nando at 1;
- a miss halts the line; the scolding ends 4000 ms later, the line restarts on the same grid
  and the scolded worker stands at pose 1.
The crate line's geometry (hand-over steps, levels, poses, the last step, a full truck, the
blocking steps) is read from src/shell/line_geometry.h, where the game names it.
Usage: gen_long_games.py OUTPUT_FOLDER
"""
import os
import re
import sys


def read_geometry():
    """The constants of line_geometry.h: `inline constexpr int kName = V;` and the arrays of
    ints, where a value may name a constant defined before it."""
    here = os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(here, "..", "..", "src", "shell", "line_geometry.h")) as f:
        text = f.read()
    names = {}
    pattern = (r"inline constexpr (?:int|std::array<int, \d+>) (k\w+)(?:\[\])?"
               r"\s*=?\s*(\{[^}]*\}|[^;]+);")
    for name, value in re.findall(pattern, text):
        items = [names[v] if v in names else int(v) for v in re.findall(r"\w+", value)]
        names[name] = items if value.startswith("{") else items[0]
    return names


GEOMETRY = read_geometry()
BEPO_HANDOVERS = GEOMETRY["kBepoHandovers"]
NANDO_HANDOVERS = GEOMETRY["kNandoHandovers"]
BEPO_STEPS = dict(zip(BEPO_HANDOVERS, GEOMETRY["kHandoverLevels"]))
NANDO_STEPS = dict(zip(NANDO_HANDOVERS, GEOMETRY["kHandoverLevels"]))
LAST_STEP = GEOMETRY["kLastStep"]
BLOCKING_STEPS = GEOMETRY["kBlockingSteps"]
BOTTOM = GEOMETRY["kBottomLevel"]
TOP = GEOMETRY["kTopLevel"]
LEVEL_STEP = GEOMETRY["kLevelStep"]
START_POSES = {"Bepo": GEOMETRY["kBepoStartPose"], "Nando": GEOMETRY["kNandoStartPose"]}
TRUCK_FULL = GEOMETRY["kTruckFull"]

BEAT = 750
HOLD = 60
KEYS = {("Bepo", +LEVEL_STEP): 80, ("Bepo", -LEVEL_STEP): 76,
        ("Nando", +LEVEL_STEP): 81, ("Nando", -LEVEL_STEP): 65}


def spawn_range(mode, score, current):
    rng = current
    if mode == "A":
        for limit, value in ((40, 6), (80, 8), (120, 10), (160, 12)):
            if score > limit:
                rng = value
    else:
        for limit, value in ((40, 8), (80, 10), (120, 12)):
            if score > limit:
                rng = value
    return rng


class Game:
    def __init__(self, mode):
        self.mode = mode
        self.events = []  # (time, order, command, hold in ms)
        self.awards = []  # (time, points): what the score does, for choosing roll values
        self.grid = 0  # crate timer grid offset (ms mod 500)
        self.pose = dict(START_POSES)
        self.busy_until = 0  # no launch before this time
        self.truck = 0
        self.score = 0
        self.mult = 1
        self.misses = 0
        self.launch_beats = {}  # beat -> roll
        self.rolls = {}  # beat -> roll asked for by a scenario (tests of the launch rule)
        self.free = {"Bepo": 0, "Nando": 0}  # a worker may move from then on
        self.keys_free = 0  # the last move key's sound has ended
        self.key_times = []
        self.starts = [10]  # each game's start key
        self.gaps = []  # (game over, next start): beats between draw nothing
        self.events.append((10, 0, "keydown %d" % (112 if mode == "A" else 113), HOLD))
        self.events.append((10, 1, "keyup %d" % (112 if mode == "A" else 113), 0))
        self.busy_until = 70

    def next_grid(self, t):
        # first crate tick at or after t
        k = -(-(t - self.grid) // 500)
        return self.grid + 500 * k

    def safe(self, t):
        # a key time whose hold holds up no beat and no crate tick
        while True:
            clash = False
            for x in range(t - 5, t + 2 * HOLD + 10):
                if x % BEAT == 0 or (x - self.grid) % 500 == 0:
                    clash = True
                    break
            if not clash:
                return t
            t += 10

    def move(self, who, target, after):
        t = self.safe(max(after, self.free[who], self.keys_free))
        while self.pose[who] != target:
            d = LEVEL_STEP if target > self.pose[who] else -LEVEL_STEP
            self.events.append((t, 0, "keydown %d" % KEYS[(who, d)], HOLD))
            self.key_times.append(t)
            self.pose[who] += d
            t += HOLD
        self.keys_free = max(self.keys_free, t)
        return t

    def award(self, t, points):
        before = self.score
        self.score += points * self.mult
        # the bonus rule fires at the count-up tick that draws 300
        if before <= 300 <= self.score and self.misses == 0:
            self.mult = 2
        if before <= 300 <= self.score:
            self.misses = 0
        self.awards.append((t, self.score))

    def crate(self, miss_at=None, miss_pose=None, slot=1, launch_at=None):
        """Plays one crate; miss_at is the hand-over step where its worker is left away (at
        miss_pose if given). The crate goes into `slot` (roll 2 slot - 1), at the first beat
        after the line is free, or at the beat `launch_at`."""
        b = launch_at if launch_at is not None else -(-(self.busy_until + 1) // BEAT) * BEAT
        self.launch_beats[b] = 2 * slot - 1
        first = self.next_grid(b)
        self.last_first = first
        self.last_launch = b
        plan = sorted(list(BEPO_STEPS.items()) + list(NANDO_STEPS.items()))
        prepared = b + 100
        for step, level in plan:
            who = "Bepo" if step in BEPO_STEPS else "Nando"
            test = first + 500 * step
            if step == miss_at:
                if miss_pose is not None:
                    self.move(who, miss_pose, prepared)
                elif self.pose[who] == level:
                    self.move(who, level + LEVEL_STEP if level < TOP else BOTTOM, prepared)
                end = test + 4000
                self.pose[who] = BOTTOM
                self.misses += 1
                self.mult = 1
                self.busy_until = end
                if self.misses == 3:
                    self.over = end
                    self.misses = 0
                    return "over", end
                return "miss", test
            self.move(who, level, prepared)
            self.free[who] = test + 300
            self.award(test, 1)
            # the worker's hands come down 250 ms after the lift
            self.pose[who] = level
            prepared = test + 300
        load = first + 500 * LAST_STEP
        self.truck += 1
        self.busy_until = load
        if self.truck == TRUCK_FULL:
            start_break = load + 250
            self.award(start_break, 10)
            end = start_break + 7000
            self.grid = end % 500
            self.pose = dict(START_POSES)
            self.truck = 0
            self.busy_until = end
            return "break", start_break
        return "load", load

    def new_game(self, t):
        """Starts the next game (same mode) with its key at t, after a game over."""
        t = self.safe(t)
        key = 112 if self.mode == "A" else 113
        self.events.append((t, 0, "keydown %d" % key, HOLD))
        self.events.append((t, 1, "keyup %d" % key, 0))
        self.gaps.append((self.over, t))
        self.starts.append(t)
        self.grid = (t + HOLD) % 500
        self.pose = dict(START_POSES)
        self.free = {"Bepo": 0, "Nando": 0}
        self.truck = 0
        self.score = 0
        self.mult = 1
        self.misses = 0
        self.busy_until = t + HOLD
        return t

    def at(self, t, command, order=5):
        self.events.append((t, order, command, 0))

    def score_at(self, t):
        began = max(x for x in self.starts if x < t)
        s = 0
        for when, total in self.awards:
            if began < when < t:
                s = total
        return s

    def draws(self, until):
        values = []
        rng = 3 if self.mode == "A" else 5
        b = BEAT
        while b <= until:
            if any(over < b < start for over, start in self.gaps):
                b += BEAT
                continue
            if any(start < b <= start + BEAT for start in self.starts[1:]):
                rng = 3 if self.mode == "A" else 5
            rng = spawn_range(self.mode, self.score_at(b), rng)
            roll = self.rolls.get(b, self.launch_beats.get(b, 2))
            values.append("%g" % ((roll - 0.5) / rng))
            b += BEAT
        return values

    def write(self, path, header, until):
        out = [line for line in header]
        out.append("soundlength audio\\move.wav 60")
        values = self.draws(until)
        for i in range(0, len(values), 16):
            out.append("draw " + " ".join(values[i:i + 16]))
        now = 0
        for t, _, command, hold in sorted(self.events, key=lambda e: (e[0], e[1])):
            assert t >= now or hold == 0, (t, now, command)
            if t > now:
                out.append("wait %d" % (t - now))
                now = t
            out.append(command)
            now += hold
        if until > now:
            out.append("wait %d" % (until - now))
        with open(path, "w") as f:
            f.write("\n".join(out) + "\n")


def truck_full_and_break(folder):
    g = Game("A")
    for _ in range(9):
        g.crate()
    # the 6th crate's load (153000) and slide: the man and the exhaust appear
    g.at(152990, "trace on")
    g.at(154010, "trace off")
    for name in ("TruckLoad", "ExhaustOn", "shown Omino", "shown Blocco"):
        g.at(154010, "print " + name)
    # the 7th crate's load (178500) and its one slide move
    g.at(178490, "trace on")
    g.at(178760, "trace off")
    g.at(178760, "print shown Blocco")
    # the 8th crate (load 204000), the start of the break (204250) and the whole scene
    g.at(203990, "trace on")
    for name in ("TruckLoad", "LoadSegment", "SlideSteps", "MovesLocked", "LinePaused", "timers"):
        g.at(204260, "print " + name)
    g.at(204600, "# The keys are locked during the break: these two move nobody.")
    g.at(204600, "keydown 80")
    g.at(204600, "keydown 81")
    g.at(211260, "trace off")
    for name in ("TruckLoad", "LoadSegment", "SceneStep", "MovesLocked", "LinePaused", "ExhaustOn",
                 "BepoPose", "NandoPose", "Score", "readout", "timers", "shown Blocco",
                 "shown Camion", "shown Omino", "shown Fumo", "shown Fumo2"):
        g.at(211260, "print " + name)
    # the 9th crate goes to an empty truck: shown at 50 (236250), it slides down to 54
    for name in ("TruckLoad", "shown Blocco", "Score"):
        g.at(237300, "print " + name)
    header = [
        "# Eight crates onto the truck and the whole break scene, tick by tick (game A, one crate",
        "# on the line at a time; written by gen_long_games.py, which says how the times follow).",
        "# The 6th crate slides one place (55 to 56) and shows the man and the exhaust, which puffs",
        "# every 250 ms; the 7th goes in at 50 and slides to 51; the 8th stays at 55, and the slide",
        "# tick 250 ms later finds the truck full: keys locked, line halted, 10 points (counted up",
        "# 48 to 58 over 11 ticks, the points sound on the 4th) and the scene timer on. The scene:",
        "# tick 1 nothing, 2 the man goes, 3 the truck and its crates go, 4 to 10 the exhaust stops",
        "# and smoke and rest poses alternate (starting with 8, ending with 8), 11 the empty truck",
        "# and both bosses with the workers in pose 9, 12 and 13 nothing, 14 the workers back at 3",
        "# and 1, the keys free and the line running. The 9th crate then lands on an empty truck.",
    ]
    g.write(os.path.join(folder, "truck_full_and_break.scn"), header, 237300)


def beats_around(g, limit):
    """The last beat that sees Score <= limit and the first that sees Score > limit."""
    b, last = BEAT, None
    while True:
        if g.score_at(b) > limit:
            return last, b
        last = b
        b += BEAT


def award_time(g, value):
    for when, total in g.awards:
        if total >= value:
            return when, total
    raise ValueError(value)


def speed_up(g, limits, folder, name, header):
    for limit in limits:
        for b in beats_around(g, limit):
            g.at(b + 1, "print Score")
            g.at(b + 1, "print SpawnRange")


def long_game_a(folder):
    g = Game("A")
    for _ in range(92):
        g.crate()
    speed_up(g, (40, 80, 120, 160), folder, None, None)
    # the lift that makes 300 and the next one, which already counts double
    t, _ = award_time(g, 300)
    for name in ("Score", "readout", "PointMultiplier", "Misses"):
        g.at(t + 100, "print " + name)
    t, _ = award_time(g, 301)
    for name in ("Score", "readout"):
        g.at(t + 100, "print " + name)
    # the first full truck with double points: 20 points counted up over 21 ticks, the
    # points sound on the 4th and the 14th
    t, _ = award_time(g, 396)
    g.at(t - 10, "trace on")
    g.at(t + 540, "trace off")
    g.at(t + 600, "print Score")
    # 998, 1000 and 1002, each half-way through its count-up and at its end: three places
    # show the last three digits
    for value in (998, 1000, 1002):
        t, _ = award_time(g, value)
        g.at(t + 50, "print readout")
        g.at(t + 100, "print Score")
        g.at(t + 100, "print readout")
    end = award_time(g, 1012)[0] + 200
    for name in ("Score", "readout", "PointMultiplier", "Misses", "SpawnRange"):
        g.at(end, "print " + name)
    header = [
        "# A long game A without a miss, played by gen_long_games.py (one crate on the line at a",
        "# time, every crate lifted at all six steps: 6 points a crate, 10 a full truck).",
        "# Speed-up: the beat that still sees Score 40 keeps the range at 3, the first beat that",
        "# sees 41 makes it 6; likewise 80/81 gives 8, 120/121 gives 10, 160/161 gives 12.",
        "# After 40 crates and five trucks the score is 290; crate 42's lift at step 30 makes 300",
        "# and its count-up draws 300 with no miss in the game: from then on every award counts",
        "# double (a lift 2, a truck 20). Crate 48 fills the sixth truck: 376 counts up to 396 over",
        "# 21 ticks, with the points sound on the 4th and the 14th (the exhaust puffs meanwhile,",
        "# the scene's first tick changes nothing). The score then",
        "# reaches 1000 exactly at crate 90's last lift (998 to 1000): the readout counts up",
        "# 998, 999, 1000 and shows 000, the last three digits, while Score keeps 1000; crate",
        "# 91 goes on with 002 and ends at 1012, shown as 012.",
    ]
    g.write(os.path.join(folder, "long_game_a.scn"), header, award_time(g, 1012)[0] + 200)


def speed_up_game_b(folder):
    g = Game("B")
    for _ in range(17):
        g.crate()
    speed_up(g, (40, 80, 120), folder, None, None)
    header = [
        "# Speed-up in game B (played by gen_long_games.py, one crate at a time, no miss): the",
        "# range starts at 5; the first beat that sees Score 41 makes it 8, 81 makes it 10, and",
        "# 121 makes it 12, each after a beat that still saw 40, 80 and 120 with the old range.",
    ]
    g.write(os.path.join(folder, "speed_up_game_b.scn"), header, award_time(g, 121)[0] + 2000)


def score_300_with_misses(folder):
    g = Game("A")
    results = {}
    for n in range(1, 45):
        miss = {2: (BEPO_HANDOVERS[1], TOP), 5: (BEPO_HANDOVERS[2], None),
                43: (BEPO_HANDOVERS[2], None)}.get(n, (None, None))
        results[n] = g.crate(*miss)
    first_miss = results[2][1]
    g.at(first_miss + 1, "print BepoPose")
    for name in ("Misses", "BepoPose", "shown Vita"):
        g.at(first_miss + 4100, "print " + name)
    second_miss = results[5][1]
    for name in ("Misses", "shown Vita", "Score"):
        g.at(second_miss + 4100, "print " + name)
    t, _ = award_time(g, 300)
    for name in ("Score", "readout", "Misses", "PointMultiplier", "shown Vita"):
        g.at(t + 100, "print " + name)
    third_miss = results[43][1]
    for name in ("Score", "Misses", "PointMultiplier", "shown Vita"):
        g.at(third_miss + 4100, "print " + name)
    t, _ = award_time(g, 301)
    g.at(t - 10, "trace on")
    g.at(t + 100, "trace off")
    for name in ("Score", "Misses", "PointMultiplier", "shown Vita"):
        g.at(t + 100, "print " + name)
    t, _ = award_time(g, 302)
    for name in ("Score", "PointMultiplier"):
        g.at(t + 100, "print " + name)
    header = [
        "# The bonus rule with misses (game A, played by gen_long_games.py, one crate at a time).",
        "# Crate 2 is dropped at step 21 with Bepo on the top level: he restarts on the bottom",
        "# level all the same. Crate 5 is dropped at step 39. With two misses counted, crate 43's",
        "# lift at step 30 makes 300: the count-up drawing 300 forgives both misses (marks 1 and 2",
        "# hidden, Misses 0) but leaves the multiplier at 1. Crate 43 is then dropped at step 39",
        "# (one miss, mark 1 back). Crate 44's lift at step 3 starts a count-up from the score",
        "# standing at 300, so it draws 300 again and the rule fires again: that miss is forgiven",
        "# too, and as Misses was 1 the multiplier still stays 1.",
    ]
    g.write(os.path.join(folder, "score_300_with_misses.scn"), header,
            award_time(g, 302)[0] + 200)


def score_300_redraw_doubles(folder):
    g = Game("A")
    for n in range(1, 45):
        g.crate(*{2: (BEPO_HANDOVERS[1], TOP), 5: (NANDO_HANDOVERS[1], None)}.get(n, (None, None)))
    for value in (300, 301, 303):
        t, _ = award_time(g, value)
        for name in ("Score", "Misses", "PointMultiplier"):
            g.at(t + 100, "print " + name)
    header = [
        "# The bonus rule fires at every count-up tick that begins at 300 (game A, played by",
        "# gen_long_games.py). Two misses early on (crate 2 at step 21, crate 5 at step 30); crate",
        "# 43's lift at step 39 makes exactly 300: the misses are forgiven, the multiplier stays",
        "# 1. Its next lift (step 48) starts a count-up from 300, so 300 is drawn again, now with",
        "# no miss left: that lift still counted single (301), but from then on every award",
        "# counts double (303).",
    ]
    g.write(os.path.join(folder, "score_300_redraw_doubles.scn"), header,
            award_time(g, 303)[0] + 200)


def step_at_beat(first, b):
    """The step of a crate whose first tick is `first`, as a beat at b sees it."""
    return max(0, -(-(b - first) // 500))


def launch_blocked_at_18_and_36(folder):
    g = Game("B")
    for _ in range(14):
        g.crate()
    g.crate(slot=5)
    first, launch = g.last_first, g.last_launch
    checks = []
    for k, roll in ((12, 3), (24, 3), (25, 3)):
        b = launch + BEAT * k
        g.rolls[b] = roll
        checks.append((b, step_at_beat(first, b)))
        g.at(b - 1, "print CratePos")
        for name in ("SpawnRange", "SpawnRoll", "ClearCount", "CrateActive"):
            g.at(b + 1, "print " + name)
    assert [c[1] for c in checks][:2] == BLOCKING_STEPS, checks
    header = [
        "# Steps 18 and 36 block every launch (game B, played by gen_long_games.py). After 14",
        "# crates the score is 94 and the range 10, so roll 9 launches crate 5. Crate 2 needs crate",
        "# 5 only beyond step 5, yet roll 3 is refused while crate 5 stands at 18 and again at 36:",
        "# a crate starting then would meet Bepo's hand-over steps 21 and 39 together with it (step",
        "# 0 lies three steps before 3 as 18 before 21). One beat after 36, with crate 5 at 37,",
        "# the same roll launches crate 2.",
    ]
    g.write(os.path.join(folder, "launch_blocked_at_18_and_36.scn"), header, checks[-1][0] + 1)


def crate6_launch_and_silence(folder):
    g = Game("B")
    for _ in range(18):
        g.crate()
    # crate 19 in slot 1; a beat must see it at step 43 (a step is seen by no beat or by one)
    for extra in (0, BEAT):
        probe = Game("B")
        for _ in range(18):
            probe.crate()
        b = -(-(probe.busy_until + 1) // BEAT) * BEAT + extra
        probe.crate(launch_at=b)
        beats = [b + BEAT * k for k in range(1, 40)]
        seen = [x for x in beats if step_at_beat(probe.last_first, x) == 43]
        if seen:
            break
    g.crate(launch_at=b)
    first = g.last_first
    at43 = seen[0]
    after = at43 + BEAT
    g.rolls[at43] = 11
    for beat in (at43, after):
        g.at(beat - 1, "print CratePos")
        for name in ("SpawnRange", "SpawnRoll", "ClearCount", "CrateActive"):
            g.at(beat + 1, "print " + name)
    load19 = first + 500 * LAST_STEP
    g.crate(slot=6, launch_at=after)
    # only crate 6 on the line: beats play no running sound
    g.at(load19 + 10, "print CrateActive")
    g.at(load19 + 10, "trace on")
    g.at(load19 + 6010, "trace off")
    g.at(load19 + 6010, "print CrateActive")
    g.at(g.last_first + 500 * LAST_STEP + 10, "print Score")
    g.at(g.last_first + 500 * LAST_STEP + 10, "print TruckLoad")
    header = [
        "# Crate 6 (roll 11, game B at range 12 after 18 crates; played by gen_long_games.py)",
        "# waits until every crate on the line is beyond step 43: refused with crate 1 at 43,",
        "# launched one beat later with crate 1 at 45. Crate 6 does not count for the running",
        "# sound: once crate 1 is on the truck and only crate 6 is on the line, the eight beats",
        "# of the six traced seconds play nothing (the only sound there is a worker's move).",
        "# Crate 6 then makes its whole trip like any other.",
    ]
    g.write(os.path.join(folder, "crate6_launch_and_silence.scn"), header,
            g.last_first + 500 * LAST_STEP + 10)


def exhaust_after_game_over(folder):
    g = Game("A")
    for _ in range(6):
        g.crate()
    for _ in range(3):
        result = g.crate(miss_at=BEPO_HANDOVERS[0])
    assert result[0] == "over"
    over = result[1]
    for name in ("GameRunning", "ExhaustOn", "TruckLoad", "shown Omino"):
        g.at(over + 1, "print " + name)
    g.at(over + 990, "trace on")
    g.at(over + 1510, "trace off")
    start = g.new_game(over + 2000)
    g.at(start - 10, "trace on")
    g.at(start + 600, "trace off")
    for name in ("ExhaustOn", "ExhaustFrame", "TruckLoad", "shown Omino"):
        g.at(start + 600, "print " + name)
    g.crate()
    load = g.last_first + 500 * LAST_STEP
    g.at(load + 240, "trace on")
    g.at(load + 760, "trace off")
    for name in ("ExhaustOn", "TruckLoad", "shown Fumo", "shown Omino"):
        g.at(load + 760, "print " + name)
    header = [
        "# The exhaust keeps puffing after a game over and into the next game (played by",
        "# gen_long_games.py). Six crates on the truck start the exhaust; three crates then break",
        "# at step 3 and the third miss ends the game with the exhaust still on: it puffs through",
        "# the idle time and, as the new start touches neither its flag nor the truck's picture",
        "# stays, on into the next game (the start hides the puff and puts its frame back to 0,",
        "# and the next 250 ms tick shows frame 1). The first slide move of the new game's first",
        "# crate (one crate on the truck) switches it off; the puff then shown stays on screen.",
    ]
    g.write(os.path.join(folder, "exhaust_after_game_over.scn"), header, load + 760)


def three_crates_fill_truck_at_miss(x_behind):
    """Game B: seven crates, then crate 1 (8th for the truck), crate 2 `x_behind` steps behind
    it and crate 3 46 steps behind crate 1, which breaks at step 3 in the tick where crate 1
    fills the truck. Returns the game and the time of that tick."""
    g = Game("B")
    for _ in range(7):
        g.crate()
    # Three crates at once. E (slot 1) becomes the 8th on the truck; X (slot 2) runs 12 steps
    # behind it; F (slot 3) 46 steps behind E. In the tick where E leaves step 49, X moves
    # 37 -> 38 and F is tested at step 3 with Bepo on the top level: the truck fills in the
    # same tick as the miss. E is launched on an odd beat, so its first tick comes 250 ms after
    # the beat and the beats see the steps 12 and 46 that X and F need.
    b_e = -(-(g.busy_until + 1) // BEAT) * BEAT
    if (b_e // BEAT) % 2 == 0:
        b_e += BEAT
    first_e = g.next_grid(b_e)
    assert first_e - b_e == 250
    b_x = b_e + {12: 8, 13: 9}[x_behind] * BEAT
    b_f = b_e + 31 * BEAT
    f_behind = LAST_STEP - BEPO_HANDOVERS[0]  # F at Bepo's bottom step as E leaves the last
    assert step_at_beat(first_e, b_x) == x_behind and step_at_beat(first_e, b_f) == f_behind
    first_x, first_f = g.next_grid(b_x), g.next_grid(b_f)
    g.launch_beats.update({b_e: 1, b_x: 3, b_f: 5})
    full = first_e + 500 * LAST_STEP  # E loaded, X to 38, F dropped at step 3
    needs = []
    for first in (first_e, first_x):
        for step, level in sorted(list(BEPO_STEPS.items()) + list(NANDO_STEPS.items())):
            test = first + 500 * step
            if test < full:
                needs.append((test, "Bepo" if step in BEPO_STEPS else "Nando", level))
    after = {"Bepo": b_e + 100, "Nando": b_e + 100}
    for test, who, level in sorted(needs):
        g.move(who, level, after[who])
        g.free[who] = test + 300
        after[who] = test + 300
    assert g.pose["Bepo"] != BOTTOM  # F finds Bepo away from step 3
    # after the scolding (ends full + 4000, Bepo on the bottom): Bepo up for crate 2 at step
    # 39; after the scene puts Nando in pose 9 (full + 9250): Nando down twice, 9 -> 7 -> 5,
    # for crate 2 at step 48
    g.pose["Bepo"] = BOTTOM
    g.move("Bepo", TOP, full + 4100)
    g.events.append((full + 9300, 0, "keydown 65", HOLD))
    g.events.append((full + 9360, 0, "keydown 65", HOLD))
    return g, full


def truck_full_during_scolding(folder):
    g, full = three_crates_fill_truck_at_miss(12)
    g.at(full - 10, "print CratePos")
    g.at(full - 10, "trace on")
    g.at(full + 260, "trace off")
    for name in ("TruckLoad", "SceneStep", "BreakAllowed", "MovesLocked", "LinePaused",
                 "CratePos", "timers"):
        g.at(full + 3000, "print " + name)
    g.at(full + 3990, "trace on")
    g.at(full + 6010, "trace off")
    for name in ("MovesLocked", "LinePaused", "BepoHand", "CratePos"):
        g.at(full + 6010, "print " + name)
    g.at(full + 9240, "trace on")
    g.at(full + 10760, "trace off")
    for name in ("TruckLoad", "LoadSegment", "SceneStep", "BepoPose", "NandoPose", "ExhaustOn",
                 "MovesLocked", "Misses", "Score", "CrateActive", "shown Blocco", "shown Omino",
                 "timers"):
        g.at(full + 10760, "print " + name)
    header = [
        "# The truck filled while a scolding runs (game B, played by gen_long_games.py). After",
        "# seven crates, three are on the line at once: crate 1 (the 8th for the truck), crate 2",
        "# twelve steps behind it and crate 3 forty-six steps behind. In one tick crate 1 goes",
        "# onto the truck, crate 2 moves from 37 to 38 and crate 3 is tested at step 3 with Bepo",
        "# on the top level: a miss. 250 ms later the full truck starts the break (10 points, the",
        "# scene timer on), but the scene holds at step 0 while the scolding runs. When the",
        "# scolding ends the line runs again, the keys are free and the scene plays its 14 ticks",
        "# while crate 2 moves on: Bepo walks up and lifts it at step 39; Nando, put in pose 9 by",
        "# the scene, walks down twice (9, 7, 5) and lifts it at step 48; it goes onto the full",
        "# truck as a 9th load: shown at 55, it slides to 57 and, with more than five crates",
        "# counted, shows the man and starts the exhaust. The scene's last tick stands the workers",
        "# at 3 and 1 and empties the truck's counters; the 9th crate's picture stays at 57.",
    ]
    g.write(os.path.join(folder, "truck_full_during_scolding.scn"), header, full + 10760)


def break_scene_after_late_lifts(folder):
    g, full = three_crates_fill_truck_at_miss(13)
    g.at(full + 5490, "trace on")
    g.at(full + 5760, "trace off")
    for name in ("BepoPose", "BepoHand", "timers"):
        g.at(full + 5760, "print " + name)
    g.at(full + 10490, "trace on")
    g.at(full + 11010, "trace off")
    for name in ("TruckLoad", "LoadSegment", "SlideCount", "ExhaustOn", "shown Blocco", "timers"):
        g.at(full + 11010, "print " + name)
    header = [
        "# As truck_full_during_scolding, with crate 2 one step further back (37 when the line",
        "# halts), so the break scene runs one tick ahead of it (played by gen_long_games.py).",
        "# Bepo lifts it at step 39 250 ms before the scene's tick that seats both workers: the",
        "# scene puts Bepo in rest pose 8, and the hand timer, in the same millisecond, only",
        "# clears his hand flag; it lowers a worker only from a lifted pose (2, 4, 6).",
        "# Crate 2 reaches the truck 250 ms before the scene's last tick: its first slide move",
        "# (55 to 56, the man and the exhaust on) comes in the same millisecond, before the scene",
        "# empties the truck's counters; the second slide move then works from the emptied",
        "# counters: it moves from place 50 to 51, hides the man and stops the exhaust, and ends",
        "# the slide, leaving pictures at 51 and 56 on a truck that counts no crate.",
    ]
    g.write(os.path.join(folder, "break_scene_after_late_lifts.scn"), header, full + 11010)


if __name__ == "__main__":
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    truck_full_and_break(folder)
    long_game_a(folder)
    speed_up_game_b(folder)
    score_300_with_misses(folder)
    score_300_redraw_doubles(folder)
    launch_blocked_at_18_and_36(folder)
    crate6_launch_and_silence(folder)
    exhaust_after_game_over(folder)
    truck_full_during_scolding(folder)
    break_scene_after_late_lifts(folder)
