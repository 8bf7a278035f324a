#include "host/local_time.h"

#include <sys/timerfd.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>

namespace cw {

std::int64_t wallNs() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  return std::int64_t{ts.tv_sec} * 1'000'000'000 + ts.tv_nsec;
}

LocalTimeText::LocalTimeText() : originNs_(wallNs()) {
  std::setlocale(LC_TIME, "");
}

std::string LocalTimeText::format(std::time_t t) {
  std::tm local{};
  if (!localtime_r(&t, &local)) return {};
  char buf[64];
  const std::size_t n = std::strftime(buf, sizeof buf, "%X", &local);
  return std::string(buf, n);
}

const std::string& LocalTimeText::localTimeText(Millis at) {
  const std::int64_t ns = originNs_ + at * 1'000'000;
  // Rounded down, also before 1970.
  const std::time_t second =
      static_cast<std::time_t>(ns / 1'000'000'000 - (ns % 1'000'000'000 < 0 ? 1 : 0));
  if (second != shownSecond_) {
    shownSecond_ = second;
    text_ = format(second);
  }
  return text_;
}

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

}  // namespace cw
