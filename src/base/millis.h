// Time in the game's milliseconds: the core's virtual clock and every length measured on it.
#pragma once

#include <cstdint>

namespace cw {

using Millis = std::int64_t;

}  // namespace cw
