// What the benchmark measures inside the live loop: how late each timer tick runs, how long a
// key takes to reach the screen, when the first frame was presented and how often the loop
// wakes. Off unless the environment variable CRATEWORKS_TIMING_LOG names a file; everything is
// kept in memory and written there when the program ends, so that measuring costs the loop no
// disk access.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "base/result.h"
#include "shell/device.h"

namespace cw {

class TimingLog final : public TickObserver {
 public:
  // The log the environment asks for, or null.
  static std::unique_ptr<TimingLog> fromEnvironment();
  using Clock = std::int64_t (*)();  // nanoseconds, steady
  explicit TimingLog(std::string path, Clock clock = nullptr);
  TimingLog(const TimingLog&) = delete;
  TimingLog& operator=(const TimingLog&) = delete;
  ~TimingLog() override;  // writes the file

  // Core time 0 is at `ns` on the steady clock.
  void setOrigin(std::int64_t ns) { originNs_ = ns; }
  void tickStarts(TimerId timer, Millis due, bool afterHold) override;

  // Stamps each key event as it enters SDL's queue (an SDL event watch, `self` is the log).
  static int watch(void* self, SDL_Event* event);
  // The key event that arrived first and is not yet handled has been handled. `changed`: the
  // display changed meanwhile; `version` is its version after the handler and the ticks it set
  // off, which ended at core time `settledAt` (later than the arrival by the holds they made).
  void keyHandled(bool changed, std::uint64_t version, Millis settledAt);
  // The screen has taken the display at `version`, and presented a frame if `presented` (it
  // presents none when the picture did not change); drawing it began at `drawStartNs`.
  void screen(std::uint64_t version, bool presented, std::int64_t drawStartNs = 0);
  void wake() { ++wakes_; }

  // Written as lines "tick US DUE TIMER" (how late each tick ran, when it was due in core
  // milliseconds, and whose it was; ticks after a hold left out),
  // "input US" (key arrival to present, less the holds), "frame US" (drawing and presenting
  // one frame), "first_present_unix_us", "wakes", "elapsed_ms".
  Status write() const;

  struct Tick {
    std::int64_t lateUs;
    Millis due;
    TimerId timer;
  };
  const std::vector<Tick>& ticks() const { return ticks_; }
  const std::vector<std::int64_t>& inputUs() const { return inputUs_; }

 private:
  struct Pending {
    std::int64_t arrivalNs;
    std::int64_t settledNs;  // when the game lets its effect show, after its holds
    std::uint64_t version;
  };
  std::string path_;
  Clock clock_;
  std::int64_t originNs_ = 0;
  std::int64_t firstPresentUnixUs_ = -1;
  std::uint64_t wakes_ = 0;
  std::deque<std::int64_t> arrivals_;
  std::deque<Pending> pending_;
  std::vector<Tick> ticks_;
  std::vector<std::int64_t> inputUs_;
  std::vector<std::int64_t> frameUs_;
};

}  // namespace cw
