// The workers: keys and moves, lifts and the hand timer, misses and scolding, the truck's
// exhaust and the break scene.
#include "shell/game_window.h"

namespace cw {
namespace {

bool isLifted(int pose) {
  return pose == 2 || pose == 4 || pose == 6;
}

// Key codes are compared as the 16-bit values the key file and the keyboard deliver.
bool sameKey(int a, int b) {
  return (a & 0xFFFF) == (b & 0xFFFF);
}

}  // namespace

void GameWindow::Form_KeyDown(int keyCode) {
  // The first row whose key matches is the only one acted on, even when its conditions then
  // fail: a movement key remapped onto Esc, F1 or F2, or onto an earlier movement key, never
  // reaches its own row.
  const bool canMove = s_.MovesLocked == 0 && s_.GameRunning == 1;
  if (sameKey(keyCode, vk::Escape)) {
    io_.window.endProgram();
  } else if (sameKey(keyCode, vk::F1)) {
    if (s_.GameRunning == 0) PressDeviceButton(Group::ButtonA, &GameWindow::StartGameA);
  } else if (sameKey(keyCode, vk::F2)) {
    if (s_.GameRunning == 0) PressDeviceButton(Group::ButtonB, &GameWindow::StartGameB);
  } else if (sameKey(keyCode, s_.KeyNandoUp) || sameKey(keyCode, vk::Insert)) {
    if (canMove && s_.NandoPose <= 4)
      MoveWorker(s_.NandoPose, s_.NandoHand, s_.BepoHand, Group::Nando, +2);
  } else if (sameKey(keyCode, s_.KeyNandoDown) || sameKey(keyCode, vk::Delete)) {
    if (canMove && s_.NandoPose >= 3)
      MoveWorker(s_.NandoPose, s_.NandoHand, s_.BepoHand, Group::Nando, -2);
  } else if (sameKey(keyCode, s_.KeyBepoUp) || sameKey(keyCode, vk::PageUp)) {
    if (canMove && s_.BepoPose <= 4)
      MoveWorker(s_.BepoPose, s_.BepoHand, s_.NandoHand, Group::Bepo, +2);
  } else if (sameKey(keyCode, s_.KeyBepoDown) || sameKey(keyCode, vk::PageDown)) {
    if (canMove && s_.BepoPose >= 3)
      MoveWorker(s_.BepoPose, s_.BepoHand, s_.NandoHand, Group::Bepo, -2);
  }
}

void GameWindow::Form_KeyUp(int keyCode) {
  if (sameKey(keyCode, vk::F1)) display_.show(Group::ButtonA);
  if (sameKey(keyCode, vk::F2)) display_.show(Group::ButtonB);
}

void GameWindow::MoveWorker(int& pose, int& hand, int otherHand, Group group, int delta) {
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
  Lift(s_.NandoPose, s_.NandoHand, Group::Nando);
}
void GameWindow::LiftBepo() {
  Lift(s_.BepoPose, s_.BepoHand, Group::Bepo);
}

void GameWindow::Lift(int& pose, int& hand, Group group) {
  display_.hide(group, pose);
  ++pose;
  display_.show(group, pose);
  hand = 1;
  // Already on when the other worker lifted moments ago: both hands come down together.
  timers_.enable(TimerId::toglimano);
}

void GameWindow::toglimano_Timer() {
  LowerHands(s_.NandoPose, s_.NandoHand, Group::Nando);
  LowerHands(s_.BepoPose, s_.BepoHand, Group::Bepo);
  timers_.disable(TimerId::toglimano);
}

// Only a lifted pose is lowered. A break scene may have stood the worker somewhere else since
// his lift; lowering that pose would pick a wrong picture or none at all.
void GameWindow::LowerHands(int& pose, int& hand, Group group) {
  if (hand != 1) return;
  if (isLifted(pose)) {
    display_.hide(group, pose);
    --pose;
    display_.show(group, pose);
  }
  hand = 0;
}

void GameWindow::BreakCrate(int slot, Group crash, TimerId scolding) {
  display_.hide(Group::Blocco, s_.CratePos[slot]);
  s_.CratePos[slot] = 0;
  s_.CrateActive[slot] = 0;
  display_.show(crash);
  PauseLine();
  playSound(kSoundDead, kSoundAsync);
  s_.BreakAllowed = 0;
  timers_.enable(scolding);
}

// A miss breaks every crate standing at any of that worker's hand-over steps, not only the
// one that was dropped: the worker is away from all of them.
void GameWindow::HandleNandoMiss() {
  s_.MovesLocked = 1;
  for (int i = 1; i <= s_.CrateCount; ++i) {
    const int pos = s_.CratePos[i];
    if (s_.CrateActive[i] == 1 && (pos == 48 || pos == 30 || pos == 12))
      BreakCrate(i, Group::Crash3, TimerId::TimeSgridaNando);
  }
}

void GameWindow::HandleBepoMiss() {
  s_.MovesLocked = 1;
  for (int i = 1; i <= s_.CrateCount; ++i) {
    if (s_.CrateActive[i] != 1) continue;
    if (s_.CratePos[i] == 21 || s_.CratePos[i] == 39)
      BreakCrate(i, Group::Crash2, TimerId::TimeSgridaBepo);
    if (s_.CratePos[i] == 3 && s_.CrateActive[i] == 1)
      BreakCrate(i, Group::Crash1, TimerId::TimeSgridaBepo);
  }
}

void GameWindow::TimeSgridaBepo_Timer() {
  if (s_.ScoldTicks < 7) {
    display_.hide(Group::Crash1);
    display_.hide(Group::Crash2);
  }
  ScoldTick(s_.BepoPose, s_.BepoScoldFrame, Group::Bepo, Group::CapoBepo, TimerId::TimeSgridaBepo);
}

void GameWindow::TimeSgridaNando_Timer() {
  if (s_.ScoldTicks < 7) display_.hide(Group::Crash3);
  ScoldTick(s_.NandoPose, s_.NandoScoldFrame, Group::Nando, Group::CapoNando,
            TimerId::TimeSgridaNando);
}

void GameWindow::ScoldTick(int& pose, int& frame, Group worker, Group boss, TimerId timer) {
  if (s_.ScoldTicks < 7) {
    display_.hide(worker, pose);
    pose = 9 + frame;
    display_.show(worker, pose);
    display_.hide(boss, s_.BossPose);
    s_.BossPose = frame;
    display_.show(boss, s_.BossPose);
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
    display_.hide(worker, pose);
    pose = 1;
    display_.show(worker, 1);
    display_.hide(boss, s_.BossPose);
    s_.BossPose = 0;
  } else {
    // Game over: the scolded worker and his boss stay on the screen.
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

// The exhaust looks only at its own flag, so it keeps puffing after a game over and into the
// next game until a slide move switches it off.
void GameWindow::Scarico_Timer() {
  if (s_.ExhaustOn != 1) return;
  display_.hide(Group::Fumo, s_.ExhaustFrame);
  s_.ExhaustFrame = 1 - s_.ExhaustFrame;
  display_.show(Group::Fumo, s_.ExhaustFrame);
}

void GameWindow::TimeScenetta_Timer() {
  // A scolding holds the scene where it stands.
  if (s_.BreakAllowed != 1) return;
  switch (s_.SceneStep) {
    case 1:
      display_.hide(Group::Omino);
      break;
    case 2:
      display_.hide(Group::Camion);
      for (s_.SceneLoopIndex = 51; s_.SceneLoopIndex <= 58; ++s_.SceneLoopIndex)
        display_.hide(Group::Blocco, s_.SceneLoopIndex);
      break;
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
    case 9:
      display_.hide(Group::Fumo, s_.ExhaustFrame);
      s_.ExhaustOn = 0;
      s_.ExhaustFrame = 0;
      display_.hide(Group::Fumo2, s_.RestFrame);
      s_.RestFrame = 1 - s_.RestFrame;
      display_.show(Group::Fumo2, s_.RestFrame);
      display_.hide(Group::Bepo, s_.BepoPose);
      s_.BepoPose = s_.RestFrame + 7;
      display_.show(Group::Bepo, s_.BepoPose);
      display_.hide(Group::Nando, s_.NandoPose);
      s_.NandoPose = s_.RestFrame + 7;
      display_.show(Group::Nando, s_.NandoPose);
      break;
    case 10:
      display_.hide(Group::Fumo2, s_.RestFrame);
      s_.RestFrame = 0;
      display_.show(Group::Camion);
      display_.hide(Group::Bepo, s_.BepoPose);
      display_.hide(Group::Nando, s_.NandoPose);
      s_.BepoPose = 9;
      s_.NandoPose = 9;
      display_.show(Group::Bepo, 9);
      display_.show(Group::Nando, 9);
      display_.show(Group::CapoBepo, 0);
      display_.show(Group::CapoNando, 0);
      break;
    default:
      break;
  }
  ++s_.SceneStep;
  if (s_.SceneStep != 14) return;

  s_.SceneStep = 0;
  s_.TruckLoad = 0;
  s_.LoadSegment = 50;
  display_.hide(Group::Bepo, s_.BepoPose);
  s_.BepoPose = 3;
  display_.show(Group::Bepo, 3);
  display_.hide(Group::Nando, s_.NandoPose);
  s_.NandoPose = 1;
  display_.show(Group::Nando, 1);
  display_.hide(Group::CapoBepo, 0);
  display_.hide(Group::CapoNando, 0);
  s_.MovesLocked = 0;
  ClearBeltEnds();
  ResumeLine();
  timers_.disable(TimerId::TimeScenetta);
}

}  // namespace cw
