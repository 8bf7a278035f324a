// What the benchmark measures inside the live loop: how late each change a person can see or
// hear comes after the tick that made it was due, how long a key takes to reach the screen,
// when the first frame was presented, how often the loop wakes and what looking ahead costs.
// Everything is kept in memory and written out when the program ends, so that measuring costs
// the loop no disk access.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "core/shell/device.h"

namespace cw {

class TimingLog final : public TickObserver {
 public:
  // `steady` reads the steady clock in nanoseconds, `wallUs` the wall clock in microseconds
  // since 1970.
  using Clock = std::int64_t (*)();
  TimingLog(Clock steady, Clock wallUs);
  TimingLog(const TimingLog&) = delete;
  TimingLog& operator=(const TimingLog&) = delete;

  // Core time 0 is at `ns` on the steady clock; `display` is the picture the ticks change.
  void setOrigin(std::int64_t ns, const Display& display) {
    originNs_ = ns;
    display_ = &display;
  }
  void tickStarts(TimerId timer, Millis due, bool afterHold) override;
  void tickEnds() override;
  // A sound starts playing now.
  void soundStarts();

  // A key event entered the platform's queue just now.
  void keyArrived() { arrivals_.push_back(clock_()); }
  // The key event that arrived first and is not yet handled has been handled. `changed`: the
  // display changed meanwhile; `version` is its version after the handler and the ticks it set
  // off, which ended at core time `settledAt` (later than the arrival by the holds they made).
  void keyHandled(bool changed, std::uint64_t version, Millis settledAt);
  // The screen has taken the display at `version`, and presented a frame if `presented` (it
  // presents none when the picture did not change); drawing it began at `drawStartNs`.
  void screen(std::uint64_t version, bool presented, std::int64_t drawStartNs = 0);
  void wake() { ++wakes_; }
  // The loop looked ahead from core time `from` to `to` through `ticks` ticks, which took `ns`.
  void lookedAhead(int ticks, std::int64_t ns, Millis from, Millis to) {
    aheads_.push_back({ticks, ns, from, to});
  }

  // Written as lines "change US DUE TIMER" (from the due time of a tick that changed the
  // picture to the return of the present that showed it), "sound US DUE TIMER" (to the start
  // of a sound a tick played), "input US" (key arrival to present, less the holds), "frame US"
  // (drawing and presenting one frame), "ahead TICKS NS FROM TO" (one look ahead, from core
  // time FROM to TO), "first_present_unix_us", "wakes", "elapsed_ms".
  std::string text() const;

  struct Change {
    std::int64_t lateUs;
    Millis due;
    TimerId timer;
    bool sound;
  };
  const std::vector<Change>& changes() const { return changes_; }
  const std::vector<std::int64_t>& inputUs() const { return inputUs_; }

 private:
  struct Pending {
    std::int64_t arrivalNs;
    std::int64_t settledNs;  // when the game lets its effect show, after its holds
    std::uint64_t version;
  };
  struct Tick {
    Millis due;
    TimerId timer;
    std::uint64_t version;  // the display's version as it ended
  };
  struct Ahead {
    int ticks;
    std::int64_t ns;
    Millis from;
    Millis to;
  };
  // How late `nowNs` is for a tick due at `due`, in microseconds.
  std::int64_t lateUs(Millis due, std::int64_t nowNs) const {
    return (nowNs - originNs_ - due * 1'000'000) / 1000;
  }

  Clock clock_;
  Clock wallUs_;
  std::int64_t originNs_ = 0;
  const Display* display_ = nullptr;
  std::int64_t firstPresentUnixUs_ = -1;
  std::uint64_t wakes_ = 0;
  std::deque<std::int64_t> arrivals_;
  std::deque<Pending> pending_;
  // The tick under way, and the ticks whose changes are not on screen yet.
  bool inTick_ = false;
  Tick tick_{};
  std::deque<Tick> unshown_;
  std::vector<Change> changes_;
  std::vector<std::int64_t> inputUs_;
  std::vector<std::int64_t> frameUs_;
  std::vector<Ahead> aheads_;
};

}  // namespace cw
