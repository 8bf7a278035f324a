#include <algorithm>

#include "host/clock.h"
#include "sdl/loop/event_wait.h"

namespace cw {

void waitWithSdl(std::int64_t deadlineNs, const TakeEvent& take) {
  // At most a second at a time, so the caller looks again now and then.
  std::int64_t left = 1'000'000'000;
  if (deadlineNs >= 0) left = std::clamp<std::int64_t>(deadlineNs - steadyNs(), 0, left);
  // Rounded up: waking before the deadline would only mean a second wake-up.
  const int ms = static_cast<int>((left + 999'999) / 1'000'000);
  SDL_Event e;
  if (SDL_WaitEventTimeout(&e, ms)) {
    take(e);
    while (SDL_PollEvent(&e)) take(e);
  }
}

}  // namespace cw
