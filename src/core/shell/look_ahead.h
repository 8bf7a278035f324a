// Running the game ahead on a copy, to learn when a person will next see or hear anything: the
// live loop sleeps until then instead of waking for every tick.
#pragma once

#include "core/shell/game_window.h"

namespace cw {

struct Ahead {
  // When the first tick that changes the picture or plays a sound falls due; -1 when none does
  // up to the horizon.
  Millis due = -1;
  bool sound = false;  // that tick plays a sound
  int ticks = 0;       // ticks run on the copy, that one included
};

// Runs the ticks of a copy of `live` (its state, picture and timers; the live window is not
// touched) up to and including `until`, until one changes the picture or plays a sound. The copy
// draws from `random`, which must be a copy of the live generator, and reads the time from
// `timeText`, which must answer for the time it is asked. Sounds are noted, not played; ticks
// reach no key file and no window.
Ahead lookAhead(const GameWindow& live, RandomPort& random, TimeTextPort& timeText, Millis until);

}  // namespace cw
