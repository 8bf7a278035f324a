// A player that plays as a good one would: it reads the crates on the line and walks each
// worker to the level of the hand-over that comes next at his steps. Used to drive long games
// in tests and benchmarks.
#pragma once

#include <optional>

#include "shell/game_state.h"

namespace cw {

// The key to press now (one of the state's four movement keys), or nothing when both workers
// stand where they should or cannot move.
std::optional<int> autoplayerKey(const GameState& s);

}  // namespace cw
