#include "platform/timing_log.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/event_wait.h"

namespace cw {

std::unique_ptr<TimingLog> TimingLog::fromEnvironment() {
  const char* path = std::getenv("CRATEWORKS_TIMING_LOG");
  if (!path || !*path) return nullptr;
  return std::make_unique<TimingLog>(path);
}

TimingLog::TimingLog(std::string path, Clock clock)
    : path_(std::move(path)), clock_(clock ? clock : &steadyNs) {
  // Room enough that growing the record does not disturb a short measurement.
  changes_.reserve(8192);
  aheads_.reserve(8192);
}

TimingLog::~TimingLog() {
  if (Status written = write(); !written)
    std::fprintf(stderr, "crateworks: %s\n", written.error().c_str());
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

int TimingLog::watch(void* self, SDL_Event* event) {
  if (event->type == SDL_KEYDOWN || event->type == SDL_KEYUP) {
    TimingLog& log = *static_cast<TimingLog*>(self);
    log.arrivals_.push_back(log.clock_());
  }
  return 1;
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
  if (presented && firstPresentUnixUs_ < 0) {
    firstPresentUnixUs_ = std::chrono::duration_cast<std::chrono::microseconds>(
                              std::chrono::system_clock::now().time_since_epoch())
                              .count();
  }
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

Status TimingLog::write() const {
  std::FILE* f = std::fopen(path_.c_str(), "w");
  if (!f) return failure("cannot write the timing log " + path_ + ": " + std::strerror(errno));
  std::fprintf(f, "first_present_unix_us %lld\n", static_cast<long long>(firstPresentUnixUs_));
  std::fprintf(f, "wakes %llu\n", static_cast<unsigned long long>(wakes_));
  std::fprintf(f, "elapsed_ms %lld\n", static_cast<long long>((clock_() - originNs_) / 1'000'000));
  for (const Change& c : changes_) {
    std::fprintf(f, "%s %lld %lld %s\n", c.sound ? "sound" : "change",
                 static_cast<long long>(c.lateUs), static_cast<long long>(c.due),
                 std::string(timerInfo(c.timer).name).c_str());
  }
  for (std::int64_t us : inputUs_) std::fprintf(f, "input %lld\n", static_cast<long long>(us));
  for (std::int64_t us : frameUs_) std::fprintf(f, "frame %lld\n", static_cast<long long>(us));
  for (const Ahead& a : aheads_)
    std::fprintf(f, "ahead %d %lld %lld %lld\n", a.ticks, static_cast<long long>(a.ns),
                 static_cast<long long>(a.from), static_cast<long long>(a.to));
  if (std::ferror(f) | std::fclose(f)) return failure("cannot write the timing log " + path_);
  return {};
}

}  // namespace cw
