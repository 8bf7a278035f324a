#include "live/pacer.h"

#include <algorithm>

namespace cw {

void Pacer::advance(Millis realNow) {
  if (frozen_) return;
  if (device_.ended()) {
    queue_.clear();
    return;
  }
  if (holding(realNow)) return;
  const Millis planned = plannedWake_;
  plannedWake_ = -1;
  if (stalls && planned >= 0 && realNow - planned > kStallMs) {
    // Everything up to when the loop meant to wake runs as usual; the time it missed is like a
    // hold of that length: each timer that fell due ticks once, not once per missed period, and
    // the input that piled up comes after.
    runTo(planned, planned);
    if (device_.ended() || holding(planned)) return;
    if (onStall) onStall(target_, realNow - device_.now());
    device_.stall(realNow - device_.now());
  }
  runTo(realNow, realNow);
}

void Pacer::runTo(Millis t, Millis realNow) {
  while (!queue_.empty() && queue_.front().at <= t) {
    const Pending& next = queue_.front();
    // Input that arrived during a hold is handled when the hold ends.
    runUntil(next.exact ? next.at : std::max(next.at, device_.now()));
    if (device_.ended()) break;
    if (holding(realNow)) return;  // a tick held: the input comes after it
    const LiveInput input = next.input;
    queue_.pop_front();
    fresh_ = false;  // the input may change what the ticks ahead show
    deliver_(input);
    if (frozen_) return;  // it paused the device: nothing more runs
    if (device_.ended()) break;
    if (holding(realNow)) return;
  }
  if (device_.ended()) {
    queue_.clear();
    return;
  }
  runUntil(t);
}

std::vector<LiveInput> Pacer::freeze() {
  frozen_ = true;
  std::vector<LiveInput> rest;
  for (const Pending& p : queue_) rest.push_back(p.input);
  queue_.clear();
  return rest;
}

void Pacer::thaw() {
  frozen_ = false;
  // The wake-up planned before the pause is no measure of a stall.
  plannedWake_ = -1;
}

const Ahead& Pacer::ahead() {
  const Millis now = device_.now();
  const bool stands = fresh_ && device_.display().version() == aheadVersion_ &&
                      now < (ahead_.due >= 0 ? ahead_.due : aheadUntil_);
  if (!stands) {
    aheadUntil_ = now + kHorizonMs;
    ahead_ = lookAhead_(aheadUntil_);
    aheadVersion_ = device_.display().version();
    fresh_ = true;
  }
  return ahead_;
}

Millis Pacer::wakeAt(Millis realNow) {
  plannedWake_ = nextWake(realNow);
  return plannedWake_;
}

Millis Pacer::nextWake(Millis realNow) {
  soundAt_ = -1;
  if (device_.ended()) return realNow;
  if (holding(realNow)) return device_.now();  // input that came meanwhile waits for its end
  if (inputDue(realNow)) return realNow;
  const Ahead& a = ahead();
  if (a.sound) soundAt_ = a.due;
  Millis at =
      std::min(a.due >= 0 ? a.due : aheadUntil_, std::max(realNow, device_.now()) + kCatchUpMs);
  // A recording's next input, at its time.
  if (!queue_.empty()) at = std::min(at, queue_.front().at);
  return std::max(at, realNow);
}

}  // namespace cw
