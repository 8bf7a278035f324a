#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

#include "host/clock.h"
#include "host/clock_watch.h"

namespace cw {

WallClockWatch::WallClockWatch() {
  fd_ = timerfd_create(CLOCK_REALTIME, TFD_NONBLOCK | TFD_CLOEXEC);
  arm();
}

WallClockWatch::~WallClockWatch() {
  if (fd_ >= 0) close(fd_);
}

// A timer far in the future that the kernel cancels whenever the clock is set: reading it
// then fails with ECANCELED, and it is readable until then.
void WallClockWatch::arm() {
  if (fd_ < 0) return;
  itimerspec far{};
  far.it_value.tv_sec = wallNs() / 1'000'000'000 + 10 * 365 * 86400;
  if (timerfd_settime(fd_, TFD_TIMER_ABSTIME | TFD_TIMER_CANCEL_ON_SET, &far, nullptr) != 0) {
    close(fd_);
    fd_ = -1;
  }
}

bool WallClockWatch::changed() {
  if (fd_ < 0) return false;
  std::uint64_t expirations = 0;
  const ssize_t n = read(fd_, &expirations, sizeof expirations);
  if (n >= 0 || errno != ECANCELED) return false;
  arm();
  return true;
}

void WallClockWatch::wakeFds(std::vector<int>& fds) const {
  if (fd_ >= 0) fds.push_back(fd_);
}

}  // namespace cw
