// A world that plays no sound, keeps no file and shows no window: the seams for driving the
// core on its own (tests, benchmarks, recorders).
#pragma once

#include "base/seams.h"

namespace cw {

struct NullPorts : SoundPort, TimeTextPort, KeyFilePort, WindowPort {
  // How long the move sound holds the window; other sounds never hold.
  explicit NullPorts(Millis moveSoundMs = 0) : moveSoundMs(moveSoundMs) {}

  Millis play(std::string_view name, int flags) override {
    return flags == kSoundWait && name == kSoundMove ? moveSoundMs : 0;
  }
  const std::string& localTimeText(Millis) override { return timeText; }
  std::optional<std::string> read() override { return std::nullopt; }
  Status write(std::string_view) override { return {}; }
  void endProgram() override {}
  void showGameWindow(bool, bool) override {}
  void showDialog(bool) override {}

  Millis moveSoundMs;
  std::string timeText = "12:00:00";
};

}  // namespace cw
