// The narrow seams through which the core reaches the world. Both front ends implement them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "shell/scheduler.h"

namespace cw {

// Sound flags as the game uses them.
inline constexpr int kSoundWait = 2;   // play to the end, holding the window meanwhile
inline constexpr int kSoundAsync = 3;  // start at once, cutting off what still plays

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
  // The local time of day as text in the user's own time format ("14:05:09", "2:05:09 PM").
  virtual const std::string& localTimeText() = 0;
};

class RandomPort {
 public:
  virtual ~RandomPort() = default;
  virtual double draw() = 0;  // uniform in [0, 1)
};

class KeyFileStore {
 public:
  virtual ~KeyFileStore() = default;
  // The whole key file, or nothing when it is missing or cannot be read.
  virtual std::optional<std::string> read() = 0;
  // Replaces the key file whole; returns an empty text on success, else why it failed.
  virtual std::string write(std::string_view content) = 0;
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
  KeyFileStore& keyFile;
  WindowPort& window;
};

}  // namespace cw
