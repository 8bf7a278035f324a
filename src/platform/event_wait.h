// The live loop's clock and its sleep between wake-ups.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>

namespace cw {

// The steady clock in nanoseconds: the loop's real time, immune to changes of the wall clock.
std::int64_t steadyNs();

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
};

}  // namespace cw
