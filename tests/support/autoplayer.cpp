#include "support/autoplayer.h"

#include <array>

namespace cw {
namespace {

// Ticks until the crate at `pos` is tested at hand-over step `h` (the test falls one tick after
// the crate arrives there); a large number once it has passed.
int ticksUntil(int pos, int h) {
  return pos <= h ? h - pos + 1 : 1000;
}

// The level (1..3) the worker must stand at for the crate tested soonest at his steps.
std::optional<int> wantedLevel(const GameState& s, const std::array<int, 3>& steps) {
  int best = 1000;
  std::optional<int> level;
  for (int k = 1; k <= 6; ++k) {
    if (s.CrateActive[k] != 1) continue;
    for (int l = 0; l < 3; ++l) {
      int t = ticksUntil(s.CratePos[k], steps[l]);
      if (t < best) {
        best = t;
        level = l + 1;
      }
    }
  }
  return level;
}

std::optional<int> steer(const GameState& s, int pose, const std::array<int, 3>& steps, int up,
                         int down) {
  if (pose < 1 || pose > 6) return std::nullopt;  // resting or scolded: not his to move
  const int level = (pose + 1) / 2;
  auto want = wantedLevel(s, steps);
  if (!want || *want == level) return std::nullopt;
  return *want > level ? up : down;
}

}  // namespace

std::optional<int> autoplayerKey(const GameState& s) {
  if (s.GameRunning != 1 || s.MovesLocked != 0) return std::nullopt;
  if (auto k = steer(s, s.NandoPose, {12, 30, 48}, s.KeyNandoUp, s.KeyNandoDown)) return k;
  return steer(s, s.BepoPose, {3, 21, 39}, s.KeyBepoUp, s.KeyBepoDown);
}

}  // namespace cw
