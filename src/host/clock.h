// The two clocks of the live programs.
#pragma once

#include <cstdint>

namespace cw {

// The steady clock in nanoseconds: the loop's real time, immune to changes of the wall clock.
std::int64_t steadyNs();
// The wall clock in nanoseconds since 1970, and in microseconds.
std::int64_t wallNs();
std::int64_t wallUs();

}  // namespace cw
