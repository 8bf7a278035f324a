// The game window: the state record, its segments, its timers and every handler and procedure.
// Handlers share state only through the record's fields, as the device's logic does; their
// bodies live in the folder of their subsystem (shell, line, workers, readouts).
#pragma once

#include "base/seams.h"
#include "base/sound_names.h"
#include "base/virtual_keys.h"
#include "core/display/display.h"
#include "core/shell/game_state.h"
#include "core/shell/scheduler.h"

namespace cw {

class GameWindow {
 public:
  explicit GameWindow(Seams seams) : io_(seams) {}
  GameWindow(const GameWindow&) = delete;
  GameWindow& operator=(const GameWindow&) = delete;

  GameState& state() { return s_; }
  const GameState& state() const { return s_; }
  Display& display() { return display_; }
  const Display& display() const { return display_; }
  Scheduler& scheduler() { return timers_; }
  const Scheduler& scheduler() const { return timers_; }

  void runTimer(TimerId t);
  // Takes the other window's state record, picture and timers, not its seams or observers: a
  // copy to run ahead on (shell/look_ahead.h).
  void copyValuesFrom(const GameWindow& other) {
    s_ = other.s_;
    display_.copyValuesFrom(other.display_);
    timers_ = other.timers_;
  }

  // Device shell
  void Form_Load();
  void Form_Activate();
  void ACL_Click();
  void ButtonA_MouseDown();
  void ButtonA_MouseUp();
  void ButtonB_MouseDown();
  void ButtonB_MouseUp();
  void StartGameA();
  void StartGameB();
  void ResetGame();

  // Crate line
  void TimeEngine_Timer();
  void TimeCassa1_Timer() { crateTick(1); }
  void TimeCassa2_Timer() { crateTick(2); }
  void TimeCassa3_Timer() { crateTick(3); }
  void TimeCassa4_Timer() { crateTick(4); }
  void TimeCassa5_Timer() { crateTick(5); }
  void TimeCassa6_Timer() { crateTick(6); }
  void LoadTruck();
  void TimeAllineaCasse_Timer();
  void StartBreak();
  void PauseLine();
  void ResumeLine();
  void ClearBeltEnds();

  // Workers and mishaps
  void Form_KeyDown(int keyCode);
  void Form_KeyUp(int keyCode);
  void LiftBepo();
  void LiftNando();
  void toglimano_Timer();
  void HandleBepoMiss();
  void HandleNandoMiss();
  void TimeSgridaBepo_Timer();
  void TimeSgridaNando_Timer();
  void CountMiss();
  void Scarico_Timer();
  void TimeScenetta_Timer();

  // Readouts
  void ResetDisplay();
  void AwardPoints();
  void TimePoint_Timer();
  void TimeOra_Timer();

  // The four movement keys, set directly when the key file could not take them.
  void setKeys(int nandoUp, int nandoDown, int bepoUp, int bepoDown);

 private:
  // The recurring moves of the picture.
  // Hides the member `field` names, sets it to `to` and shows that one.
  void showInstead(Group g, int& field, int to) {
    display_.hide(g, field);
    field = to;
    display_.show(g, field);
  }
  // The two-picture animations: frame := 1 - frame, the old picture hidden first.
  void flip(Group g, int& frame) { showInstead(g, frame, 1 - frame); }
  // Slot k's crate leaves the line: its picture goes and the slot is free.
  void freeSlot(int k);

  void crateTick(int k);
  void pressDeviceButton(Group button, void (GameWindow::*start)());
  void moveWorker(int& pose, int& hand, int otherHand, Group group, int delta);
  void lift(int& pose, int& hand, Group group);
  void lowerHands(int& pose, int& hand, Group group);
  void breakCrate(int slot, Group crash, TimerId scolding);
  void scoldTick(int& pose, int& frame, Group worker, Group boss, TimerId timer);
  void truckLeaves();
  void workersRest();
  void truckBackBossesCall();
  void backToWork();
  void drawScore();
  void putTwoDigits(int n, Place tens, Place units);
  void drawClock();
  void playSound(const char* name, int flags);

  Seams io_;
  GameState s_;
  Display display_;
  Scheduler timers_;
};

}  // namespace cw
