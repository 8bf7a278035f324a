// The live loop's clock and its sleep between wake-ups.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace cw {

// The steady clock in nanoseconds: the loop's real time, immune to changes of the wall clock.
std::int64_t steadyNs();

// Blocks SIGINT and SIGTERM in the calling thread and so in every thread it starts afterwards
// (SDL's among them): call it first thing, before SDL starts any. The wait unblocks them while
// it sleeps, so that a signal ends the sleep at once, on the loop's thread, and SDL's own
// handler turns it into SDL_QUIT.
void blockQuitSignals();

// Sleeps until something happens or a deadline passes, and hands over what arrived.
//
// On X11 this waits on the connection's socket itself (SDL's wait asks the connection for news
// a dozen times per wake-up, each a system call), together with: a signal (SIGINT, SIGTERM,
// unblocked only while it waits), an eventfd that events pushed from SDL's other threads write
// to (an audio device added or removed), and the file descriptors its owner adds. So an idle
// wait needs no timeout of its own: it sleeps until its deadline or until one of these speaks.
// Other platforms use SDL's wait.
class EventWait {
 public:
  EventWait();
  ~EventWait();
  EventWait(const EventWait&) = delete;
  EventWait& operator=(const EventWait&) = delete;

  // Finds the display connection of `window` (null, or not X11: SDL's wait is used) and starts
  // watching for events pushed from other threads.
  void attach(SDL_Window* window);
  // Stops watching (before SDL quits).
  void detach();

  // Also wakes when `fd` is readable and calls `ready` then, on the loop's thread; `ready` must
  // read what made it readable. For what SDL does not see: the wall clock being set, a game
  // controller's device, a folder of devices being watched.
  void watchFd(int fd, std::function<void()> ready);
  void unwatchFd(int fd);

  // Returns by `deadlineNs` on the steady clock (never, when negative), or earlier once events
  // have arrived or a watched descriptor was ready; calls `take` with each event, in order.
  // `talked` says the caller used the display connection since the last wait (drew, showed a
  // window): doing so may have read events off the socket into the client's queue, where the
  // socket no longer shows them.
  void wait(std::int64_t deadlineNs, bool talked,
            const std::function<void(const SDL_Event&)>& take);

 private:
  static int onEvent(void* self, SDL_Event* event);
  void useSdlWait();
  bool drain(const std::function<void(const SDL_Event&)>& take);
  void waitWithSdl(std::int64_t deadlineNs, const std::function<void(const SDL_Event&)>& take);

  struct Watched {
    int fd;
    std::function<void()> ready;
  };
  int fd_ = -1;      // the X connection's socket
  int wakeFd_ = -1;  // an eventfd: an event was pushed from another thread
  bool watching_ = false;
  SDL_threadID loopThread_ = 0;
  std::vector<Watched> watched_;
};

}  // namespace cw
