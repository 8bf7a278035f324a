#include "core/shell/scheduler.h"

namespace cw {
namespace {

constexpr std::array<TimerInfo, kTimerCount> kTimers{{
    {"TimeEngine", 750, true},
    {"TimeCassa1", 500, true},
    {"TimeCassa2", 500, true},
    {"TimeCassa3", 500, true},
    {"TimeCassa4", 500, true},
    {"TimeCassa5", 500, true},
    {"TimeCassa6", 500, true},
    {"TimeAllineaCasse", 250, false},
    {"TimeScenetta", 500, false},
    {"Scarico", 250, true},
    {"toglimano", 250, false},
    {"TimeSgridaBepo", 500, false},
    {"TimeSgridaNando", 500, false},
    {"TimePoint", 25, false},
    {"TimeOra", 2, true},
}};

}  // namespace

const TimerInfo& timerInfo(TimerId t) {
  return kTimers[static_cast<int>(t)];
}

Scheduler::Scheduler() {
  for (int i = 0; i < kTimerCount; ++i) {
    if (kTimers[i].enabledAtLoad) {
      timers_[i].enabled = true;
      timers_[i].due = kTimers[i].intervalMs;
    }
  }
}

void Scheduler::enable(TimerId t) {
  Timer& tm = timers_[idx(t)];
  if (tm.enabled) return;
  tm.enabled = true;
  tm.due = now_ + kTimers[idx(t)].intervalMs;
}

void Scheduler::disable(TimerId t) {
  timers_[idx(t)].enabled = false;
}

Millis Scheduler::earliestDue() const {
  Millis best = -1;
  for (const Timer& tm : timers_) {
    if (tm.enabled && (best < 0 || tm.due < best)) best = tm.due;
  }
  return best;
}

bool Scheduler::popDue(Millis until, TimerId& out, bool* afterHold) {
  int pick = -1;
  for (int i = 0; i < kTimerCount; ++i) {
    // Strictly earlier wins; ties keep the table order.
    if (timers_[i].enabled && (pick < 0 || timers_[i].due < timers_[pick].due)) pick = i;
  }
  if (pick < 0) return false;
  Timer& tm = timers_[pick];
  const Millis period = kTimers[pick].intervalMs;
  const bool late = tm.due < now_;
  if (late) {
    // Late because of a hold: one tick now stands for all the missed ones, and the next one
    // falls on the timer's own grid after the present moment.
    tm.due += ((now_ - tm.due) / period + 1) * period;
  } else {
    if (tm.due > until) return false;
    now_ = tm.due;
    tm.due += period;
  }
  if (afterHold) *afterHold = late;
  out = static_cast<TimerId>(pick);
  return true;
}

}  // namespace cw
