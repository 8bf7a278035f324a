// The live loop's sleep between wake-ups: until something happens or a deadline passes. One
// file per operating system: on Linux the loop sleeps on the display's socket and the wake
// sources' descriptors; elsewhere in SDL's own wait.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "host/wake_source.h"

namespace cw {

// Blocks the quit signals (SIGINT, SIGTERM) in the calling thread and so in every thread it
// starts afterwards (SDL's among them): call it first thing, before SDL starts any. The wait
// lets them in while it sleeps, so that a signal ends the sleep at once, on the loop's thread,
// and SDL's own handler turns it into SDL_QUIT. Nothing where there are no such signals.
void blockQuitSignals();
// Lets them in again (before anything that waits without our wait, such as a message box).
void unblockQuitSignals();

using TakeEvent = std::function<void(const SDL_Event&)>;

// SDL's own wait, until `deadlineNs` on the steady clock (never, when negative) but a second at
// most, handing over every event that arrived.
void waitWithSdl(std::int64_t deadlineNs, const TakeEvent& take);

// Sleeps until something happens or a deadline passes, and hands over what arrived.
//
// On Linux with X11 this waits on the connection's socket itself (SDL's wait asks the
// connection for news a dozen times per wake-up, each a system call), together with: a signal
// (SIGINT, SIGTERM, let in only while it waits), an eventfd that events pushed from SDL's other
// threads write to (an audio device added or removed), and the descriptors of the wake sources
// its owner adds. So an idle wait needs no timeout of its own: it sleeps until its deadline or
// until one of these speaks. Elsewhere it is SDL's wait.
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
  // Wakes on `source`'s descriptors too. Where SDL's own wait serves (no X socket, as on
  // Wayland), they are looked at after each of its waits, at most a second apart.
  void watch(WakeSource& source);

  // Returns by `deadlineNs` on the steady clock (never, when negative), or earlier once events
  // have arrived or a wake source's descriptor was ready; calls `take` with each event, in
  // order. `talked` says the caller used the display connection since the last wait (drew,
  // showed a window): doing so may have read events off the socket into the client's queue,
  // where the socket no longer shows them.
  void wait(std::int64_t deadlineNs, bool talked, const TakeEvent& take);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace cw
