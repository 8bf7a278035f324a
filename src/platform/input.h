// Input from SDL to the device: keys become virtual-key codes, a game controller's actions the
// codes of the keys they stand for, mouse presses on the casing its buttons, clicks on the
// dialog its labels, the dialog's close box the end of the dialog.
#pragma once

#include <SDL.h>

#include <array>
#include <optional>

#include "platform/dialog_window.h"
#include "platform/pad_keys.h"
#include "shell/device.h"

namespace cw {

class Input {
 public:
  Input(Device& device, DialogWindow& dialog) : device_(device), dialog_(dialog) {}

  // Hands one input event to the device, at the core's present time. `gameWindow` is the id of
  // the game window, whose mouse presses go to the casing.
  void deliver(const SDL_Event& e, Uint32 gameWindow);
  // The dialog opened or closed: a press that began before does not click a label.
  void dialogChanged() { labelCandidate_ = 0; }

 private:
  void key(const SDL_Event& e);
  void keyDown(int code, bool shift);
  void pad(const SDL_Event& e);
  void gameMouse(const SDL_Event& e);
  void dialogMouse(const SDL_Event& e);

  Device& device_;
  DialogWindow& dialog_;
  // The code each held key went down with, so its release gives the same code whatever
  // window it arrives in and whatever NumLock did meanwhile.
  std::array<int, SDL_NUM_SCANCODES> downCode_{};
  PadKeys padKeys_;
  // Per mouse button: the casing button that took the press (ButtonA or ButtonB), and the one a
  // left press may click (ButtonTime or ACL), or the dialog label it may click.
  std::array<std::optional<Group>, 4> pressOwner_{};
  std::optional<Group> clickCandidate_;
  int labelCandidate_ = 0;
};

}  // namespace cw
