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
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/result.h"
#include "base/seams.h"
#include "core/keyremap/key_file.h"
#include "core/scenario/script.h"
#include "core/shell/device.h"

namespace cw {

// Where a recording goes as it is made: a file, or a page's download.
class RecordingSink {
 public:
  virtual ~RecordingSink() = default;
  // What the recording is called in messages (a file's path).
  virtual const std::string& name() const = 0;
  // Appends `text` whole, or fails saying why.
  virtual Status write(std::string_view text) = 0;
  // Makes what was written last (it is the end).
  virtual Status sync() = 0;
};

class Recorder final : public InputObserver {
 public:
  // How often what was recorded reaches the sink, at least: a crash loses no more.
  static constexpr std::int64_t kFlushEveryNs = 1'000'000'000;

  explicit Recorder(RecordingSink& sink) : sink_(sink) {}
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  struct Setting {
    std::uint64_t seed = 0;
    std::vector<std::pair<std::string, Millis>> holds;  // each sound's hold, as the game names it
  };
  // The header, just before `device` starts; `keyFile` is the one the device reads and writes.
  void begin(const Device& device, KeyFilePort& keyFile, const Setting& setting,
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
  // up to where the live loop ran the core (`target`, as for reached()). The first write that
  // fails says why; the game goes on, and the recording stops growing.
  std::int64_t writeDueNs() const { return lastWriteNs_ + kFlushEveryNs; }
  Status writeIfDue(std::int64_t nowNs, Millis target);
  // The wait up to `target` (as for reached()), the final values (from the device and its key
  // file) and the last write. Fails, saying why, when the sink could not take all of it.
  Status finish(Millis target);
  // What is not yet written and what finish() would add, were the live loop to end with the
  // core run up to `target`: with what the sink holds, a whole recording of the game so far,
  // taken while it goes on (a page's download). Changes nothing.
  std::string ending(Millis target) const;

 private:
  // The wait that brings the replay to `target`, when one is needed.
  std::optional<cmd::Wait> waitTo(Millis target) const;
  void put(const Command& c);
  void put(const std::string& line);
  void mark();  // the replay stands where the live core does
  Status write();

  RecordingSink& sink_;
  std::string buffer_;  // lines not yet written
  const Device* device_ = nullptr;
  KeyFilePort* keyFile_ = nullptr;
  std::optional<KeySet> closing_;  // the keys of a dialog being closed
  // The input being handled, written once it has been.
  std::optional<Command> heldInput_;
  // Where the replay stands after the last line, and the ticks the live core had run then.
  Millis replayNow_ = 0;
  std::uint64_t ticksThen_ = 0;
  std::optional<std::string> lastText_;
  std::int64_t lastWriteNs_ = 0;
  Status broken_;  // why the first write failed; nothing more is written after it
  Status untold_;  // the header's write that failed, to be told with the game under way
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
