// The fields of the game state record by name, as text (for replays and diagnostics).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/shell/game_state.h"

namespace cw {

// "value", arrays as their elements from index 0 separated by blanks, text as it stands.
// Nothing when the record has no field of that name.
std::optional<std::string> fieldText(const GameState& s, std::string_view name);

}  // namespace cw
