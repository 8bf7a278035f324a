// The time of day as text in the user's own format.
#pragma once

#include <ctime>
#include <string>

#include "base/seams.h"

namespace cw {

class LocalTimeText final : public TimeTextPort {
 public:
  // Takes the time format from the user's locale (LC_TIME only, so numbers stay in "C").
  LocalTimeText();
  // The clock asks every 2 ms: the text is formatted again only when the second changes.
  const std::string& localTimeText() override;
  // The text for a given moment, in the current locale.
  static std::string format(std::time_t t);

 private:
  std::time_t shownSecond_ = -1;
  std::string text_;
};

}  // namespace cw
