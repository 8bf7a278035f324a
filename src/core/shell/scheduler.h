// The fifteen periodic timers of the game window and the virtual clock that drives them.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "base/millis.h"

namespace cw {

// In table order: ticks due at the same instant run in this order.
enum class TimerId : std::uint8_t {
  TimeEngine,
  TimeCassa1,
  TimeCassa2,
  TimeCassa3,
  TimeCassa4,
  TimeCassa5,
  TimeCassa6,
  TimeAllineaCasse,
  TimeScenetta,
  Scarico,
  toglimano,
  TimeSgridaBepo,
  TimeSgridaNando,
  TimePoint,
  TimeOra,
};
inline constexpr int kTimerCount = 15;

struct TimerInfo {
  std::string_view name;
  int intervalMs;
  bool enabledAtLoad;
};
const TimerInfo& timerInfo(TimerId t);

// Semantics shared by the live window and the replay:
// - an enabled timer ticks every interval; one switched on from off ticks one interval later;
// - switching on a timer that is on does not restart its period; switching off drops its tick;
// - ticks due at the same instant run in table order;
// - a hold (a sound played with waiting) moves the clock on while the handler runs; afterwards
//   every timer that fell due ticks once however many periods passed, in the order of the first
//   due time it missed, and keeps its own period grid.
class Scheduler {
 public:
  Scheduler();

  Millis now() const { return now_; }
  void enable(TimerId t);
  void disable(TimerId t);
  bool enabled(TimerId t) const { return timers_[idx(t)].enabled; }
  Millis nextDue(TimerId t) const { return timers_[idx(t)].due; }

  // Moves the clock on by a hold inside the running handler.
  void hold(Millis ms) { now_ += ms; }

  // The next tick to run at or before `until`: sets the clock to its time and returns true.
  // Ticks that a hold made late run at the current time (coalesced) before any tick due then;
  // `afterHold`, when given, tells which kind this one is.
  bool popDue(Millis until, TimerId& out, bool* afterHold = nullptr);
  // The earliest time any enabled timer is due, or -1 when none is enabled.
  Millis earliestDue() const;
  // Lets time pass with nothing due before `t` handled (used to go idle up to an input).
  void advanceTo(Millis t) {
    if (t > now_) now_ = t;
  }

 private:
  struct Timer {
    bool enabled = false;
    Millis due = 0;
  };
  static int idx(TimerId t) { return static_cast<int>(t); }
  std::array<Timer, kTimerCount> timers_{};
  Millis now_ = 0;
};

}  // namespace cw
