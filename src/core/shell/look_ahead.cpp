#include "core/shell/look_ahead.h"

#include "base/null_ports.h"

namespace cw {
namespace {

// The seams of the copy: a sound is noted and holds nothing (the run stops at it anyway), and
// what only input reaches answers with nothing.
struct Noting final : NullPorts {
  Millis play(std::string_view, int) override {
    played = true;
    return 0;
  }
  bool played = false;
};

}  // namespace

Ahead lookAhead(const GameWindow& live, RandomPort& random, TimeTextPort& timeText, Millis until) {
  Noting noting;
  GameWindow copy(Seams{noting, timeText, random, noting, noting});
  copy.copyValuesFrom(live);
  Ahead ahead;
  TimerId id;
  while (copy.scheduler().popDue(until, id)) {
    const Millis due = copy.scheduler().now();
    const std::uint64_t version = copy.display().version();
    copy.runTimer(id);
    ++ahead.ticks;
    if (noting.played || copy.display().version() != version) {
      ahead.due = due;
      ahead.sound = noting.played;
      return ahead;
    }
  }
  return ahead;
}

}  // namespace cw
