// The crate line: the generator, the crates' travel, the truck and the halting of the belts.
#include <array>

#include "core/shell/game_window.h"
#include "core/shell/line_geometry.h"

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
      if (s_.CrateActive[o] == 0 ||
          (s_.CrateActive[o] == 1 && pos > kLaunchThreshold[c][o] && !isBlockingStep(pos)))
        ++s_.ClearCount;
    }
    if (s_.ClearCount == 5 && s_.CrateActive[c] == 0) s_.CrateActive[c] = 1;
  }

  // QUIRK: crate 6 does not count for the running sound.
  if (s_.LinePaused == 0) {
    for (int o = 1; o <= 5; ++o) {
      if (s_.CrateActive[o] == 1) {
        playSound(kSoundEnemy, kSoundAsync);
        break;
      }
    }
  }
}

void GameWindow::crateTick(int k) {
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
  if (s_.CratePos[k] < kLastStep) {
    ++s_.CratePos[k];
    display_.show(Group::Blocco, s_.CratePos[k]);
  } else {
    s_.CratePos[k] = kEntryStep;
    LoadTruck();
    s_.CrateActive[k] = 0;
  }
}

void GameWindow::LoadTruck() {
  // MENDED: crates reach the truck at least four steps apart, so a slide is over before the next
  // crate comes, unless long synchronous sounds have folded several slide ticks into one while the
  // crates kept their pace. Then the crate still sliding drops into its place first: otherwise
  // the new crate would start from the old one's half-way place, one loaded crate would vanish
  // and the next would slide past the truck's last place.
  while (timers_.enabled(TimerId::TimeAllineaCasse)) TimeAllineaCasse_Timer();
  // Crates go alternately into the left column and the right one. QUIRK: loads past the
  // eighth (a truck filled while a scolding holds the break) all go into the left column.
  if (s_.TruckLoad % 2 == 1 && s_.TruckLoad < kTruckFull) s_.LoadSegment += kTruckColumnStep;
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
  if (s_.TruckLoad == kTruckFull) {
    timers_.disable(TimerId::TimeAllineaCasse);
    StartBreak();
    return;
  }
  showInstead(Group::Blocco, s_.LoadSegment, s_.LoadSegment + 1);
  // From the sixth crate on, the driver stands by the truck and its engine runs.
  if (s_.TruckLoad >= kTruckDriverFrom) {
    display_.show(Group::Omino);
    s_.ExhaustOn = 1;
  } else {
    // QUIRK: the exhaust stops with its last puff still lit.
    display_.hide(Group::Omino);
    s_.ExhaustOn = 0;
  }
  if (s_.SlideCount < s_.SlideSteps) {
    ++s_.SlideCount;
  } else {
    s_.SlideCount = 0;
    s_.LoadSegment = kTruckLeftMouth;
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

// The crates at the belt ends and at the hand-over steps go; those between stay where they
// stood.
void GameWindow::ClearBeltEnds() {
  for (s_.LoopIndex = 1; s_.LoopIndex <= s_.CrateCount; ++s_.LoopIndex) {
    const int pos = s_.CratePos[s_.LoopIndex];
    if (s_.CrateActive[s_.LoopIndex] == 1 &&
        (pos > kTopBeltEndAfter || pos < kBottomBeltEndBefore || isBepoHandover(pos) ||
         isNandoHandover(pos)))
      freeSlot(s_.LoopIndex);
  }
}

// MENDED: each freed slot hides its own crate's segment; removing a crate never blanks another.
void GameWindow::freeSlot(int k) {
  display_.hide(Group::Blocco, s_.CratePos[k]);
  s_.CratePos[k] = kEntryStep;
  s_.CrateActive[k] = 0;
}

}  // namespace cw
