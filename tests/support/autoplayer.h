// A player that plays as a good one would: it reads the crates on the line and walks each
// worker to the level of the hand-over that comes next at his steps. Used to drive long games
// in tests and benchmarks.
#pragma once

#include <array>
#include <optional>

#include "core/shell/game_state.h"

namespace cw {

// The level a worker stands at in `pose` (kBottomLevel, kMiddleLevel or kTopLevel), lifted
// hands or not; nothing when he rests or is scolded.
std::optional<int> levelOf(int pose);

// The level a worker whose hand-over steps are `handovers` must stand at for the crate tested
// soonest there; nothing when no crate will be.
std::optional<int> wantedLevel(const GameState& s, const std::array<int, 3>& handovers);

// The key to press now (one of the state's four movement keys), or nothing when both workers
// stand where they should or cannot move.
std::optional<int> autoplayerKey(const GameState& s);

}  // namespace cw
