// Descriptors whose readiness means news for the live loop, which sleeps on them: a game
// controller's device, hot-plug in /dev/input, the wall clock being set. Only where the loop
// waits on descriptors (Linux); elsewhere a source has none.
#pragma once

#include <vector>

namespace cw {

class WakeSource {
 public:
  virtual ~WakeSource() = default;
  // Appends the descriptors to watch for reading, as they are now.
  virtual void wakeFds(std::vector<int>& fds) const = 0;
  // `fd` woke the wait (`revents` as poll gave them): clear it, so that it does not wake the
  // next wait too, before the news behind it is read.
  virtual void woken(int fd, short revents) = 0;
};

}  // namespace cw
