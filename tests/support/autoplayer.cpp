#include "support/autoplayer.h"

#include "core/shell/line_geometry.h"

namespace cw {
namespace {

constexpr int kNever = 1000;  // ticks until a crate that has passed a step is tested there

// Ticks until the crate at `pos` is tested at hand-over step `h` (the test falls one tick after
// the crate arrives there).
int ticksUntil(int pos, int h) {
  return pos <= h ? h - pos + 1 : kNever;
}

std::optional<int> steer(const GameState& s, int pose, const std::array<int, 3>& handovers, int up,
                         int down) {
  const std::optional<int> level = levelOf(pose);
  if (!level) return std::nullopt;  // not his to move
  const std::optional<int> want = wantedLevel(s, handovers);
  if (!want || *want == *level) return std::nullopt;
  return *want > *level ? up : down;
}

}  // namespace

std::optional<int> levelOf(int pose) {
  if (pose < kBottomLevel || pose > kTopLevel + 1) return std::nullopt;
  return isLifted(pose) ? pose - 1 : pose;
}

std::optional<int> wantedLevel(const GameState& s, const std::array<int, 3>& handovers) {
  int best = kNever;
  std::optional<int> level;
  for (int k = 1; k <= 6; ++k) {
    if (s.CrateActive[k] != 1) continue;
    for (std::size_t l = 0; l < handovers.size(); ++l) {
      const int t = ticksUntil(s.CratePos[k], handovers[l]);
      if (t < best) {
        best = t;
        level = kHandoverLevels[l];
      }
    }
  }
  return level;
}

std::optional<int> autoplayerKey(const GameState& s) {
  if (s.GameRunning != 1 || s.MovesLocked != 0) return std::nullopt;
  if (auto k = steer(s, s.NandoPose, kNandoHandovers, s.KeyNandoUp, s.KeyNandoDown)) return k;
  return steer(s, s.BepoPose, kBepoHandovers, s.KeyBepoUp, s.KeyBepoDown);
}

}  // namespace cw
