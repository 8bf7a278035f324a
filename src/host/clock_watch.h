// Tells when someone sets the wall clock (or the machine wakes from a suspend, which moves it
// against the steady clock), so that a loop that sleeps until the clock's next visible change
// can wake and look again. One file per operating system: where it cannot tell, it never does.
#pragma once

#include <vector>

namespace cw {

class WallClockWatch final {
 public:
  WallClockWatch();
  ~WallClockWatch();
  WallClockWatch(const WallClockWatch&) = delete;
  WallClockWatch& operator=(const WallClockWatch&) = delete;
  // True when the clock was set since the last call; arms the watch again.
  bool changed();

  // The descriptor to watch, readable once the clock was set (none where it cannot tell); the
  // loop's wake source hands it on.
  void wakeFds(std::vector<int>& fds) const;

 private:
  void arm();
  int fd_ = -1;  // -1 when the system cannot tell
};

}  // namespace cw
