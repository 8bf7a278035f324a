// The soak's sessions: the driver's plumbing (each line recorded, checked for validity and
// played), its key table, and sessions played from a seed or from fixed lines.
#include "driver.h"

#include <cstdio>
#include <cstdlib>

namespace cw::soak {
namespace {

// A key file the session could not save is told and play goes on, as the replay itself does.
void play(ReplaySession& session, const Command& c) {
  if (Status played = session.execute(c); !played)
    std::fprintf(stderr, "soak: %s\n", played.error().c_str());
}

const char* const kTimeTexts[] = {
    "12:00:00",
    "14.05.09",
    "2:05:09 PM",
    "9:00:00 AM",
    "09.07.00",
    "10.00.00",
    "23:59:59",
    "0:00:00",
    "",
    "abc",
    "12",
    ":",
    "1:",
    "::",
    "12:3",
    "99:99:99",
    "-1:-5:00",
    "12:5x:00",
    "7 :05",
    "123:456:789",
    "1.2.3.4",
    "13h05",
    "12:00:00 PM extra text that goes on and on",
};

}  // namespace

Driver::Driver(std::uint64_t seed, const Profile& profile, const std::string& keyFilePath,
               const LineSink& record, const InvariantChecker::Report& report)
    : rng_(seed),
      profile_(profile),
      record_(record),
      options_{std::string(), keyFilePath},
      session_(options_, null_),
      checker_(session_.device(), report) {
  session_.setHandlerObserver(&checker_);
}

SessionResult Driver::run() {
  emit("seed " + std::to_string(rng_() >> 1));
  emit("soundlength audio\\move.wav " + std::to_string(profile_.moveSound));
  if (chance(0.3)) emitTime();
  emit("start");
  while (!device().ended() && device().now() < profile_.length) step();
  if (profile_.quitAtEnd && !device().ended()) {
    if (device().dialog()) emit("close");
    emit(chance(0.5) ? "keydown 27" : "click ACL");
  }
  return {device().now(), commands_, checker_.coverage()};
}

void Driver::emit(const std::string& line) {
  Result<Script> parsed = parseScenario(line);
  if (!parsed || parsed->size() != 1) {
    // The generator made a line the replay refuses: a fault of the soak itself.
    std::fprintf(stderr, "soak: bad line \"%s\": %s\n", line.c_str(),
                 parsed ? "" : parsed.error().c_str());
    std::abort();
  }
  record_(line);
  ++commands_;
  play(session_, parsed->front());
}

void Driver::emitTime() {
  emit(std::string("time ") + pick(kTimeTexts));
}

int Driver::rowOf(int code) const {
  const GameState& s = state();
  if (code == 27) return 0;
  if (code == 112) return 1;
  if (code == 113) return 2;
  if (code == s.KeyNandoUp || code == 45) return 3;
  if (code == s.KeyNandoDown || code == 46) return 4;
  if (code == s.KeyBepoUp || code == 33) return 5;
  if (code == s.KeyBepoDown || code == 34) return 6;
  return -1;
}

int Driver::keyFor(int row) {
  const GameState& s = state();
  const int mapped[] = {0, 0, 0, s.KeyNandoUp, s.KeyNandoDown, s.KeyBepoUp, s.KeyBepoDown};
  const int fixed[] = {0, 0, 0, 45, 46, 33, 34};
  int candidates[2] = {mapped[row], fixed[row]};
  if (chance(0.5)) std::swap(candidates[0], candidates[1]);
  for (int code : candidates)
    if (rowOf(code) == row) return code;
  return -1;
}

int Driver::anyKey() {
  const GameState& s = state();
  const int pool[] = {45,
                      46,
                      33,
                      34,
                      112,
                      113,
                      s.KeyNandoUp,
                      s.KeyNandoDown,
                      s.KeyBepoUp,
                      s.KeyBepoDown,
                      13,
                      32,
                      16,
                      17,
                      18,
                      37,
                      38,
                      39,
                      40};
  int code = chance(0.7) ? pick(pool) : (chance(0.8) ? uniform(0, 255) : uniform(0, 65535));
  return code == 27 ? 28 : code;  // Esc ends the session: only at its end
}

void Driver::step() {
  if (device().dialog()) return dialogStep();
  // Odd inputs come at a rate per second of play, however often the player decides.
  if (chance(profile_.chaos * static_cast<double>(profile_.think) / 1000.0)) return chaosStep();
  if (state().GameRunning == 1) return playStep();
  idleStep();
}

SessionResult playSession(std::uint64_t seed, const Profile& profile,
                          const std::string& keyFilePath, const LineSink& record,
                          const InvariantChecker::Report& report) {
  Driver driver(seed, profile, keyFilePath, record, report);
  return driver.run();
}

bool playLines(const std::vector<std::string>& lines, const std::string& keyFilePath,
               const InvariantChecker::Report& report, SessionResult* result) {
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  Result<Script> parsed = parseScenario(text);
  if (!parsed) return false;
  ReplayOptions options{std::string(), keyFilePath};
  std::ostream null(nullptr);
  ReplaySession session(options, null);
  InvariantChecker checker(session.device(), report);
  session.setHandlerObserver(&checker);
  for (const Command& c : *parsed) play(session, c);
  if (result) *result = {session.device().now(), parsed->size(), checker.coverage()};
  return true;
}

}  // namespace cw::soak
