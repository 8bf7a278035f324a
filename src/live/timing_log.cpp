#include "live/timing_log.h"

#include <algorithm>
#include <string>

namespace cw {

TimingLog::TimingLog(Clock steady, Clock wallUs) : clock_(steady), wallUs_(wallUs) {
  // Room enough that growing the record does not disturb a short measurement.
  changes_.reserve(8192);
  aheads_.reserve(8192);
}

void TimingLog::tickStarts(TimerId timer, Millis due, bool) {
  inTick_ = true;
  tick_ = {due, timer, display_ ? display_->version() : 0};
}

void TimingLog::tickEnds() {
  inTick_ = false;
  if (!display_ || display_->version() == tick_.version) return;
  unshown_.push_back({tick_.due, tick_.timer, display_->version()});
}

void TimingLog::soundStarts() {
  if (inTick_) changes_.push_back({lateUs(tick_.due, clock_()), tick_.due, tick_.timer, true});
}

void TimingLog::keyHandled(bool changed, std::uint64_t version, Millis settledAt) {
  if (arrivals_.empty()) return;
  const std::int64_t arrival = arrivals_.front();
  arrivals_.pop_front();
  if (changed) pending_.push_back({arrival, originNs_ + settledAt * 1'000'000, version});
}

void TimingLog::screen(std::uint64_t version, bool presented, std::int64_t drawStartNs) {
  const std::int64_t now = clock_();
  if (presented) frameUs_.push_back((now - drawStartNs) / 1000);
  if (presented && firstPresentUnixUs_ < 0) firstPresentUnixUs_ = wallUs_();
  while (!pending_.empty() && pending_.front().version <= version) {
    const Pending& p = pending_.front();
    // A key whose effect left the picture as it was has no frame to wait for.
    if (presented) inputUs_.push_back((now - std::max(p.arrivalNs, p.settledNs)) / 1000);
    pending_.pop_front();
  }
  // Likewise a tick whose changes cancelled out (or that a hidden window does not show).
  while (!unshown_.empty() && unshown_.front().version <= version) {
    const Tick& t = unshown_.front();
    if (presented) changes_.push_back({lateUs(t.due, now), t.due, t.timer, false});
    unshown_.pop_front();
  }
}

std::string TimingLog::text() const {
  auto line = [](std::string& out, std::string_view name, auto... values) {
    out += name;
    ((out += ' ', out += values), ...);
    out += '\n';
  };
  auto n = [](std::int64_t v) { return std::to_string(v); };
  std::string out;
  line(out, "first_present_unix_us", n(firstPresentUnixUs_));
  line(out, "wakes", std::to_string(wakes_));
  line(out, "elapsed_ms", n((clock_() - originNs_) / 1'000'000));
  for (const Change& c : changes_)
    line(out, c.sound ? "sound" : "change", n(c.lateUs), n(c.due),
         std::string(timerInfo(c.timer).name));
  for (std::int64_t us : inputUs_) line(out, "input", n(us));
  for (std::int64_t us : frameUs_) line(out, "frame", n(us));
  for (const Ahead& a : aheads_) line(out, "ahead", n(a.ticks), n(a.ns), n(a.from), n(a.to));
  return out;
}

}  // namespace cw
