// The crate line: the generator, the crates' travel, the truck and the halting of the belts.
#include <array>

#include "shell/game_window.h"

namespace cw {
namespace {

// How far ahead crate o must be (strictly beyond this step) before crate c may start. The table
// is deliberately irregular: it is the rhythm the line was tuned to.
constexpr int kNone = 0;
constexpr std::array<std::array<int, 7>, 7> kLaunchThreshold{{
    {kNone, kNone, kNone, kNone, kNone, kNone, kNone},
    {kNone, kNone, 3, 5, 3, 39, 3},
    {kNone, 3, kNone, 3, 9, 5, 3},
    {kNone, 9, 15, kNone, 3, 3, 3},
    {kNone, 3, 9, 5, kNone, 9, 3},
    {kNone, 3, 39, 5, 9, kNone, 3},
    {kNone, 43, 43, 43, 43, 43, kNone},
}};

bool isNandoHandover(int step) {
  return step == 12 || step == 30 || step == 48;
}
bool isBepoHandover(int step) {
  return step == 3 || step == 21 || step == 39;
}

constexpr std::array<TimerId, 7> kCrateTimer{
    TimerId::TimeCassa1, TimerId::TimeCassa1, TimerId::TimeCassa2, TimerId::TimeCassa3,
    TimerId::TimeCassa4, TimerId::TimeCassa5, TimerId::TimeCassa6};

}  // namespace

void GameWindow::TimeEngine_Timer() {
  if (s_.GameRunning != 1) return;

  // Speed-up: each test stands on its own, so the last one that holds wins.
  if (s_.GameMode == "A") {
    if (s_.Score > 40) s_.SpawnRange = 6;
    if (s_.Score > 80) s_.SpawnRange = 8;
    if (s_.Score > 120) s_.SpawnRange = 10;
    if (s_.Score > 160) s_.SpawnRange = 12;
  } else if (s_.GameMode == "B") {
    if (s_.Score > 40) s_.SpawnRange = 8;
    if (s_.Score > 80) s_.SpawnRange = 10;
    if (s_.Score > 120) s_.SpawnRange = 12;
  }

  const double r = io_.random.draw();
  s_.SpawnRoll = static_cast<int>(r * s_.SpawnRange + 1);
  if (s_.SpawnRoll > s_.SpawnRange) s_.SpawnRoll = s_.SpawnRange;  // r rounding up to 1

  // Odd rolls 1, 3, ..., 11 choose crates 1 to 6; even rolls choose nothing.
  if (s_.SpawnRoll % 2 == 1 && s_.SpawnRoll <= 11) {
    const int c = (s_.SpawnRoll + 1) / 2;
    s_.ClearCount = 0;
    for (int o = 1; o <= 6; ++o) {
      if (o == c) continue;
      const int pos = s_.CratePos[o];
      // Steps 18 and 36 block every launch: a crate there is three steps short of Bepo's
      // middle and top hand-over, as a new crate is three steps short of his bottom one.
      if (s_.CrateActive[o] == 0 ||
          (s_.CrateActive[o] == 1 && pos > kLaunchThreshold[c][o] && pos != 18 && pos != 36))
        ++s_.ClearCount;
    }
    if (s_.ClearCount == 5 && s_.CrateActive[c] == 0) s_.CrateActive[c] = 1;
  }

  // Crate 6 does not count for the running sound.
  if (s_.LinePaused == 0) {
    for (int o = 1; o <= 5; ++o) {
      if (s_.CrateActive[o] == 1) {
        playSound(kSoundEnemy, kSoundAsync);
        break;
      }
    }
  }
}

void GameWindow::CrateTick(int k) {
  if (s_.CrateActive[k] != 1 || s_.GameRunning != 1) return;

  // The hand-over test falls on the tick after the crate arrived: the worker has one period.
  bool missed = false;
  const int pos = s_.CratePos[k];
  if (isNandoHandover(pos)) {
    if (s_.NandoPose == s_.HandoverLevel[pos]) {
      s_.AwardAmount = 1;
      AwardPoints();
      LiftNando();
    } else {
      HandleNandoMiss();
      missed = true;
    }
  }
  if (isBepoHandover(pos)) {
    if (s_.BepoPose == s_.HandoverLevel[pos]) {
      s_.AwardAmount = 1;
      AwardPoints();
      LiftBepo();
    } else {
      HandleBepoMiss();
      missed = true;
    }
  }
  if (missed) return;  // the miss has hidden the crate and freed its slot

  display_.hide(Group::Blocco, s_.CratePos[k]);
  if (s_.CratePos[k] < 49) {
    ++s_.CratePos[k];
    display_.show(Group::Blocco, s_.CratePos[k]);
  } else {
    s_.CratePos[k] = 0;
    LoadTruck();
    s_.CrateActive[k] = 0;
  }
}

void GameWindow::LoadTruck() {
  // Crates reach the truck at least four steps apart, so a slide is over before the next crate
  // comes, unless long synchronous sounds have folded several slide ticks into one while the
  // crates kept their pace. Then the crate still sliding drops into its place first: otherwise
  // the new crate would start from the old one's half-way place, one loaded crate would vanish
  // and the next would slide past the truck's last place.
  while (timers_.enabled(TimerId::TimeAllineaCasse)) TimeAllineaCasse_Timer();
  // Crates go alternately into the left column (mouth 50) and the right one (mouth 55).
  if (s_.TruckLoad == 1 || s_.TruckLoad == 3 || s_.TruckLoad == 5 || s_.TruckLoad == 7)
    s_.LoadSegment += 5;
  ++s_.TruckLoad;
  display_.show(Group::Blocco, s_.LoadSegment);
  s_.SlideSteps = 1;
  timers_.enable(TimerId::TimeAllineaCasse);
}

void GameWindow::TimeAllineaCasse_Timer() {
  switch (s_.TruckLoad) {
    case 1:
      s_.SlideSteps = 3;
      break;
    case 2:
    case 3:
      s_.SlideSteps = 2;
      break;
    case 4:
    case 5:
      s_.SlideSteps = 1;
      break;
    case 6:
    case 7:
      s_.SlideSteps = 0;
      break;
    default:
      break;  // loads past the eighth keep the 1 that LoadTruck set
  }
  if (s_.TruckLoad == 8) {
    timers_.disable(TimerId::TimeAllineaCasse);
    StartBreak();
    return;
  }
  display_.hide(Group::Blocco, s_.LoadSegment);
  ++s_.LoadSegment;
  display_.show(Group::Blocco, s_.LoadSegment);
  if (s_.TruckLoad > 5) {
    display_.show(Group::Omino);
    s_.ExhaustOn = 1;
  } else {
    display_.hide(Group::Omino);
    s_.ExhaustOn = 0;
  }
  if (s_.SlideCount < s_.SlideSteps) {
    ++s_.SlideCount;
  } else {
    s_.SlideCount = 0;
    s_.LoadSegment = 50;
    timers_.disable(TimerId::TimeAllineaCasse);
  }
}

void GameWindow::StartBreak() {
  s_.MovesLocked = 1;
  PauseLine();
  s_.AwardAmount = 10;
  AwardPoints();
  s_.RestFrame = 0;
  timers_.enable(TimerId::TimeScenetta);
}

void GameWindow::PauseLine() {
  s_.LinePaused = 1;
  for (int k = 1; k <= 6; ++k) timers_.disable(kCrateTimer[k]);
}

void GameWindow::ResumeLine() {
  s_.LinePaused = 0;
  for (int k = 1; k <= 6; ++k) timers_.enable(kCrateTimer[k]);
}

void GameWindow::ClearBeltEnds() {
  for (s_.LoopIndex = 1; s_.LoopIndex <= s_.CrateCount; ++s_.LoopIndex) {
    const int i = s_.LoopIndex;
    // Each test frees the crate's own segment: removing a crate must never blank another one.
    if (s_.CrateActive[i] == 1 && s_.CratePos[i] > 43) {
      display_.hide(Group::Blocco, s_.CratePos[i]);
      s_.CratePos[i] = 0;
      s_.CrateActive[i] = 0;
    }
    if (s_.CrateActive[i] == 1 && s_.CratePos[i] < 5) {
      display_.hide(Group::Blocco, s_.CratePos[i]);
      s_.CratePos[i] = 0;
      s_.CrateActive[i] = 0;
    }
    if (s_.CrateActive[i] == 1 &&
        (isBepoHandover(s_.CratePos[i]) || isNandoHandover(s_.CratePos[i]))) {
      display_.hide(Group::Blocco, s_.CratePos[i]);
      s_.CratePos[i] = 0;
      s_.CrateActive[i] = 0;
    }
  }
}

}  // namespace cw
