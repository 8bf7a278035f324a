// Input from SDL to the device: keys become virtual-key codes, a game controller's actions the
// codes of the keys they stand for, mouse presses on the casing its buttons, clicks on the
// dialog its labels, the dialog's close box the end of the dialog. The few that mean nothing to
// the game change how the window shows it: the wheel its scale, the middle button off the
// casing's buttons its view, and F11 (unless a movement key) fullscreen.
#pragma once

#include <SDL.h>

#include <array>
#include <optional>

#include "core/shell/device.h"
#include "platform/dialog_window.h"
#include "platform/game_screen.h"
#include "platform/pad_keys.h"

namespace cw {

class Input {
 public:
  Input(Device& device, DialogWindow& dialog, GameScreen& screen)
      : device_(device), dialog_(dialog), screen_(screen) {}

  // Hands one input event to the device, at the core's present time. `gameWindow` is the id of
  // the game window, whose mouse presses go to the casing.
  void deliver(const SDL_Event& e, Uint32 gameWindow);

  // While a recording plays: the player's input does not reach the device; the wheel, the
  // middle button and F11 still change how the window shows it. True for Esc and a press on
  // ACL, which stop the playback.
  bool watching(const SDL_Event& e, Uint32 gameWindow);

  // The virtual-key code of F11, the fullscreen key when it is not a movement key.
  static constexpr int kFullscreenKey = 122;
  // The dialog opened or closed: a press that began before does not click a label.
  void dialogChanged() { labelCandidate_ = 0; }

 private:
  void key(const SDL_Event& e);
  void keyDown(int code, bool shift);
  void pad(const SDL_Event& e);
  bool shortcut(int code) const;
  void gameMouse(const SDL_Event& e);
  void middlePress(const std::optional<std::pair<int, int>>& point);
  void dialogMouse(const SDL_Event& e);

  Device& device_;
  DialogWindow& dialog_;
  GameScreen& screen_;
  // The code each held key went down with, so its release gives the same code whatever
  // window it arrives in and whatever NumLock did meanwhile.
  std::array<int, SDL_NUM_SCANCODES> downCode_{};
  PadKeys padKeys_;
  // The keys whose press the window took for itself: their releases are its too.
  std::array<bool, SDL_NUM_SCANCODES> takenDown_{};
  // Per mouse button: the casing button that took the press (ButtonA or ButtonB), and the one a
  // left press may click (ButtonTime or ACL), or the dialog label it may click.
  std::array<std::optional<Group>, 4> pressOwner_{};
  std::optional<Group> clickCandidate_;
  int labelCandidate_ = 0;
};

}  // namespace cw
