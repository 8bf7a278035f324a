// The whole program as the front ends see it: the game window, the key remap dialog, which of
// them takes input, and the passing of time.
#pragma once

#include <cstdint>
#include <memory>

#include "core/keyremap/key_remap_dialog.h"
#include "core/shell/game_window.h"

namespace cw {

// Told after every handler the device runs, a timer tick or an input, so that checks can look
// at the game between handlers: the only moments at which its picture and state must be whole.
class HandlerObserver {
 public:
  virtual ~HandlerObserver() = default;
  virtual void afterHandler() = 0;
};

// Told as each timer tick starts. `due` is when it fell due, the clock's time as it runs; a tick
// that stands for periods a hold made it miss runs later than that by design, and says so.
class TickObserver {
 public:
  virtual ~TickObserver() = default;
  virtual void tickStarts(TimerId timer, Millis due, bool afterHold) = 0;
  // The tick that started last has ended.
  virtual void tickEnds() {}
};

// One input as the device takes it, told to a recorder.
struct DeviceInput {
  enum class Kind { KeyDown, KeyUp, MouseDown, MouseUp, Click, ClickLabel, CloseDialog };
  Kind kind = Kind::KeyDown;
  int code = 0;     // the key, or the dialog label's row
  Group segment{};  // the casing segment of a mouse input
};

// Told as each input starts and once it has been handled, with the late ticks of any hold it
// caused: a recorder writes what the handler read meanwhile before the input itself.
class InputObserver {
 public:
  virtual ~InputObserver() = default;
  virtual void inputStarts(const DeviceInput& input) = 0;
  virtual void inputEnds() = 0;
};

struct WindowStates {
  bool gameShown = false;
  bool gameEnabled = true;
  bool dialogOpen = false;
};

class Device : private WindowPort {
 public:
  // `window` is told of every change of the windows; ending the program is reported there too.
  explicit Device(Seams seams);

  // Form_Load, show, Form_Activate.
  void start();
  bool ended() const { return ended_; }

  // Runs every tick due up to and including `t` (and the late ones a hold left behind), then
  // lets the clock reach `t`.
  void runUntil(Millis t);
  Millis now() const { return game_.scheduler().now(); }
  // The machine was stopped for `ms` (suspended, or the loop starved): like a hold of that
  // length, every timer that fell due meanwhile ticks once when time runs on, not once per
  // period it missed.
  void stall(Millis ms) { game_.scheduler().hold(ms); }

  // Input, handled at the current time; the late ticks of a hold run before this returns.
  void keyDown(int keyCode);
  void keyUp(int keyCode);
  // A press or release of any mouse button on a casing segment.
  void mouseDown(Group segment);
  void mouseUp(Group segment);
  void click(Group segment);
  void clickLabel(int row);  // Label1 .. Label4 of the dialog
  // The dialog's close box. The keys chosen take effect even when the key file could not
  // be written; the failure says why it could not.
  Status closeDialog();

  // What the front ends look at: the picture, the state record and the timers.
  const GameWindow& game() const { return game_; }
  const Display& display() const { return game_.display(); }
  const GameState& state() const { return game_.state(); }
  const KeyRemapDialog* dialog() const { return dialog_.get(); }
  const WindowStates& windows() const { return windows_; }
  void setHandlerObserver(HandlerObserver* o) { handlerObserver_ = o; }
  void setTickObserver(TickObserver* o) { tickObserver_ = o; }
  void setInputObserver(InputObserver* o) { inputObserver_ = o; }
  // How many ticks have run so far.
  std::uint64_t ticksRun() const { return ticksRun_; }
  void setDisplayObserver(DisplayObserver* o) { game_.display().setObserver(o); }

 protected:
  // For tests that plant a state no input can reach, through a class of their own.
  GameWindow& mutableGame() { return game_; }

 private:
  // Tells the input observer of the outermost input only (a click on a start button is its
  // press and release).
  class Told {
   public:
    Told(Device& d, const DeviceInput& input);
    ~Told();
    Told(const Told&) = delete;
    Told& operator=(const Told&) = delete;

   private:
    Device& d_;
  };
  void endProgram() override;
  void showGameWindow(bool shown, bool enabled) override;
  void showDialog(bool open) override;
  bool gameTakesInput() const { return started_ && !ended_ && windows_.gameEnabled; }
  void handled() {
    if (handlerObserver_) handlerObserver_->afterHandler();
  }
  void afterInput() {
    handled();
    runUntil(now());
  }

  WindowPort& host_;
  KeyFilePort& keyFile_;
  GameWindow game_;
  std::unique_ptr<KeyRemapDialog> dialog_;
  WindowStates windows_;
  bool started_ = false;
  bool ended_ = false;
  HandlerObserver* handlerObserver_ = nullptr;
  TickObserver* tickObserver_ = nullptr;
  InputObserver* inputObserver_ = nullptr;
  int inputDepth_ = 0;
  std::uint64_t ticksRun_ = 0;
};

}  // namespace cw
