// Paces the core in the live window: runs the ticks as they fall due and the input in the order
// it arrived, as the replay does, and holds input back while a sound holds the window.
#pragma once

#include <SDL_events.h>

#include <deque>
#include <functional>

#include "shell/device.h"

namespace cw {

class Pacer {
 public:
  // A tick may run this late, so the loop need not wake for every 2 ms tick: the clock's ticks
  // due at 2, 4, 6 and 8 ms run together at 8, so it wakes 125 times a second. One more
  // millisecond would not wake it less often (the next batch is due 8 ms later all the same),
  // and with the wait's own lateness a tick still runs well within 8 ms of its time.
  static constexpr Millis kSlackMs = 6;
  // A loop that was stopped longer than this (a suspended machine) starts afresh from the
  // present instead of catching up.
  static constexpr Millis kStallMs = 1000;
  // How long to sleep when no timer is due at all.
  static constexpr Millis kIdleMs = 250;

  // `deliver` hands one input event to the core; it is called with the core's clock at the
  // moment the event is handled.
  using Deliver = std::function<void(const SDL_Event&)>;
  Pacer(Device& device, Deliver deliver) : device_(device), deliver_(std::move(deliver)) {}

  // An input event that arrived at core time `at`.
  void arrive(Millis at, const SDL_Event& event) { queue_.push_back({at, event}); }

  // Brings the core up to the real time `realNow`: every tick due up to each input's arrival,
  // then that input, and so on; then every tick due up to `realNow`. Stops at a hold: the rest
  // of the input waits until the real clock has caught up with the core's.
  void advance(Millis realNow);

  // True while a hold keeps the core's clock ahead of the real one: the screen must keep the
  // picture it showed before, and input waits.
  bool holding(Millis realNow) const { return device_.now() > realNow; }

  // How long the loop may wait for events from `realNow` before the core needs it again.
  Millis sleepMs(Millis realNow) const;

  std::size_t queued() const { return queue_.size(); }

 private:
  struct Pending {
    Millis at;
    SDL_Event event;
  };
  Device& device_;
  Deliver deliver_;
  std::deque<Pending> queue_;
};

}  // namespace cw
