// The soak's checks: what the game's design guarantees between any two handlers, and the deep
// states a session reached.
#include <string>
#include <tuple>

#include "core/shell/line_geometry.h"
#include "soak.h"

namespace cw::soak {
namespace {

int countShown(const Display& d, Group g, int first, int last) {
  int n = 0;
  for (int m = first; m <= last; ++m) n += d.shown(g, m) ? 1 : 0;
  return n;
}

std::string digitsOf(const Display& d) {
  std::string out;
  for (Place p : {Place::Ora, Place::Centinaia, Place::Decina, Place::Unita})
    out += d.digit(p) == kBlank ? '_' : static_cast<char>('0' + d.digit(p));
  return out;
}

}  // namespace

Coverage& Coverage::operator+=(const Coverage& o) {
  handlers += o.handlers;
  gamesStarted += o.gamesStarted;
  lifts += o.lifts;
  scoldings += o.scoldings;
  gameOvers += o.gameOvers;
  trucksFilled += o.trucksFilled;
  breakHeldByScolding += o.breakHeldByScolding;
  loadsPastEighth += o.loadsPastEighth;
  doublePoints += o.doublePoints;
  scorePast1000 += o.scorePast1000;
  dialogsOpened += o.dialogsOpened;
  programEnded += o.programEnded;
  return *this;
}

// ---------------------------------------------------------------- the invariants

InvariantChecker::InvariantChecker(const Device& device, Report report)
    : device_(device), report_(std::move(report)) {}

void InvariantChecker::fail(const char* invariant, const std::string& detail) {
  // Only the first fault counts: what follows it is mostly its consequence.
  if (failed_) return;
  failed_ = true;
  report_({invariant, detail, device_.now()});
}

void InvariantChecker::afterHandler() {
  ++coverage_.handlers;
  const GameState& s = device_.game().state();
  if (s.GameRunning == 1) gameSeen_ = true;
  checkFields();
  checkScore();
  if (gameSeen_) {
    checkPicture();
    checkTimers();
  }
  noteCoverage();

  running_ = s.GameRunning;
  score_ = s.Score;
  multiplier_ = s.PointMultiplier;
  active_ = s.CrateActive;
  pos_ = s.CratePos;
  truckLoad_ = s.TruckLoad;
  const Scheduler& t = device_.game().scheduler();
  sceneOn_ = t.enabled(TimerId::TimeScenetta);
  scoldOn_ = t.enabled(TimerId::TimeSgridaBepo) || t.enabled(TimerId::TimeSgridaNando);
  dialog_ = device_.dialog() != nullptr;
}

void InvariantChecker::checkFields() {
  const GameState& s = device_.game().state();
  auto range = [this](const char* name, std::int64_t v, std::int64_t lo, std::int64_t hi) {
    if (v < lo || v > hi)
      fail("field-range", std::string(name) + " is " + std::to_string(v) + ", outside " +
                              std::to_string(lo) + ".." + std::to_string(hi));
  };
  for (int k = 1; k <= 6; ++k) {
    range("CrateActive", s.CrateActive[k], 0, 1);
    range("CratePos", s.CratePos[k], kEntryStep, kLastStep);
    if (s.CrateActive[k] == 0 && s.CratePos[k] != 0)
      fail("field-range",
           "free slot " + std::to_string(k) + " at step " + std::to_string(s.CratePos[k]));
  }
  range("Misses", s.Misses, 0, 3);
  range("ScoldTicks", s.ScoldTicks, 0, 7);
  range("SceneStep", s.SceneStep, 0, 13);
  range("ClockDelay", s.ClockDelay, 0, 500);
  range("KeyNandoUp", s.KeyNandoUp, 0, 65535);
  range("KeyNandoDown", s.KeyNandoDown, 0, 65535);
  range("KeyBepoUp", s.KeyBepoUp, 0, 65535);
  range("KeyBepoDown", s.KeyBepoDown, 0, 65535);
  const Display& d = device_.game().display();
  for (Place p : {Place::Ora, Place::Centinaia, Place::Decina, Place::Unita})
    range("a digit place", d.digit(p), kBlank, 9);
  if (!gameSeen_) return;
  range("SpawnRange", s.SpawnRange, 3, 12);
  range("LoadSegment", s.LoadSegment, kTruckLeftMouth, kTruckLastPlace - 1);  // never the last
  range("BepoPose", s.BepoPose, kBottomLevel, kLastPose);
  range("NandoPose", s.NandoPose, kBottomLevel, kLastPose);
  range("PointMultiplier", s.PointMultiplier, 1, 2);
  range("BepoHand", s.BepoHand, 0, 1);
  range("NandoHand", s.NandoHand, 0, 1);
  range("SlideCount", s.SlideCount, 0, 3);
  range("SlideSteps", s.SlideSteps, 0, 3);
  range("TruckLoad", s.TruckLoad, 0, 1000000);
  range("BossPose", s.BossPose, 0, 1);
  range("ExhaustFrame", s.ExhaustFrame, 0, 1);
  range("RestFrame", s.RestFrame, 0, 1);
}

void InvariantChecker::checkScore() {
  const GameState& s = device_.game().state();
  const bool newGame = running_ == 0 && s.GameRunning == 1;
  if (newGame) {
    awards_ = 0;
    score_ = 0;
  }
  // Awards counted from what the player sees happen, not from the award code: a crate that
  // moves on from a hand-over step was lifted (1 point), and the break scene starting means a
  // full truck (10 points); both at the multiplier in force before the handler.
  std::int64_t points = 0;
  for (int k = 1; k <= 6; ++k) {
    if (active_[k] == 1 && (isBepoHandover(pos_[k]) || isNandoHandover(pos_[k])) &&
        s.CrateActive[k] == 1 && s.CratePos[k] == pos_[k] + 1) {
      points += 1;
      ++coverage_.lifts;
    }
  }
  if (!sceneOn_ && device_.game().scheduler().enabled(TimerId::TimeScenetta)) points += 10;
  awards_ += points * multiplier_;
  if (!newGame && s.Score < score_)
    fail("score", "Score fell from " + std::to_string(score_) + " to " + std::to_string(s.Score));
  if (s.Score != awards_)
    fail("score", "Score is " + std::to_string(s.Score) + " but the awards made come to " +
                      std::to_string(awards_));
}

void InvariantChecker::checkPicture() {
  const GameState& s = device_.game().state();
  const Display& d = device_.game().display();

  // Exactly one pose of each worker, the one his field names.
  for (auto [g, pose, name] : {std::tuple{Group::Bepo, s.BepoPose, "Bepo"},
                               std::tuple{Group::Nando, s.NandoPose, "Nando"}}) {
    const int n = countShown(d, g, kBottomLevel, kLastPose);
    if (n != 1 || pose < kBottomLevel || pose > kLastPose || !d.shown(g, pose))
      fail("worker-pose", std::string(name) + " shows " + std::to_string(n) +
                              " poses; his pose field is " + std::to_string(pose));
  }

  // The line shows a crate exactly where a live crate stands, one crate per step.
  std::array<int, kLastStep + 1> slotAt{};
  for (int k = 1; k <= 6; ++k) {
    if (s.CrateActive[k] != 1) continue;
    const int p = s.CratePos[k];
    if (p < kEntryStep || p > kLastStep) continue;  // reported as a range fault
    if (slotAt[p] != 0)
      fail("crate-picture", "slots " + std::to_string(slotAt[p]) + " and " + std::to_string(k) +
                                " both at step " + std::to_string(p));
    slotAt[p] = k;
    if (p != kEntryStep && !d.shown(Group::Blocco, p))
      fail("crate-picture",
           "live crate " + std::to_string(k) + " at step " + std::to_string(p) + " is not shown");
  }
  for (int m = kEntryStep; m <= kLastStep; ++m) {
    if (d.shown(Group::Blocco, m) && slotAt[m] == 0)
      fail("crate-picture", "a crate is shown at step " + std::to_string(m) + " where none is");
  }
  if (d.shown(Group::Blocco, kTruckLastPlace))
    fail("truck-picture",
         "Blocco " + std::to_string(kTruckLastPlace) + " is shown: the loading never uses it");

  // Two-frame animations show at most one frame.
  for (auto [g, name] :
       {std::pair{Group::CapoBepo, "CapoBepo"}, std::pair{Group::CapoNando, "CapoNando"},
        std::pair{Group::Fumo, "Fumo"}, std::pair{Group::Fumo2, "Fumo2"}}) {
    if (countShown(d, g, 0, 1) > 1) fail("frames", std::string("both frames of ") + name);
  }

  const bool a = d.shown(Group::IMGameA);
  const bool b = d.shown(Group::IMGameB);
  if (a == b || (a ? "A" : "B") != s.GameMode)
    fail("mode-mark", "mode marks A " + std::to_string(a) + " B " + std::to_string(b) +
                          " in game " + s.GameMode);

  // Once a count-up of this game has ended, the readout holds the score's last three digits.
  if (s.GameRunning == 1 && !device_.game().scheduler().enabled(TimerId::TimePoint) &&
      s.ShownScore == s.Score + 1 && s.Score > 0) {
    const std::int64_t n = s.Score;
    std::string want = "_";
    want += n >= 100 ? static_cast<char>('0' + n / 100 % 10) : '_';
    want += n >= 10 ? static_cast<char>('0' + n / 10 % 10) : '_';
    want += static_cast<char>('0' + n % 10);
    if (digitsOf(d) != want || d.shown(Group::duepunti))
      fail("readout", "readout " + digitsOf(d) + " for score " + std::to_string(n));
  }
}

void InvariantChecker::checkTimers() {
  const GameState& s = device_.game().state();
  const Scheduler& t = device_.game().scheduler();
  const bool line = t.enabled(TimerId::TimeCassa1);
  for (TimerId c : {TimerId::TimeCassa2, TimerId::TimeCassa3, TimerId::TimeCassa4,
                    TimerId::TimeCassa5, TimerId::TimeCassa6}) {
    if (t.enabled(c) != line) fail("timers", "the six crate timers disagree");
  }
  if (line != (s.LinePaused == 0))
    fail("timers", "LinePaused " + std::to_string(s.LinePaused) + " with the crate timers " +
                       (line ? "on" : "off"));
  if ((s.BepoHand == 1 || s.NandoHand == 1) && !t.enabled(TimerId::toglimano))
    fail("timers", "a hand is up and no hand timer will lower it");
  const bool scoldB = t.enabled(TimerId::TimeSgridaBepo);
  const bool scoldN = t.enabled(TimerId::TimeSgridaNando);
  if (scoldB && scoldN) fail("timers", "both workers scolded at once");
  const bool scolding = scoldB || scoldN;
  if (s.ScoldTicks > 0 && !scolding) fail("timers", "ScoldTicks counts with no scolding");
  if (s.BreakAllowed != (scolding ? 0 : 1))
    fail("timers", "BreakAllowed " + std::to_string(s.BreakAllowed) +
                       (scolding ? " during" : " outside") + " a scolding");
  if (scolding && s.MovesLocked != 1) fail("timers", "keys unlocked during a scolding");
  if (s.SceneStep > 0 && !t.enabled(TimerId::TimeScenetta))
    fail("timers", "SceneStep " + std::to_string(s.SceneStep) + " with the scene stopped");

  const WindowStates& w = device_.windows();
  const bool open = device_.dialog() != nullptr;
  if (open != w.dialogOpen) fail("windows", "the dialog's window and its state disagree");
  if (open && (w.gameShown || w.gameEnabled || s.GameRunning != 0))
    fail("windows", "the game window is live while the dialog is open");
  if (!open && !device_.ended() && (!w.gameShown || !w.gameEnabled))
    fail("windows", "the game window is hidden with no dialog open");
}

void InvariantChecker::noteCoverage() {
  const GameState& s = device_.game().state();
  const Scheduler& t = device_.game().scheduler();
  const bool sceneOn = t.enabled(TimerId::TimeScenetta);
  const bool scoldOn = t.enabled(TimerId::TimeSgridaBepo) || t.enabled(TimerId::TimeSgridaNando);
  if (running_ == 0 && s.GameRunning == 1) {
    ++coverage_.gamesStarted;
    doubled_ = false;
    past1000_ = false;
  }
  if (running_ == 1 && s.GameRunning == 0) ++coverage_.gameOvers;
  if (!scoldOn_ && scoldOn) ++coverage_.scoldings;
  if (!sceneOn_ && sceneOn) {
    ++coverage_.trucksFilled;
    heldCounted_ = false;
  }
  if (sceneOn && scoldOn && !heldCounted_) {
    ++coverage_.breakHeldByScolding;
    heldCounted_ = true;
  }
  if (s.TruckLoad > kTruckFull && s.TruckLoad > truckLoad_) ++coverage_.loadsPastEighth;
  if (s.GameRunning == 1 && s.PointMultiplier == 2 && !doubled_) {
    ++coverage_.doublePoints;
    doubled_ = true;
  }
  if (s.GameRunning == 1 && s.Score >= 1000 && !past1000_) {
    ++coverage_.scorePast1000;
    past1000_ = true;
  }
  if (!dialog_ && device_.dialog() != nullptr) ++coverage_.dialogsOpened;
  if (device_.ended() && coverage_.programEnded == 0) coverage_.programEnded = 1;
}

}  // namespace cw::soak
