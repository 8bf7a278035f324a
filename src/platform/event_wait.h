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

// Blocks SIGINT and SIGTERM in the calling thread and so in every thread it starts afterwards
// (SDL's among them): call it first thing, before SDL starts any. The wait unblocks them while
// it sleeps, so that a signal ends the sleep at once, on the loop's thread, and SDL's own
// handler turns it into SDL_QUIT.
void blockQuitSignals();
// Lets them in again (before anything that waits without our wait, such as a message box).
void unblockQuitSignals();

// Descriptors besides the display's whose readiness means news: a game controller's device,
// hot-plug in /dev/input (which SDL reads only when it pumps its events), the wall clock being
// set.
class WakeSource {
 public:
  virtual ~WakeSource() = default;
  // Appends the descriptors to watch for reading, as they are now.
  virtual void wakeFds(std::vector<int>& fds) const = 0;
  // `fd` woke the wait (`revents` as poll gave them): clear it, so that it does not wake the
  // next wait too, before SDL reads the news behind it.
  virtual void woken(int fd, short revents) = 0;
};

// Sleeps until something happens or a deadline passes, and hands over what arrived.
//
// On X11 this waits on the connection's socket itself (SDL's wait asks the connection for news
// a dozen times per wake-up, each a system call), together with: a signal (SIGINT, SIGTERM,
// unblocked only while it waits), an eventfd that events pushed from SDL's other threads write
// to (an audio device added or removed), and the descriptors of the wake sources its owner adds.
// So an idle wait needs no timeout of its own: it sleeps until its deadline or until one of
// these speaks. Other platforms use SDL's wait.
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
  // Wakes on `source`'s descriptors too (with the display's socket only: SDL's own wait polls
  // its devices anyway).
  void watch(WakeSource& source) { sources_.push_back(&source); }

  // Returns by `deadlineNs` on the steady clock (never, when negative), or earlier once events
  // have arrived or a wake source's descriptor was ready; calls `take` with each event, in
  // order. `talked` says the caller used the display connection since the last wait (drew,
  // showed a window): doing so may have read events off the socket into the client's queue,
  // where the socket no longer shows them.
  void wait(std::int64_t deadlineNs, bool talked,
            const std::function<void(const SDL_Event&)>& take);

 private:
  static int onEvent(void* self, SDL_Event* event);
  void useSdlWait();
  bool drain(const std::function<void(const SDL_Event&)>& take);
  void waitWithSdl(std::int64_t deadlineNs, const std::function<void(const SDL_Event&)>& take);

  int fd_ = -1;      // the X connection's socket
  int wakeFd_ = -1;  // an eventfd: an event was pushed from another thread
  bool watching_ = false;
  SDL_threadID loopThread_ = 0;
  sigset_t waitMask_{};  // the loop thread's mask with the quit signals let through
  std::vector<WakeSource*> sources_;
  std::vector<int> extraFds_;
  // What each wait polls (the display's socket and the eventfd first) and whose each
  // descriptor is.
  std::vector<pollfd> polled_;
  std::vector<WakeSource*> owners_;
};

}  // namespace cw
