// The time of day as text in the user's own format.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "base/seams.h"

namespace cw {

class LocalTimeText final : public TimeTextPort {
 public:
  // Takes the time format from the user's locale (LC_TIME only, so numbers stay in "C"). Core
  // time 0 is the moment of construction until setOrigin says otherwise.
  LocalTimeText();
  // Core time 0 is at `wallNs` on the wall clock.
  void setOrigin(std::int64_t wallNs) { originNs_ = wallNs; }
  // The text at core time `at`: the clock of the tick that asks, not of the moment it runs. The
  // clock asks every 2 ms: the text is formatted again only when that time's second changes.
  const std::string& localTimeText(Millis at) override;
  // The text for a given moment, in the current locale.
  static std::string format(std::time_t t);

 private:
  std::int64_t originNs_;
  std::time_t shownSecond_ = -1;
  std::string text_;
};

}  // namespace cw
