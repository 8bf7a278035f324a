#include "host/local_time.h"

#include <clocale>

namespace cw {

LocalTimeText::LocalTimeText() {
  std::setlocale(LC_TIME, "");
}

std::string LocalTimeText::format(std::time_t t) {
  std::tm local{};
  if (!localtime_r(&t, &local)) return {};
  char buf[64];
  const std::size_t n = std::strftime(buf, sizeof buf, "%X", &local);
  return std::string(buf, n);
}

const std::string& LocalTimeText::localTimeText() {
  const std::time_t now = std::time(nullptr);
  if (now != shownSecond_) {
    shownSecond_ = now;
    text_ = format(now);
  }
  return text_;
}

}  // namespace cw
