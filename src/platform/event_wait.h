// The live loop's clock.
#pragma once

#include <cstdint>

namespace cw {

// The steady clock in nanoseconds: the loop's real time, immune to changes of the wall clock.
std::int64_t steadyNs();

}  // namespace cw
