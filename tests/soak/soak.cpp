#include "soak.h"

#include <cmath>
#include <ostream>
#include <random>
#include <sstream>

#include "keyremap/key_file.h"
#include "replay/scenario.h"

namespace cw::soak {
namespace {

bool isHandover(int step) {
  return step == 3 || step == 12 || step == 21 || step == 30 || step == 39 || step == 48;
}

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
    range("CratePos", s.CratePos[k], 0, 49);
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
  range("LoadSegment", s.LoadSegment, 50, 58);
  range("BepoPose", s.BepoPose, 1, 10);
  range("NandoPose", s.NandoPose, 1, 10);
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
    if (active_[k] == 1 && isHandover(pos_[k]) && s.CrateActive[k] == 1 &&
        s.CratePos[k] == pos_[k] + 1) {
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
    const int n = countShown(d, g, 1, 10);
    if (n != 1 || pose < 1 || pose > 10 || !d.shown(g, pose))
      fail("worker-pose", std::string(name) + " shows " + std::to_string(n) +
                              " poses; his pose field is " + std::to_string(pose));
  }

  // The line shows a crate exactly where a live crate stands, one crate per step.
  std::array<int, 50> slotAt{};
  for (int k = 1; k <= 6; ++k) {
    if (s.CrateActive[k] != 1) continue;
    const int p = s.CratePos[k];
    if (p < 0 || p > 49) continue;  // reported as a range fault
    if (slotAt[p] != 0)
      fail("crate-picture", "slots " + std::to_string(slotAt[p]) + " and " + std::to_string(k) +
                                " both at step " + std::to_string(p));
    slotAt[p] = k;
    if (p >= 1 && !d.shown(Group::Blocco, p))
      fail("crate-picture",
           "live crate " + std::to_string(k) + " at step " + std::to_string(p) + " is not shown");
  }
  for (int m = 0; m <= 49; ++m) {
    if (d.shown(Group::Blocco, m) && slotAt[m] == 0)
      fail("crate-picture", "a crate is shown at step " + std::to_string(m) + " where none is");
  }
  if (d.shown(Group::Blocco, 59))
    fail("truck-picture", "Blocco 59 is shown: the loading never uses it");

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
  if (s.TruckLoad > 8 && s.TruckLoad > truckLoad_) ++coverage_.loadsPastEighth;
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

// ---------------------------------------------------------------- the sessions

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

class Driver {
 public:
  Driver(std::uint64_t seed, const Profile& profile, const std::string& keyFilePath,
         const LineSink& record, const InvariantChecker::Report& report)
      : rng_(seed),
        profile_(profile),
        record_(record),
        options_{std::string(), keyFilePath},
        session_(options_, null_),
        checker_(session_.device(), report) {
    session_.setHandlerObserver(&checker_);
  }

  SessionResult run() {
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

 private:
  const Device& device() const { return session_.device(); }
  const GameState& state() const { return device().game().state(); }

  bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(rng_) < p; }
  int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
  Millis logUniform(double lo, double hi) {
    double x = std::uniform_real_distribution<double>(std::log(lo), std::log(hi))(rng_);
    return std::max<Millis>(1, static_cast<Millis>(std::exp(x)));
  }
  template <typename T, std::size_t N>
  const T& pick(const T (&items)[N]) {
    return items[uniform(0, static_cast<int>(N) - 1)];
  }

