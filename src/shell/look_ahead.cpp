#include "shell/look_ahead.h"

namespace cw {
namespace {

// The seams of the copy: a sound is noted and holds nothing (the run stops at it anyway), and
// what only input reaches answers with nothing.
struct Recorder final : SoundPort, KeyFileStore, WindowPort {
  Millis play(std::string_view, int) override {
    played = true;
    return 0;
  }
  std::optional<std::string> read() override { return std::nullopt; }
  Status write(std::string_view) override { return {}; }
  void endProgram() override {}
  void showGameWindow(bool, bool) override {}
  void showDialog(bool) override {}
  bool played = false;
};

}  // namespace

Ahead lookAhead(const GameWindow& live, RandomPort& random, TimeTextPort& timeText, Millis until) {
  Recorder recorder;
  GameWindow copy(Seams{recorder, timeText, random, recorder, recorder});
  copy.copyValuesFrom(live);
  Ahead ahead;
  TimerId id;
  while (copy.scheduler().popDue(until, id)) {
    const Millis due = copy.scheduler().now();
    const std::uint64_t version = copy.display().version();
    copy.runTimer(id);
    ++ahead.ticks;
    if (recorder.played || copy.display().version() != version) {
      ahead.due = due;
      ahead.sound = recorder.played;
      return ahead;
    }
  }
  return ahead;
}

}  // namespace cw
