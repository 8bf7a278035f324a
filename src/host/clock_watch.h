// Tells when someone sets the wall clock (or the machine wakes from a suspend, which moves it
// against the steady clock), so that a loop that sleeps until the clock's next visible change
// can wake and look again. One file per operating system: where it cannot tell, it never does.
#pragma once

#include "host/wake_source.h"

namespace cw {

class WallClockWatch final : public WakeSource {
 public:
  WallClockWatch();
  ~WallClockWatch() override;
  WallClockWatch(const WallClockWatch&) = delete;
  WallClockWatch& operator=(const WallClockWatch&) = delete;
  // True when the clock was set since the last call; arms the watch again.
  bool changed();

  // WakeSource: readable once the clock was set.
  void wakeFds(std::vector<int>& fds) const override;
  void woken(int, short) override {}

 private:
  void arm();
  int fd_ = -1;  // -1 when the system cannot tell
};

}  // namespace cw
