// The live loop's clock and its sleep between wake-ups.
#pragma once

#include <SDL.h>
#include <poll.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace cw {

// The steady clock in nanoseconds: the loop's real time, immune to changes of the wall clock.
std::int64_t steadyNs();

// Descriptors besides the display's whose readiness means news that SDL reads only when it
// pumps its events (a game controller's device, hot-plug in /dev/input).
class WakeSource {
 public:
  virtual ~WakeSource() = default;
  // Appends the descriptors to watch for reading, as they are now.
  virtual void wakeFds(std::vector<int>& fds) const = 0;
  // `fd` woke the wait (`revents` as poll gave them): clear it, so that it does not wake the
  // next wait too, before SDL reads the news behind it.
  virtual void woken(int fd, short revents) = 0;
};

// Sleeps until input arrives or a deadline passes, and hands over what arrived.
//
// SDL's own wait asks the X connection for news a dozen times per wake-up, each a system call,
// even when nothing came; waking 125 times a second that is a good part of what an idle window
// costs. On X11 this waits on the connection's socket itself, so a wake-up with nothing to read
// costs one call; SDL still reads and translates every event. Other platforms use SDL's wait.
class EventWait {
 public:
  // Finds the display connection of `window` (null, or not X11: SDL's wait is used).
  void attach(SDL_Window* window);
  // Wakes on `source`'s descriptors too (with the display's socket only: SDL's own wait polls
  // its devices anyway).
  void watch(WakeSource& source) { sources_.push_back(&source); }

  // Returns by `deadlineNs` on the steady clock, or earlier once events have arrived; calls
  // `take` with each event, in order. `talked` says the caller used the display connection
  // since the last wait (drew, showed a window): doing so may have read events off the socket
  // into the client's queue, where the socket no longer shows them.
  void wait(std::int64_t deadlineNs, bool talked,
            const std::function<void(const SDL_Event&)>& take);

 private:
  bool drain(const std::function<void(const SDL_Event&)>& take);
  int fd_ = -1;
  std::int64_t lastDrainNs_ = 0;
  std::vector<WakeSource*> sources_;
  std::vector<int> extraFds_;
  // What each wait polls (the display's socket first) and whose each descriptor is.
  std::vector<pollfd> polled_;
  std::vector<WakeSource*> owners_;
};

}  // namespace cw
