#include "platform/pacer.h"

#include <algorithm>

namespace cw {

void Pacer::advance(Millis realNow) {
  if (device_.ended()) {
    queue_.clear();
    return;
  }
  if (holding(realNow)) return;
  if (realNow - device_.now() > kStallMs) {
    // Like a hold of the stall's length: each timer that fell due ticks once, not once per
    // missed period, and the input that piled up comes after.
    device_.stall(realNow - device_.now());
  }
  while (!queue_.empty()) {
    const Pending& next = queue_.front();
    // Input that arrived during a hold is handled when the hold ends.
    device_.runUntil(std::max(next.at, device_.now()));
    if (device_.ended()) break;
    if (holding(realNow)) return;  // a tick held: the input comes after it
    const SDL_Event event = next.event;
    queue_.pop_front();
    deliver_(event);
    if (device_.ended()) break;
    if (holding(realNow)) return;
  }
  if (device_.ended()) {
    queue_.clear();
    return;
  }
  device_.runUntil(realNow);
}

Millis Pacer::sleepMs(Millis realNow) const {
  if (device_.ended()) return 0;
  if (holding(realNow)) return device_.now() - realNow;
  if (!queue_.empty()) return 0;
  const Millis due = device_.nextDue();
  if (due < 0) return kIdleMs;
  return std::clamp<Millis>(due + kSlackMs - realNow, 0, kIdleMs);
}

}  // namespace cw
