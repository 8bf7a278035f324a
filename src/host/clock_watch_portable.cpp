// Where the system has no watch on the wall clock: a clock set while the game runs shows from
// the clock's next look ahead (within a minute).
#include "host/clock_watch.h"

namespace cw {

WallClockWatch::WallClockWatch() = default;
WallClockWatch::~WallClockWatch() = default;
void WallClockWatch::arm() {}
bool WallClockWatch::changed() {
  return false;
}
void WallClockWatch::wakeFds(std::vector<int>&) const {}

}  // namespace cw
