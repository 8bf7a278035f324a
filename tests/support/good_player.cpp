#include "support/good_player.h"

#include "support/autoplayer.h"

namespace cw {

Millis GoodPlayer::turn() {
  for (int hand = 0; hand < 2; ++hand) {
    const std::optional<int> key = autoplayerKey(device_.state());
    if (!key) break;
    if (pressed_) pressed_(*key);
    device_.keyDown(*key);
  }
  const Millis before = device_.now();
  device_.runUntil(before + kDecisionMs);
  return device_.now() - before;
}

}  // namespace cw
