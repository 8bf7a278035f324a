// The random draws of the crate generator: one generator, seeded once.
#pragma once

#include <cstdint>
#include <random>

#include "base/seams.h"

namespace cw {

class SeededRandom : public RandomPort {
 public:
  explicit SeededRandom(std::uint64_t seed) : engine_(seed) {}
  // 53 random bits scaled into [0, 1): the same numbers on every platform for a seed.
  double draw() override { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

 private:
  std::mt19937_64 engine_;
};

}  // namespace cw
