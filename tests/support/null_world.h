// The one stand-in world for driving the core without a front end: it plays no sound (but can
// say that the move sound holds the window), keeps no key file, shows no window, and draws
// from a generator seeded once. A test that needs a real key file hands its own store to
// seams().
#pragma once

#include <cstdint>

#include "base/null_ports.h"
#include "base/seeded_random.h"

namespace cw {

struct NullWorld : NullPorts {
  explicit NullWorld(std::uint64_t seed = 1, Millis moveSoundMs = 0)
      : NullPorts(moveSoundMs), random(seed) {}

  Seams seams() { return seams(*this); }
  Seams seams(KeyFilePort& keyFile) { return Seams{*this, *this, random, keyFile, *this}; }

  SeededRandom random;
};

}  // namespace cw
