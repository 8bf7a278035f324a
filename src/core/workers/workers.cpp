// The workers: keys and moves, lifts and the hand timer, misses and scolding, the truck's
// exhaust and the break scene.
#include "core/keyremap/key_file.h"
#include "core/shell/game_window.h"
#include "core/shell/line_geometry.h"

namespace cw {
namespace {

// The break scene, step by step (SceneStep at the tick; the steps not named show nothing).
constexpr int kSceneDriverGone = 1;
constexpr int kSceneTruckLeaves = 2;
constexpr int kSceneFirstRest = 3;
constexpr int kSceneLastRest = 9;
constexpr int kSceneBossesCall = 10;
constexpr int kSceneSteps = 14;  // the tick that brings SceneStep to this ends the scene

}  // namespace

void GameWindow::Form_KeyDown(int keyCode) {
  // QUIRK: the first row whose key matches is the only one acted on, even when its conditions then
  // fail: a movement key remapped onto Esc, F1 or F2, or onto an earlier movement key, never
  // reaches its own row.
  const bool canMove = s_.MovesLocked == 0 && s_.GameRunning == 1;
  if (sameKey(keyCode, vk::Escape)) {
    io_.window.endProgram();
  } else if (sameKey(keyCode, vk::F1)) {
    if (s_.GameRunning == 0) pressDeviceButton(Group::ButtonA, &GameWindow::StartGameA);
  } else if (sameKey(keyCode, vk::F2)) {
    if (s_.GameRunning == 0) pressDeviceButton(Group::ButtonB, &GameWindow::StartGameB);
  } else if (sameKey(keyCode, s_.KeyNandoUp) || sameKey(keyCode, vk::Insert)) {
    if (canMove && s_.NandoPose < kTopLevel)
      moveWorker(s_.NandoPose, s_.NandoHand, s_.BepoHand, Group::Nando, +kLevelStep);
  } else if (sameKey(keyCode, s_.KeyNandoDown) || sameKey(keyCode, vk::Delete)) {
    if (canMove && s_.NandoPose >= kMiddleLevel)
      moveWorker(s_.NandoPose, s_.NandoHand, s_.BepoHand, Group::Nando, -kLevelStep);
  } else if (sameKey(keyCode, s_.KeyBepoUp) || sameKey(keyCode, vk::PageUp)) {
    if (canMove && s_.BepoPose < kTopLevel)
      moveWorker(s_.BepoPose, s_.BepoHand, s_.NandoHand, Group::Bepo, +kLevelStep);
  } else if (sameKey(keyCode, s_.KeyBepoDown) || sameKey(keyCode, vk::PageDown)) {
    if (canMove && s_.BepoPose >= kMiddleLevel)
      moveWorker(s_.BepoPose, s_.BepoHand, s_.NandoHand, Group::Bepo, -kLevelStep);
  }
}

void GameWindow::Form_KeyUp(int keyCode) {
  if (sameKey(keyCode, vk::F1)) display_.show(Group::ButtonA);
  if (sameKey(keyCode, vk::F2)) display_.show(Group::ButtonB);
}

void GameWindow::moveWorker(int& pose, int& hand, int otherHand, Group group, int delta) {
  display_.hide(group, pose);
  if (isLifted(pose)) {
    // The hands come down with the move.
    --pose;
    hand = 0;
    if (otherHand == 0) timers_.disable(TimerId::toglimano);
  }
  pose += delta;
  playSound(kSoundMove, kSoundWait);  // the move shows once its sound has played
  display_.show(group, pose);
}

void GameWindow::LiftNando() {
  lift(s_.NandoPose, s_.NandoHand, Group::Nando);
}
void GameWindow::LiftBepo() {
  lift(s_.BepoPose, s_.BepoHand, Group::Bepo);
}

void GameWindow::lift(int& pose, int& hand, Group group) {
  showInstead(group, pose, pose + 1);
  hand = 1;
  // Already on when the other worker lifted moments ago: both hands come down together.
  timers_.enable(TimerId::toglimano);
}

void GameWindow::toglimano_Timer() {
  lowerHands(s_.NandoPose, s_.NandoHand, Group::Nando);
  lowerHands(s_.BepoPose, s_.BepoHand, Group::Bepo);
  timers_.disable(TimerId::toglimano);
}

// MENDED: only a lifted pose is lowered. A break scene may have stood the worker somewhere else
// since his lift; lowering that pose would pick a wrong picture or none at all.
void GameWindow::lowerHands(int& pose, int& hand, Group group) {
  if (hand != 1) return;
  if (isLifted(pose)) showInstead(group, pose, pose - 1);
  hand = 0;
}

void GameWindow::breakCrate(int slot, Group crash, TimerId scolding) {
  freeSlot(slot);
  display_.show(crash);
  PauseLine();
  playSound(kSoundDead, kSoundAsync);
  s_.BreakAllowed = 0;
  timers_.enable(scolding);
}

// QUIRK: a miss breaks every crate standing at any of that worker's hand-over steps, not only
// the one that was dropped: the worker is away from all of them.
void GameWindow::HandleNandoMiss() {
  s_.MovesLocked = 1;
  for (int i = 1; i <= s_.CrateCount; ++i) {
    if (s_.CrateActive[i] == 1 && isNandoHandover(s_.CratePos[i]))
      breakCrate(i, Group::Crash3, TimerId::TimeSgridaNando);
  }
}

// The bottom hand-over breaks into the crash picture by the entry, the two above into the one
// on the middle belt.
void GameWindow::HandleBepoMiss() {
  s_.MovesLocked = 1;
  for (int i = 1; i <= s_.CrateCount; ++i) {
    if (s_.CrateActive[i] != 1) continue;
    const int pos = s_.CratePos[i];
    if (pos == kBepoHandovers[0])
      breakCrate(i, Group::Crash1, TimerId::TimeSgridaBepo);
    else if (isBepoHandover(pos))
      breakCrate(i, Group::Crash2, TimerId::TimeSgridaBepo);
  }
}

void GameWindow::TimeSgridaBepo_Timer() {
  if (s_.ScoldTicks < 7) {
    display_.hide(Group::Crash1);
    display_.hide(Group::Crash2);
  }
  scoldTick(s_.BepoPose, s_.BepoScoldFrame, Group::Bepo, Group::CapoBepo, TimerId::TimeSgridaBepo);
}

void GameWindow::TimeSgridaNando_Timer() {
  if (s_.ScoldTicks < 7) display_.hide(Group::Crash3);
  scoldTick(s_.NandoPose, s_.NandoScoldFrame, Group::Nando, Group::CapoNando,
            TimerId::TimeSgridaNando);
}

// Seven ticks of the boss and the worker in turn between their two pictures, then the line
// starts again and the miss counts.
void GameWindow::scoldTick(int& pose, int& frame, Group worker, Group boss, TimerId timer) {
  if (s_.ScoldTicks < 7) {
    showInstead(worker, pose, kScoldPose + frame);
    showInstead(boss, s_.BossPose, frame);
    ++s_.ScoldTicks;
    frame = 1 - frame;
    return;
  }
  s_.ScoldTicks = 0;
  timers_.disable(timer);
  frame = 0;
  s_.MovesLocked = 0;
  ResumeLine();
  s_.BreakAllowed = 1;
  CountMiss();
  if (s_.Misses < 3) {
    // The game goes on: the worker starts again from the bottom level.
    showInstead(worker, pose, kBottomLevel);
    display_.hide(boss, s_.BossPose);
    s_.BossPose = 0;
  } else {
    // QUIRK: game over: the scolded worker and his boss stay on the screen until the next start.
    s_.Misses = 0;
  }
}

void GameWindow::CountMiss() {
  ++s_.Misses;
  s_.PointMultiplier = 1;
  if (s_.Misses < 3) {
    ClearBeltEnds();
    display_.show(Group::Vita, s_.Misses);
  } else {
    display_.show(Group::Vita, s_.Misses);
    PauseLine();
    s_.GameRunning = 0;
    s_.MovesLocked = 1;
  }
}

// QUIRK: the exhaust looks only at its own flag, so it keeps puffing after a game over and into
// the next game until a slide move switches it off.
void GameWindow::Scarico_Timer() {
  if (s_.ExhaustOn != 1) return;
  flip(Group::Fumo, s_.ExhaustFrame);
}

// QUIRK: a scolding holds the scene where it stands, and nothing else stops it: a game that
// ends meanwhile leaves the scene to play on into the next one.
void GameWindow::TimeScenetta_Timer() {
  if (s_.BreakAllowed != 1) return;
  if (s_.SceneStep == kSceneDriverGone) display_.hide(Group::Omino);
  if (s_.SceneStep == kSceneTruckLeaves) truckLeaves();
  if (s_.SceneStep >= kSceneFirstRest && s_.SceneStep <= kSceneLastRest) workersRest();
  if (s_.SceneStep == kSceneBossesCall) truckBackBossesCall();
  ++s_.SceneStep;
  if (s_.SceneStep == kSceneSteps) backToWork();
}

// The truck drives off with its load.
void GameWindow::truckLeaves() {
  display_.hide(Group::Camion);
  for (s_.SceneLoopIndex = kTruckFirstLoaded; s_.SceneLoopIndex <= kTruckLastLoaded;
       ++s_.SceneLoopIndex)
    display_.hide(Group::Blocco, s_.SceneLoopIndex);
}

// The exhaust dies away; the smoke puffs and both workers sit, in turn between two pictures.
void GameWindow::workersRest() {
  display_.hide(Group::Fumo, s_.ExhaustFrame);
  s_.ExhaustOn = 0;
  s_.ExhaustFrame = 0;
  flip(Group::Fumo2, s_.RestFrame);
  showInstead(Group::Bepo, s_.BepoPose, kRestPose + s_.RestFrame);
  showInstead(Group::Nando, s_.NandoPose, kRestPose + s_.RestFrame);
}

// The empty truck is back and both bosses call their workers, who stand up scolded.
void GameWindow::truckBackBossesCall() {
  display_.hide(Group::Fumo2, s_.RestFrame);
  s_.RestFrame = 0;
  display_.show(Group::Camion);
  display_.hide(Group::Bepo, s_.BepoPose);
  display_.hide(Group::Nando, s_.NandoPose);
  s_.BepoPose = kScoldPose;
  s_.NandoPose = kScoldPose;
  display_.show(Group::Bepo, kScoldPose);
  display_.show(Group::Nando, kScoldPose);
  display_.show(Group::CapoBepo, 0);
  display_.show(Group::CapoNando, 0);
}

// The workers go back to their places, the truck is emptied and the line starts again.
void GameWindow::backToWork() {
  s_.SceneStep = 0;
  s_.TruckLoad = 0;
  s_.LoadSegment = kTruckLeftMouth;
  showInstead(Group::Bepo, s_.BepoPose, kBepoStartPose);
  showInstead(Group::Nando, s_.NandoPose, kNandoStartPose);
  display_.hide(Group::CapoBepo, 0);
  display_.hide(Group::CapoNando, 0);
  s_.MovesLocked = 0;
  ClearBeltEnds();
  ResumeLine();
  timers_.disable(TimerId::TimeScenetta);
}

}  // namespace cw
