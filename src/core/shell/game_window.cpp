#include "core/shell/game_window.h"

#include <array>

#include "core/keyremap/key_file.h"
#include "core/shell/line_geometry.h"

namespace cw {

void GameWindow::runTimer(TimerId t) {
  using Handler = void (GameWindow::*)();
  static constexpr std::array<Handler, kTimerCount> kHandlers{
      &GameWindow::TimeEngine_Timer,      &GameWindow::TimeCassa1_Timer,
      &GameWindow::TimeCassa2_Timer,      &GameWindow::TimeCassa3_Timer,
      &GameWindow::TimeCassa4_Timer,      &GameWindow::TimeCassa5_Timer,
      &GameWindow::TimeCassa6_Timer,      &GameWindow::TimeAllineaCasse_Timer,
      &GameWindow::TimeScenetta_Timer,    &GameWindow::Scarico_Timer,
      &GameWindow::toglimano_Timer,       &GameWindow::TimeSgridaBepo_Timer,
      &GameWindow::TimeSgridaNando_Timer, &GameWindow::TimePoint_Timer,
      &GameWindow::TimeOra_Timer,
  };
  (this->*kHandlers[static_cast<int>(t)])();
}

void GameWindow::playSound(const char* name, int flags) {
  Millis held = io_.sound.play(name, flags);
  if (flags == kSoundWait && held > 0) timers_.hold(held);
}

void GameWindow::Form_Load() {
  s_.GameRunning = 0;
  s_.ClockDelay = 0;
  s_.CrateCount = 6;
  s_.MovesLocked = 1;
  s_.LinePaused = 1;
  // The window is always created cut to the casing rectangle by the platform layer.
  s_.KeyBepoUp = 80;
  s_.KeyBepoDown = 76;
  s_.KeyNandoUp = 81;
  s_.KeyNandoDown = 65;
}

void GameWindow::Form_Activate() {
  // A missing or malformed file leaves the keys held so far.
  if (auto text = io_.keyFile.read()) {
    if (auto keys = parseKeyFile(*text)) {
      setKeys((*keys)[0], (*keys)[1], (*keys)[2], (*keys)[3]);
    }
  }
}

void GameWindow::setKeys(int nandoUp, int nandoDown, int bepoUp, int bepoDown) {
  s_.KeyNandoUp = nandoUp;
  s_.KeyNandoDown = nandoDown;
  s_.KeyBepoUp = bepoUp;
  s_.KeyBepoDown = bepoDown;
}

void GameWindow::ACL_Click() {
  io_.window.endProgram();
}

// A start button does nothing at all while a game runs: no pressed look, no sound.
void GameWindow::ButtonA_MouseDown() {
  if (s_.GameRunning != 0) return;
  pressDeviceButton(Group::ButtonA, &GameWindow::StartGameA);
}

void GameWindow::ButtonB_MouseDown() {
  if (s_.GameRunning != 0) return;
  pressDeviceButton(Group::ButtonB, &GameWindow::StartGameB);
}

// The start sound plays to its end before the reset, so the first tick of the new game sees
// the whole start state.
void GameWindow::pressDeviceButton(Group button, void (GameWindow::*start)()) {
  s_.GameRunning = 1;
  display_.hide(button);
  playSound(kSoundMove, kSoundWait);
  (this->*start)();
}

void GameWindow::ButtonA_MouseUp() {
  display_.show(Group::ButtonA);
}
void GameWindow::ButtonB_MouseUp() {
  display_.show(Group::ButtonB);
}

void GameWindow::StartGameA() {
  s_.GameMode = "A";
  s_.SpawnRange = 3;
  ResetDisplay();
  display_.show(Group::IMGameA);
  ResetGame();
}

void GameWindow::StartGameB() {
  s_.GameMode = "B";
  s_.SpawnRange = 5;
  ResetDisplay();
  display_.show(Group::IMGameB);
  ResetGame();
}

void GameWindow::ResetGame() {
  ResumeLine();
  for (int i = 0; i < 3; ++i) {
    s_.HandoverLevel[kBepoHandovers[i]] = kHandoverLevels[i];
    s_.HandoverLevel[kNandoHandovers[i]] = kHandoverLevels[i];
  }
  s_.SceneStep = 0;
  s_.LinePaused = 0;
  s_.BreakAllowed = 1;
  s_.NandoHand = 0;
  s_.BepoHand = 0;
  s_.ScoldTicks = 0;
  s_.Misses = 0;
  s_.BossPose = 0;
  s_.BepoPose = kBepoStartPose;
  s_.NandoPose = kNandoStartPose;
  display_.show(Group::Nando, s_.NandoPose);
  display_.show(Group::Bepo, s_.BepoPose);
  s_.LoadSegment = kTruckLeftMouth;
  s_.TruckLoad = 0;
  s_.SlideCount = 0;
  s_.SlideSteps = 0;
  for (s_.LoopIndex = 1; s_.LoopIndex <= s_.CrateCount; ++s_.LoopIndex) {
    s_.CratePos[s_.LoopIndex] = kEntryStep;
    s_.CrateActive[s_.LoopIndex] = 0;
  }
  s_.MovesLocked = 0;
  s_.Score = 0;
  s_.PointMultiplier = 1;
  s_.ExhaustFrame = 0;
  s_.NandoScoldFrame = 0;
  s_.BepoScoldFrame = 0;
}

}  // namespace cw