  void emit(const std::string& line) {
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

  void wait(Millis ms) { emit("wait " + std::to_string(ms)); }
  void emitTime() { emit(std::string("time ") + pick(kTimeTexts)); }

  // Which row of the game window's key table a code reaches: 0 Esc, 1 F1, 2 F2, then 3 Nando
  // up, 4 Nando down, 5 Bepo up, 6 Bepo down; -1 nothing. The first row that matches wins.
  int rowOf(int code) const {
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

  // A key that reaches `row`: the remapped one or its fixed alternative; -1 when a collision
  // has shadowed both.
  int keyFor(int row) {
    const GameState& s = state();
    const int mapped[] = {0, 0, 0, s.KeyNandoUp, s.KeyNandoDown, s.KeyBepoUp, s.KeyBepoDown};
    const int fixed[] = {0, 0, 0, 45, 46, 33, 34};
    int candidates[2] = {mapped[row], fixed[row]};
    if (chance(0.5)) std::swap(candidates[0], candidates[1]);
    for (int code : candidates)
      if (rowOf(code) == row) return code;
    return -1;
  }

  int anyKey() {
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

  void step() {
    if (device().dialog()) return dialogStep();
    // Odd inputs come at a rate per second of play, however often the player decides.
    if (chance(profile_.chaos * static_cast<double>(profile_.think) / 1000.0)) return chaosStep();
    if (state().GameRunning == 1) return playStep();
    idleStep();
  }

  void startGame() {
    const char* buttons[] = {"left", "right", "middle"};
    switch (uniform(0, 5)) {
      case 0:
      case 1: {
        const int key = chance(0.5) ? 112 : 113;
        emit("keydown " + std::to_string(key));
        if (chance(0.7)) {
          wait(logUniform(1, 400));
          emit("keyup " + std::to_string(key));
        }
        break;
      }
      case 2:
      case 3: {
        const std::string button = chance(0.5) ? "ButtonA" : "ButtonB";
        emit("mousedown " + button + " " + pick(buttons));
        if (chance(0.7)) {
          wait(logUniform(1, 400));
          // Released over the other button now and then: the release goes where it is told.
          emit("mouseup " + (chance(0.8) ? button : std::string("ButtonA")));
        }
        break;
      }
      default:
        emit(chance(0.5) ? "click ButtonA" : "click ButtonB");
        break;
    }
  }

  void idleStep() {
    const double r = std::uniform_real_distribution<double>(0, 1)(rng_);
    if (r < 0.08) return emit("click ButtonTime");
    if (r < 0.12) return emitTime();
    if (r < 0.55) return startGame();
    wait(logUniform(1, 120000));
  }

  void dialogStep() {
    const double r = std::uniform_real_distribution<double>(0, 1)(rng_);
    if (r < 0.2) return emit("close");
    if (r < 0.4) return emit("click Label" + std::to_string(uniform(1, 4)));
    if (r < 0.75) {
      // Any key is taken, also Esc, F1, F2 and keys another row holds: collisions on purpose.
      const GameState& s = state();
      const int pool[] = {
          27,          112,           113, 45,   46, 33, 34, s.KeyNandoUp, s.KeyNandoDown,
          s.KeyBepoUp, s.KeyBepoDown, 0,   65535};
      const int code =
          chance(0.5) ? pick(pool) : (chance(0.7) ? uniform(65, 90) : uniform(0, 65535));
      return emit("keydown " + std::to_string(code));
    }
    if (r < 0.8) return emit("keyup " + std::to_string(anyKey()));
    if (r < 0.85) return emit("mousedown ButtonA");  // the game window is disabled
    wait(logUniform(1, 20000));
  }

  // The level (1..3) a worker must stand at for the crate tested soonest at his steps.
  int wantedLevel(const std::array<int, 3>& steps) const {
    const GameState& s = state();
    int best = 1000, level = 0;
    for (int k = 1; k <= 6; ++k) {
      if (s.CrateActive[k] != 1) continue;
      for (int l = 0; l < 3; ++l) {
        const int p = s.CratePos[k];
        const int ticks = p <= steps[l] ? steps[l] - p + 1 : 1000;
        if (ticks < best) {
          best = ticks;
          level = l + 1;
        }
      }
    }
    return level;
  }

  // The level a worker should leave on purpose: the one where a crate will be tested in the
  // very tick that puts the eighth crate on the truck, after that crate (a higher slot), so
  // that the truck fills and the miss follows in the same tick. 0 when there is none.
  int levelToDrop(bool bepo) const {
    const GameState& s = state();
    if (s.TruckLoad != 7) return 0;
    int top = 0;
    for (int k = 1; k <= 6; ++k)
      if (s.CrateActive[k] == 1 && s.CratePos[k] == 49) top = k;
    if (top == 0) return 0;
    for (int k = top + 1; k <= 6; ++k) {
      if (s.CrateActive[k] != 1) continue;
      const int p = s.CratePos[k];
      if (bepo && (p == 3 || p == 21 || p == 39)) return p / 18 + 1;
      if (!bepo && (p == 12 || p == 30 || p == 48)) return p / 18 + 1;
    }
    return 0;
  }

  void steer(int pose, int hand, const std::array<int, 3>& steps, int upRow, int downRow) {
    if (chance(profile_.skill)) {
      int want = wantedLevel(steps);
      if (const int drop = sabotage_ ? levelToDrop(steps[0] == 3) : 0; drop != 0)
        want = drop == 1 ? 2 : 1;  // away from the crate
      if (want == 0) return;
      int row;
      if (pose > 6) {
        // A break scene that runs with the line moving leaves a worker sitting or scolded while
        // crates come: down takes him back among the levels (7 gives 5, 8 gives 6, 9 gives 7).
        row = downRow;
      } else if (const int level = (pose + 1) / 2; want != level) {
        row = want > level ? upRow : downRow;  // a move lowers lifted hands on the way
      } else if (pose % 2 == 1 || hand == 1) {
        return;  // in place, or the hand timer will stand him there
      } else {
        // Hands up with no hand timer to lower them (a move down from 8): step off and back.
        row = pose == 6 ? downRow : upRow;
      }
      const int key = keyFor(row);
      if (key >= 0) emit("keydown " + std::to_string(key));
    } else if (chance(0.3)) {
      const int key = keyFor(uniform(3, 6));
      if (key >= 0) emit("keydown " + std::to_string(key));
    }
  }

  void playStep() {
    // Whether to drop a crate near the end of this truck is decided once per truck.
    const int load = state().TruckLoad;
    if (load == 7 && lastLoad_ != 7) sabotage_ = chance(profile_.mischief);
    lastLoad_ = load;
    if (chance(0.5)) {
      steer(state().NandoPose, state().NandoHand, {12, 30, 48}, 3, 4);
      steer(state().BepoPose, state().BepoHand, {3, 21, 39}, 5, 6);
    } else {
      steer(state().BepoPose, state().BepoHand, {3, 21, 39}, 5, 6);
      steer(state().NandoPose, state().NandoHand, {12, 30, 48}, 3, 4);
    }
    const double think = static_cast<double>(profile_.think);
    if (chance(think / 1000.0 / profile_.attention))
      return wait(logUniform(1000, 300000));  // the player looks away
    wait(std::max<Millis>(1, static_cast<Millis>(think * (0.3 + 1.7 * chance(0.5)))));
  }

  void chaosStep() {
    const char* buttons[] = {"left", "right", "middle"};
    const char* others[] = {"Camion", "Omino", "Crash1", "IMGameA", "Ora", "duepunti", "Vuoto"};
    switch (uniform(0, 9)) {
      case 0:
        return emit("keydown " + std::to_string(anyKey()));
      case 1:
        return emit("keyup " + std::to_string(anyKey()));
      case 2:
        return emit(std::string(chance(0.5) ? "mousedown " : "mouseup ") +
                    (chance(0.5) ? "ButtonA " : "ButtonB ") + pick(buttons));
      case 3:
        return emit("click ButtonTime");
      case 4:
        return emit(std::string(chance(0.5) ? "click " : "mousedown ") + pick(others));
      case 5: {
        std::string line = "draw";
        const int n = uniform(1, 6);
        for (int i = 0; i < n; ++i) {
          const double v = chance(0.3) ? pick({0.0, 0.0833, 0.5, 0.999999})
                                       : std::uniform_real_distribution<double>(0, 1)(rng_);
          std::ostringstream text;
          text.precision(6);
          text << std::fixed << v;
          line += " " + text.str();
        }
        return emit(line);
      }
      case 6:
        return emitTime();
      case 7:
        return startGame();
      default:
        return wait(logUniform(1, 300000));
    }
  }

  std::mt19937_64 rng_;
  const Profile& profile_;
  const LineSink& record_;
  ReplayOptions options_;
  std::ostream null_{nullptr};
  ReplaySession session_;
  InvariantChecker checker_;
  std::size_t commands_ = 0;
  int lastLoad_ = 0;
  bool sabotage_ = false;
};

}  // namespace

Profile drawProfile(std::uint64_t seed) {
  std::mt19937_64 rng(seed ^ 0x9E3779B97F4A7C15ull);
  auto unit = [&rng] { return std::uniform_real_distribution<double>(0, 1)(rng); };
  Profile p;
  p.length = static_cast<Millis>(std::exp(std::log(120000.0) + unit() * std::log(30.0)));
  const Millis sounds[] = {0, 1, 55, 120, 250, 499, 500, 750, 1000, 2500, 7000};
  const double kind = unit();
  if (kind < 0.4) {
    // A good player: games run long, trucks fill, double points come, scores pass 1000.
    p.skill = unit() < 0.5 ? 1.0 : 0.999;
    p.think = 10 + static_cast<Millis>(unit() * 50);
    p.chaos = 0.002 + unit() * 0.02;
    p.moveSound = sounds[rng() % 5];
    p.mischief = unit() < 0.5 ? 0.5 : 0.0;
    p.attention = 1800;
  } else if (kind < 0.7) {
    p.skill = 0.8 + unit() * 0.19;
    p.think = 20 + static_cast<Millis>(unit() * 200);
    p.chaos = 0.05 + unit() * 0.5;
    p.moveSound = sounds[rng() % 11];
    p.mischief = unit() * 0.2;
    p.attention = 60;
  } else {
    p.skill = unit() * 0.6;
    p.think = 10 + static_cast<Millis>(unit() * 400);
    p.chaos = 1 + unit() * 4;
    p.attention = 10;
    p.moveSound = sounds[rng() % 11];
  }
  p.quitAtEnd = unit() < 0.1;
  const double k = unit();
  if (k < 0.2) {
    // A valid file, its keys often colliding with each other or with Esc, F1 and F2.
    const int pool[] = {81, 65, 80, 76, 27, 112, 113, 45, 46, 33, 34, 0, 65535, 38, 40, 75};
    KeySet keys;
    for (int& key : keys) key = pool[rng() % 16];
    p.keyFile = formatKeyFile(keys);
  } else if (k < 0.3) {
    std::string junk(rng() % 64, '\0');
    for (char& c : junk) c = static_cast<char>(rng());
    const std::string kinds[] = {junk,
                                 "81\n65\n",
                                 "81\r\n65\r\n80\r\n76",
                                 "-1\n2\n3\n4\n",
                                 std::string(10000, '9'),
                                 "70\n88\n38\n40\ntrailing words\n"};
    p.keyFile = kinds[rng() % 6];
  }
  return p;
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

// ---------------------------------------------------------------- shrinking

std::vector<std::string> shrink(std::vector<std::string> lines,
                                const std::function<bool(const std::vector<std::string>&)>& fails,
                                Clock::time_point deadline) {
  auto timeLeft = [&deadline] { return Clock::now() < deadline; };
  // Two waits in a row are one wait: the same ticks run in the same order.
  auto merge = [&] {
    std::vector<std::string> merged;
    for (const std::string& l : lines) {
      if (l.rfind("wait ", 0) == 0 && !merged.empty() && merged.back().rfind("wait ", 0) == 0)
        merged.back() =
            "wait " + std::to_string(std::stoll(merged.back().substr(5)) + std::stoll(l.substr(5)));
      else
        merged.push_back(l);
    }
    if (merged.size() < lines.size() && fails(merged)) lines = std::move(merged);
  };
  bool progress = true;
  while (progress && timeLeft()) {
    progress = false;
    merge();
    // Drop runs of lines, long runs first.
    for (std::size_t chunk = std::max<std::size_t>(1, lines.size() / 2); timeLeft(); chunk /= 2) {
      for (std::size_t i = 0; i + chunk <= lines.size() && timeLeft();) {
        std::vector<std::string> candidate(lines.begin(), lines.begin() + i);
        candidate.insert(candidate.end(), lines.begin() + i + chunk, lines.end());
        if (fails(candidate)) {
          lines = std::move(candidate);
          progress = true;
        } else {
          i += chunk;
        }
      }
      if (chunk == 1) break;
    }
    // Shorten waits: halve each while the fault stays.
    for (std::size_t i = 0; i < lines.size() && timeLeft(); ++i) {
      if (lines[i].rfind("wait ", 0) != 0) continue;
      long long ms = std::stoll(lines[i].substr(5));
      while (ms > 1 && timeLeft()) {
        std::vector<std::string> candidate = lines;
        candidate[i] = "wait " + std::to_string(ms / 2);
        if (!fails(candidate)) break;
        lines = std::move(candidate);
        ms /= 2;
        progress = true;
      }
    }
  }
  return lines;
}

}  // namespace cw::soak
