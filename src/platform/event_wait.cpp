#include "platform/event_wait.h"

#include <SDL_syswm.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>

namespace cw {
namespace {

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

sigset_t quitSignals() {
  sigset_t s;
  sigemptyset(&s);
  sigaddset(&s, SIGINT);
  sigaddset(&s, SIGTERM);
  return s;
}

// The thread's signal mask with SIGINT and SIGTERM let through: the mask while waiting.
sigset_t maskWhileWaiting() {
  sigset_t mask;
  pthread_sigmask(SIG_SETMASK, nullptr, &mask);
  sigdelset(&mask, SIGINT);
  sigdelset(&mask, SIGTERM);
  return mask;
}

}  // namespace

std::int64_t steadyNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void blockQuitSignals() {
  const sigset_t quit = quitSignals();
  pthread_sigmask(SIG_BLOCK, &quit, nullptr);
}

void unblockQuitSignals() {
  const sigset_t quit = quitSignals();
  pthread_sigmask(SIG_UNBLOCK, &quit, nullptr);
}

EventWait::EventWait() : wakeFd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

EventWait::~EventWait() {
  detach();
  if (wakeFd_ >= 0) close(wakeFd_);
}

void EventWait::attach(SDL_Window* window) {
  fd_ = displaySocket(window);
  loopThread_ = SDL_ThreadID();
  // This thread's mask does not change while it waits here, so it is read once.
  waitMask_ = maskWhileWaiting();
  if (fd_ >= 0 && wakeFd_ >= 0 && !watching_) {
    SDL_AddEventWatch(&EventWait::onEvent, this);
    watching_ = true;
  }
  if (fd_ < 0) useSdlWait();
}

void EventWait::useSdlWait() {
  fd_ = -1;
  // SDL's wait cannot be woken by a signal that stays blocked: let it through on this thread.
  unblockQuitSignals();
}

void EventWait::detach() {
  if (watching_) SDL_DelEventWatch(&EventWait::onEvent, this);
  watching_ = false;
}

// Called for every event as it is pushed, on the thread that pushes it. Those of the loop's own
// thread are read by the loop anyway; another thread's would wait in the queue unseen.
int EventWait::onEvent(void* self, SDL_Event*) {
  auto* w = static_cast<EventWait*>(self);
  if (SDL_ThreadID() != w->loopThread_) eventfd_write(w->wakeFd_, 1);
  return 1;
}

bool EventWait::drain(const std::function<void(const SDL_Event&)>& take) {
  bool any = false;
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    any = true;
    take(e);
  }
  return any;
}

void EventWait::waitWithSdl(std::int64_t deadlineNs,
                            const std::function<void(const SDL_Event&)>& take) {
  // At most a second at a time, so the caller looks again now and then.
  std::int64_t left = 1'000'000'000;
  if (deadlineNs >= 0) left = std::clamp<std::int64_t>(deadlineNs - steadyNs(), 0, left);
  // Rounded up: waking before the deadline would only mean a second wake-up.
  const int ms = static_cast<int>((left + 999'999) / 1'000'000);
  SDL_Event e;
  if (SDL_WaitEventTimeout(&e, ms)) {
    take(e);
    drain(take);
  }
}

void EventWait::wait(std::int64_t deadlineNs, bool talked,
                     const std::function<void(const SDL_Event&)>& take) {
  if (fd_ < 0) return waitWithSdl(deadlineNs, take);
  // Events already in a queue on this side of the socket would not wake the wait.
  if (talked || SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) {
    if (drain(take)) return;
  }
  polled_.assign({pollfd{fd_, POLLIN, 0}, pollfd{wakeFd_, POLLIN, 0}});
  owners_.assign(2, nullptr);
  for (WakeSource* s : sources_) {
    extraFds_.clear();
    s->wakeFds(extraFds_);
    for (int fd : extraFds_) {
      polled_.push_back({fd, POLLIN, 0});
      owners_.push_back(s);
    }
  }
  timespec ts{};
  const timespec* timeout = nullptr;
  if (deadlineNs >= 0) {
    const std::int64_t left = std::max<std::int64_t>(0, deadlineNs - steadyNs());
    ts = {static_cast<time_t>(left / 1'000'000'000), static_cast<long>(left % 1'000'000'000)};
    timeout = &ts;
  }
  const int ready = ::ppoll(polled_.data(), polled_.size(), timeout, &waitMask_);
  if (ready < 0 && errno != EINTR) {
    // A socket that cannot be waited on would make this spin: SDL's wait takes over.
    useSdlWait();
    return;
  }
  if (ready == 0) return;
  if (polled_[1].revents) {
    eventfd_t n;
    eventfd_read(wakeFd_, &n);
  }
  for (std::size_t i = 2; i < polled_.size(); ++i)
    if (polled_[i].revents != 0) owners_[i]->woken(polled_[i].fd, polled_[i].revents);
  // Readable, another thread's event, or a signal (SDL's handler marked a quit that the next
  // look at the queue turns into SDL_QUIT): let SDL see what it is.
  drain(take);
}

}  // namespace cw
