// The narrow seams through which the core reaches the world. Both front ends implement them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/millis.h"
#include "base/result.h"
#include "base/sound_names.h"

namespace cw {

class SoundPort {
 public:
  virtual ~SoundPort() = default;
  // Plays a sound named as the game names it ("audio\move.wav"). Returns how long a play with
  // kSoundWait holds the window; 0 for a missing or unplayable file and for kSoundAsync.
  virtual Millis play(std::string_view name, int flags) = 0;
};

class TimeTextPort {
 public:
  virtual ~TimeTextPort() = default;
  // The local time of day as text in the user's own time format ("14:05:09", "2:05:09 PM"), at
  // core time `at`: the time the reading tick fell due, however late it runs. A port may ignore
  // `at` (the replay's text is set by its script); the live one maps it onto the wall clock.
  virtual const std::string& localTimeText(Millis at) = 0;
};

class RandomPort {
 public:
  virtual ~RandomPort() = default;
  virtual double draw() = 0;  // uniform in [0, 1)
};

class KeyFilePort {
 public:
  virtual ~KeyFilePort() = default;
  // The whole key file, or nothing when it is missing or cannot be read.
  virtual std::optional<std::string> read() = 0;
  // Replaces the key file whole.
  virtual Status write(std::string_view content) = 0;
};

class WindowPort {
 public:
  virtual ~WindowPort() = default;
  virtual void endProgram() = 0;
  virtual void showGameWindow(bool shown, bool enabled) = 0;
  virtual void showDialog(bool open) = 0;
};

struct Seams {
  SoundPort& sound;
  TimeTextPort& timeText;
  RandomPort& random;
  KeyFilePort& keyFile;
  WindowPort& window;
};

}  // namespace cw
