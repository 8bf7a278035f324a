// Where the loop has no descriptors to sleep on, SDL's own wait: it polls every millisecond
// while a game controller is open, which is SDL's way of reading pads there.
#include "sdl/loop/event_wait.h"

namespace cw {

void blockQuitSignals() {}
void unblockQuitSignals() {}

struct EventWait::Impl {};

EventWait::EventWait() = default;
EventWait::~EventWait() = default;
void EventWait::attach(SDL_Window*) {}
void EventWait::detach() {}
void EventWait::watch(WakeSource&) {}

void EventWait::wait(std::int64_t deadlineNs, bool, const TakeEvent& take) {
  waitWithSdl(deadlineNs, take);
}

}  // namespace cw
