#include "platform/event_wait.h"

#include <SDL_syswm.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace cw {
namespace {

// Events that SDL makes on its own threads (a signal's quit, an audio device that went) wake
// nobody while the loop sleeps on the socket: look for them this often all the same.
constexpr std::int64_t kDrainEveryNs = 250'000'000;

// The socket of the X connection behind `window`, or -1.
int displaySocket(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window && SDL_GetWindowWMInfo(window, &info) && info.subsystem == SDL_SYSWM_X11 &&
      info.info.x11.display)
    return ConnectionNumber(info.info.x11.display);
#else
  (void)window;
#endif
  return -1;
}

}  // namespace

std::int64_t steadyNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void EventWait::attach(SDL_Window* window) {
  fd_ = displaySocket(window);
  lastDrainNs_ = steadyNs();
}

bool EventWait::drain(const std::function<void(const SDL_Event&)>& take) {
  lastDrainNs_ = steadyNs();
  bool any = false;
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    any = true;
    take(e);
  }
  return any;
}

void EventWait::wait(std::int64_t deadlineNs, bool talked,
                     const std::function<void(const SDL_Event&)>& take) {
  if (fd_ < 0) {
    const std::int64_t left = std::max<std::int64_t>(0, deadlineNs - steadyNs());
    // Rounded up: waking before the deadline would only mean a second wake-up.
    const int ms = static_cast<int>(std::min<std::int64_t>((left + 999'999) / 1'000'000, 1000));
    SDL_Event e;
    if (SDL_WaitEventTimeout(&e, ms)) {
      take(e);
      drain(take);
    }
    return;
  }
  // Events already in a queue on this side of the socket would not wake the wait.
  if (talked || SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) {
    if (drain(take)) return;
  }
  const std::int64_t left = deadlineNs - steadyNs();
  if (left > 0) {
    polled_.assign(1, pollfd{fd_, POLLIN, 0});
    owners_.assign(1, nullptr);
    for (WakeSource* s : sources_) {
      extraFds_.clear();
      s->wakeFds(extraFds_);
      for (int fd : extraFds_) {
        polled_.push_back({fd, POLLIN, 0});
        owners_.push_back(s);
      }
    }
    const timespec ts{static_cast<time_t>(left / 1'000'000'000),
                      static_cast<long>(left % 1'000'000'000)};
    const int ready = ::ppoll(polled_.data(), polled_.size(), &ts, nullptr);
    // A socket that cannot be waited on would make this spin: SDL's wait takes over.
    if (ready < 0 && errno != EINTR) fd_ = -1;
    for (std::size_t i = 1; ready > 0 && i < polled_.size(); ++i)
      if (polled_[i].revents != 0) owners_[i]->woken(polled_[i].fd, polled_[i].revents);
    // Readable, or a signal: let SDL see what it is.
    if (ready != 0) {
      drain(take);
      return;
    }
  }
  if (steadyNs() - lastDrainNs_ >= kDrainEveryNs) drain(take);
}

}  // namespace cw
