// Plays a recording (crateworks --record) back in the live window, in real time: the recorded
// inputs at their core times instead of the player's, with the recording's seed, holds, key
// file and clock texts, and at the end the live values compared with the recorded ones.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/key_file_in_memory.h"
#include "base/result.h"
#include "base/seams.h"
#include "base/sound_names.h"
#include "core/scenario/script.h"
#include "core/shell/device.h"

namespace cw {

// The clock's texts as the recording says the core read them, by core time.
class RecordedClock final : public TimeTextPort {
 public:
  explicit RecordedClock(const TimeTexts& texts) : texts_(texts) {}
  const std::string& localTimeText(Millis at) override { return texts_.at(at); }

 private:
  const TimeTexts& texts_;
};

class Playback {
 public:
  // Reads and checks the recording `text`, called `name` in messages. Takes what the recorder
  // writes (and print and trace lines, which it passes over); refuses what only the replay can
  // play (`time`, `draw`, settings after the first input), naming the line.
  static Result<std::unique_ptr<Playback>> parse(const std::string& text, const std::string& name);
  // A recording of another version may play differently, which the end then tells: what to say
  // of that before it plays, or nothing.
  std::string versionNote() const;

  std::uint64_t seed() const { return seed_; }
  const ToldHolds& holds() const { return holds_; }
  KeyFilePort& keyFile() { return keys_; }
  TimeTextPort& clock() { return clock_; }

  // The next input for the live loop, once the one before has been handled and the core
  // stands where the replay would (`device`): the core time to run to exactly, and the
  // command to do then (an index for act). Nothing once the recording is at its end. Compares
  // the expect lines it passes with `device`.
  struct Step {
    Millis runTo = 0;
    std::size_t index = 0;
  };
  std::optional<Step> next(const Device& device);
  // Does the command on the device, as the replay does.
  void act(std::size_t index, Device& device);
  // Whether the command presses a key or a button (which may play a sound).
  bool presses(std::size_t index) const;

  // How many values were compared, and each that differed ("line N: recorded 'Score 3', shown
  // 'Score 2'").
  int compared() const { return compared_; }
  // Why the end differs, in a few words for a person (the version too, when another made it).
  std::string verdict() const;

 private:
  Playback() : clock_(texts_) {}
  Status take(const Command& c, int line, bool& begun);
  void setKeys(const cmd::KeyFile& k);

  std::string path_;
  std::optional<std::string> version_;
  std::uint64_t seed_ = 1;
  ToldHolds holds_;
  KeyFileInMemory keys_;  // the key file it started with: the player's is never touched
  TimeTexts texts_;
  RecordedClock clock_;
  std::vector<Command> script_;
  std::vector<int> lines_;
  std::size_t cursor_ = 0;
  Millis runTo_ = 0;  // where the last wait ran the core to
  int compared_ = 0;
  std::vector<std::string> differences_;
};

}  // namespace cw
