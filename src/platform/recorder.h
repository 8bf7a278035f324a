// Records a live session as a scenario that crateworks-replay plays to the same end: the seed,
// each sound's hold, the key file at start, the clock's texts as the core read them, every
// input at its core time and the final values as `expect` lines.
//
// `wait` lines count on the core's clock from where the replay stands after the line before,
// holds included, and run it to the same time the live loop ran it to before each input, so
// that the replay runs the same ticks in the same order. A text the clock read while an input
// was handled (after its hold) is written before that input's line.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/result.h"
#include "base/seams.h"
#include "core/keyremap/key_file.h"
#include "core/scenario/script.h"
#include "core/shell/device.h"

namespace cw {

class Recorder final : public InputObserver {
 public:
  // How often what was recorded reaches the file, at least: a crash loses no more.
  static constexpr std::int64_t kFlushEveryNs = 1'000'000'000;

  // Opens `path` for a new recording: a file that exists is kept unless `force`.
  static Result<std::unique_ptr<Recorder>> create(const std::string& path, bool force);
  ~Recorder() override;
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  struct Setting {
    std::uint64_t seed = 0;
    std::vector<std::pair<std::string, Millis>> holds;  // each sound's hold, as the game names it
  };
  // The header, just before `device` starts; `keyFile` is the one the device reads and writes.
  void begin(const Device& device, KeyFileStore& keyFile, const Setting& setting,
             std::int64_t nowNs);
  // The clock's text as the core read it at core time `at`.
  void timeRead(Millis at, const std::string& text);
  // The live loop ran the core up to `target` (its last runUntil).
  void reached(Millis target);
  // The loop treats the time it missed as a stall of `ms`, after running up to `target`.
  void stalls(Millis target, Millis ms);

  // InputObserver
  void inputStarts(const DeviceInput& input) override;
  void inputEnds() override;

  // When the next write is due on the steady clock, and the write itself once it is, of all
  // up to where the live loop ran the core (`target`, as for reached()).
  std::int64_t writeDueNs() const { return lastWriteNs_ + kFlushEveryNs; }
  void writeIfDue(std::int64_t nowNs, Millis target);
  // The final values (from the device and its key file) and the last write. Fails, saying why,
  // when the file could not take all of it.
  Status finish();
  // The game never started: the file made for the recording goes.
  void discard();

 private:
  Recorder(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  void put(const Command& c);
  void put(const std::string& line);
  void mark();  // the replay stands where the live core does
  void write();

  int fd_;
  std::string path_;
  std::string buffer_;  // lines not yet written
  const Device* device_ = nullptr;
  KeyFileStore* keyFile_ = nullptr;
  std::optional<KeySet> closing_;  // the keys of a dialog being closed
  // The input being handled, written once it has been.
  std::optional<Command> heldInput_;
  // Where the replay stands after the last line, and the ticks the live core had run then.
  Millis replayNow_ = 0;
  std::uint64_t ticksThen_ = 0;
  std::optional<std::string> lastText_;
  std::int64_t lastWriteNs_ = 0;
  std::string failed_;  // why a write failed
};

// The clock text the device reads, from `source` (the wall clock's, or a recording's), told to
// the recorder when there is one.
class RecordedTimeText final : public TimeTextPort {
 public:
  RecordedTimeText(TimeTextPort& source, Recorder* recorder)
      : source_(source), recorder_(recorder) {}
  const std::string& localTimeText(Millis at) override {
    const std::string& text = source_.localTimeText(at);
    if (recorder_) recorder_->timeRead(at, text);
    return text;
  }
  TimeTextPort& source() { return source_; }

 private:
  TimeTextPort& source_;
  Recorder* recorder_;
};

}  // namespace cw
