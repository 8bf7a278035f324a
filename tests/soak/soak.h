// The soak: random sessions of play driven through the replay engine, with the game checked
// between every two handlers. A session is recorded as replay lines, so a failure can be
// shrunk and handed to crateworks-replay as it stands.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/shell/device.h"

namespace cw::soak {

struct Violation {
  std::string invariant;  // a short name: what kind of fault this is
  std::string detail;
  Millis at = 0;
};

// Deep states the sessions reached: proof that the soak goes where faults hide.
struct Coverage {
  std::uint64_t handlers = 0;
  std::uint64_t gamesStarted = 0;
  std::uint64_t lifts = 0;
  std::uint64_t scoldings = 0;
  std::uint64_t gameOvers = 0;
  std::uint64_t trucksFilled = 0;
  std::uint64_t breakHeldByScolding = 0;  // a break scene waiting for a scolding to end
  std::uint64_t loadsPastEighth = 0;
  std::uint64_t doublePoints = 0;  // games that reached double points
  std::uint64_t scorePast1000 = 0;
  std::uint64_t dialogsOpened = 0;
  std::uint64_t programEnded = 0;
  Coverage& operator+=(const Coverage& o);
};

// Checks, after each handler, what the game's design guarantees between handlers.
class InvariantChecker : public HandlerObserver {
 public:
  using Report = std::function<void(const Violation&)>;
  InvariantChecker(const Device& device, Report report);
  void afterHandler() override;
  const Coverage& coverage() const { return coverage_; }

 private:
  void fail(const char* invariant, const std::string& detail);
  void checkFields();
  void checkPicture();
  void checkScore();
  void checkTimers();
  void noteCoverage();

  const Device& device_;
  Report report_;
  Coverage coverage_;
  bool gameSeen_ = false;  // a game has started since load: the power-on picture is gone
  bool failed_ = false;
  // The game as the previous handler left it.
  int running_ = 0;
  std::int64_t score_ = 0;
  std::int64_t awards_ = 0;  // the points the awards of this game came to
  int multiplier_ = 0;
  std::array<int, 7> active_{};
  std::array<int, 7> pos_{};
  bool sceneOn_ = false;
  bool scoldOn_ = false;
  bool doubled_ = false;
  bool past1000_ = false;
  bool heldCounted_ = false;
  int truckLoad_ = 0;
  bool dialog_ = false;
};

// The shape of one session, drawn from its seed.
struct Profile {
  Millis length = 0;  // virtual time to play
  double skill = 0;   // chance that a steering decision is right
  Millis think = 0;   // typical pause between decisions in a game
  double chaos = 0;   // odd inputs per second
  // Chance, per truck, of dropping a crate on purpose as it is about to fill: a miss then may
  // coincide with the eighth load, and the break scene waits for the scolding.
  double mischief = 0;
  double attention = 60;               // seconds of play, on average, before the player looks away
  Millis moveSound = 0;                // how long the move sound holds the window
  bool quitAtEnd = false;              // end with Esc or ACL
  std::optional<std::string> keyFile;  // the key file before start, when there is one
};
Profile drawProfile(std::uint64_t seed);

struct SessionResult {
  Millis virtualMs = 0;
  std::size_t commands = 0;
  Coverage coverage;
};

using LineSink = std::function<void(const std::string&)>;

// Plays one session: picks each command from what the device shows, hands its replay line to
// `record` before running it, and reports the first fault to `report` (the caller decides
// whether to stop).
SessionResult playSession(std::uint64_t seed, const Profile& profile,
                          const std::string& keyFilePath, const LineSink& record,
                          const InvariantChecker::Report& report);

// Plays fixed replay lines under the checker. False when a line is not a valid command.
bool playLines(const std::vector<std::string>& lines, const std::string& keyFilePath,
               const InvariantChecker::Report& report, SessionResult* result = nullptr);

// Drops lines and halves waits while `fails` still holds, until nothing more goes or the
// deadline passes. The lines given must fail.
using Clock = std::chrono::steady_clock;
std::vector<std::string> shrink(std::vector<std::string> lines,
                                const std::function<bool(const std::vector<std::string>&)>& fails,
                                Clock::time_point deadline);

// Sessions in a child process. The child's key file lies in a fresh folder (holding `keyFile`
// when given); its replay lines, its first fault, and a crash, a sanitizer report or a hang
// (past `timeoutSeconds` of real time) come back as the outcome.
struct Outcome {
  bool failed = false;
  std::string signature;  // what kind of fault: compared while shrinking
  std::string message;
  std::vector<std::string> lines;  // what the child played, up to the fault
  SessionResult result;
};
using SessionBody = std::function<SessionResult(const std::string& keyPath, const LineSink& record,
                                                const InvariantChecker::Report& report)>;
Outcome isolated(const std::optional<std::string>& keyFile, const SessionBody& body,
                 unsigned timeoutSeconds);
Outcome playIsolated(const std::vector<std::string>& lines,
                     const std::optional<std::string>& keyFile, unsigned timeoutSeconds);

// The seed of session `i` of a soak with seed `base`.
std::uint64_t sessionSeed(std::uint64_t base, std::uint64_t i);

}  // namespace cw::soak
