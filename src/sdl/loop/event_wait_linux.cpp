#include <SDL_syswm.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <vector>

#include "host/clock.h"
#include "sdl/loop/event_wait.h"

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

bool drain(const TakeEvent& take) {
  bool any = false;
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    any = true;
    take(e);
  }
  return any;
}

}  // namespace

void blockQuitSignals() {
  const sigset_t quit = quitSignals();
  pthread_sigmask(SIG_BLOCK, &quit, nullptr);
}

void unblockQuitSignals() {
  const sigset_t quit = quitSignals();
  pthread_sigmask(SIG_UNBLOCK, &quit, nullptr);
}

struct EventWait::Impl {
  // Called for every event as it is pushed, on the thread that pushes it. Those of the loop's
  // own thread are read by the loop anyway; another thread's would wait in the queue unseen.
  static int onEvent(void* self, SDL_Event*) {
    auto* w = static_cast<Impl*>(self);
    if (SDL_ThreadID() != w->loopThread) eventfd_write(w->wakeFd, 1);
    return 1;
  }

  void gather(bool withDisplay);
  void tellSources(std::size_t from);

  void useSdlWait() {
    fd = -1;
    // SDL's wait cannot be woken by a signal that stays blocked: let it through on this thread.
    unblockQuitSignals();
  }

  int fd = -1;                                          // the X connection's socket
  int wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);  // an event was pushed from another thread
  bool watching = false;
  SDL_threadID loopThread = 0;
  sigset_t waitMask{};  // the loop thread's mask with the quit signals let through
  std::vector<WakeSource*> sources;
  std::vector<int> extraFds;
  // What each wait polls (the display's socket and the eventfd first) and whose each
  // descriptor is.
  std::vector<pollfd> polled;
  std::vector<WakeSource*> owners;
};

EventWait::EventWait() : impl_(std::make_unique<Impl>()) {}

EventWait::~EventWait() {
  detach();
  if (impl_->wakeFd >= 0) close(impl_->wakeFd);
}

void EventWait::attach(SDL_Window* window) {
  Impl& w = *impl_;
  w.fd = displaySocket(window);
  w.loopThread = SDL_ThreadID();
  // This thread's mask does not change while it waits here, so it is read once.
  w.waitMask = maskWhileWaiting();
  if (w.fd >= 0 && w.wakeFd >= 0 && !w.watching) {
    SDL_AddEventWatch(&Impl::onEvent, &w);
    w.watching = true;
  }
  if (w.fd < 0) w.useSdlWait();
}

void EventWait::detach() {
  if (impl_->watching) SDL_DelEventWatch(&Impl::onEvent, impl_.get());
  impl_->watching = false;
}

void EventWait::watch(WakeSource& source) {
  impl_->sources.push_back(&source);
}

// The display's socket and the eventfd (when given), then every wake source's descriptors.
void EventWait::Impl::gather(bool withDisplay) {
  polled.clear();
  owners.clear();
  if (withDisplay) {
    polled.assign({pollfd{fd, POLLIN, 0}, pollfd{wakeFd, POLLIN, 0}});
    owners.assign(2, nullptr);
  }
  for (WakeSource* s : sources) {
    extraFds.clear();
    s->wakeFds(extraFds);
    for (int d : extraFds) {
      polled.push_back({d, POLLIN, 0});
      owners.push_back(s);
    }
  }
}

// Hands each ready descriptor of a wake source to its owner.
void EventWait::Impl::tellSources(std::size_t from) {
  for (std::size_t i = from; i < polled.size(); ++i)
    if (polled[i].revents != 0) owners[i]->woken(polled[i].fd, polled[i].revents);
}

void EventWait::wait(std::int64_t deadlineNs, bool talked, const TakeEvent& take) {
  Impl& w = *impl_;
  if (w.fd < 0) {
    // SDL's wait (on Wayland, where SDL itself must pump for a held key to repeat): the wake
    // sources are looked at after it, at most a second apart.
    waitWithSdl(deadlineNs, take);
    w.gather(false);
    if (!w.polled.empty() && ::poll(w.polled.data(), w.polled.size(), 0) > 0) w.tellSources(0);
    return;
  }
  // Events already in a queue on this side of the socket would not wake the wait.
  if (talked || SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT)) {
    if (drain(take)) return;
  }
  w.gather(true);
  timespec ts{};
  const timespec* timeout = nullptr;
  if (deadlineNs >= 0) {
    const std::int64_t left = std::max<std::int64_t>(0, deadlineNs - steadyNs());
    ts = {static_cast<time_t>(left / 1'000'000'000), static_cast<long>(left % 1'000'000'000)};
    timeout = &ts;
  }
  const int ready = ::ppoll(w.polled.data(), w.polled.size(), timeout, &w.waitMask);
  if (ready < 0 && errno != EINTR) {
    // A socket that cannot be waited on would make this spin: SDL's wait takes over.
    w.useSdlWait();
    return;
  }
  if (ready == 0) return;
  if (w.polled[1].revents) {
    eventfd_t n;
    eventfd_read(w.wakeFd, &n);
  }
  w.tellSources(2);
  // Readable, another thread's event, or a signal (SDL's handler marked a quit that the next
  // look at the queue turns into SDL_QUIT): let SDL see what it is.
  drain(take);
}

}  // namespace cw
