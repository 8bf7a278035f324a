// Paces the core in the live window: runs the ticks and the input in the order the replay
// would, holds input back while a sound holds the window, and tells the loop when it must next
// wake: when a person would see or hear something, not at every tick.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

#include "core/shell/device.h"
#include "core/shell/look_ahead.h"
#include "live/live_input.h"

namespace cw {

class Pacer {
 public:
  // A loop that woke more than this after it meant to (a stopped process, a starved machine)
  // treats the time it missed as a stall: each timer that fell due meanwhile ticks once.
  static constexpr Millis kStallMs = 1000;
  // How far ahead the loop looks for a tick that changes the picture or plays a sound. While the
  // clock shows the time, one does once a minute.
  static constexpr Millis kHorizonMs = 60'000;
  // The most time of ticks a wake-up leaves to run later: ticks are run lazily, but not so many
  // at once that a key pressed after a long sleep, or the next visible tick, waits on them
  // (5 s of the clock's ticks take a fraction of a millisecond).
  static constexpr Millis kCatchUpMs = 5'000;

  // `deliver` hands one input to the core; it is called with the core's clock at the moment
  // the input is handled. `lookAhead` runs a copy of the core up to a core time and
  // says when a tick first changes the picture or plays a sound (shell/look_ahead.h).
  using Deliver = std::function<void(const LiveInput&)>;
  using LookAhead = std::function<Ahead(Millis until)>;
  Pacer(Device& device, Deliver deliver, LookAhead lookAhead)
      : device_(device), deliver_(std::move(deliver)), lookAhead_(std::move(lookAhead)) {}

  // An input that arrived at core time `at`: every tick due up to then runs first, and,
  // after a hold, those due at the time it ended. A recording's input (`exact`) runs the core to
  // `at` and no further, as the replay does.
  void arrive(Millis at, const LiveInput& input, bool exact = false) {
    queue_.push_back({at, input, exact});
  }

  // Brings the core up to the real time `realNow`: every tick due up to each input's arrival,
  // then that input, and so on; then every tick due up to `realNow`. Stops at a hold: the rest
  // of the input waits until the real clock has caught up with the core's.
  void advance(Millis realNow);

  // True while a hold keeps the core's clock ahead of the real one: the screen must keep the
  // picture it showed before, and input waits.
  bool holding(Millis realNow) const { return device_.now() > realNow; }

  // When the loop must wake next, in core time, from `realNow`: at once for queued input, at
  // the end of a hold, else at the next tick that changes the picture or plays a sound, but
  // never more than kCatchUpMs on.
  Millis wakeAt(Millis realNow);
  // The next tick that changes the picture or plays a sound, as last looked ahead.
  const Ahead& ahead();
  // What the ticks will show changed from outside the core (the wall clock was set): look
  // ahead afresh.
  void forget() { fresh_ = false; }

  // When the tick the last wakeAt woke for plays a sound, or -1 when it does not or it woke
  // for something else (a hold's end, input).
  Millis soundAt() const { return soundAt_; }

  // Paused: the core stands where it is, no tick runs, until thawed. The input queued behind
  // the pause is handed over (it arrived while the device was paused).
  std::vector<LiveInput> freeze();
  // Time runs on from where the core stands, as if the pause had not been: no late ticks.
  void thaw();
  bool frozen() const { return frozen_; }

  std::size_t queued() const { return queue_.size(); }
  // Input is waiting to be handled now (a recording's next input may wait for its time).
  bool inputDue(Millis realNow) const { return !queue_.empty() && queue_.front().at <= realNow; }
  // The core time the pacer last ran the core up to (what a recording's `wait` reaches).
  Millis target() const { return target_; }

  // Told before the loop treats the time it missed as a stall, with the time it ran the core
  // to first and the stall's length.
  std::function<void(Millis target, Millis ms)> onStall;
  // False while a recording plays: its own stalls are its inputs, and a slow loop only runs late.
  bool stalls = true;

 private:
  struct Pending {
    Millis at;
    LiveInput input;
    bool exact;
  };
  void runTo(Millis t, Millis realNow);
  Millis nextWake(Millis realNow);
  void runUntil(Millis t) {
    target_ = t;
    device_.runUntil(t);
  }

  Device& device_;
  Deliver deliver_;
  LookAhead lookAhead_;
  std::deque<Pending> queue_;
  // The last look ahead, and what it was taken from: it stands while only the ticks it ran
  // through have run since.
  Ahead ahead_;
  bool fresh_ = false;
  Millis aheadUntil_ = 0;
  std::uint64_t aheadVersion_ = 0;
  Millis soundAt_ = -1;
  Millis plannedWake_ = -1;
  Millis target_ = 0;
  bool frozen_ = false;
};

}  // namespace cw
