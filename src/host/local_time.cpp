#include "host/local_time.h"

#include <clocale>

#include "host/clock.h"

namespace cw {

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

}  // namespace cw
