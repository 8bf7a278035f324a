// Input on its way to the device: keys as virtual-key codes, a game controller's actions as the
// codes of the keys they stand for, mouse presses on the casing as its buttons, clicks on the
// dialog as its labels, the dialog's close box as the end of the dialog. The few that mean
// nothing to the game change how the window shows it: the wheel its scale, the middle button
// off the casing's buttons its view, and F11 (unless a movement key) fullscreen.
#pragma once

#include <array>
#include <optional>
#include <utility>

#include "base/result.h"
#include "core/shell/device.h"
#include "live/live_input.h"
#include "live/pad_keys.h"

namespace cw {

// The window that shows the casing, as input changes how it shows it.
class ScreenControls {
 public:
  virtual ~ScreenControls() = default;
  virtual WindowId windowId() const = 0;
  // The logical point under window pixel (x, y), or nothing where the picture is not.
  virtual std::optional<std::pair<int, int>> toLogical(int x, int y) const = 0;
  virtual void stepScale(int steps) = 0;
  virtual void toggleView() = 0;
  virtual void toggleFullscreen() = 0;
};

// The key dialog's window, as input reaches it.
class DialogControls {
 public:
  virtual ~DialogControls() = default;
  virtual bool isOpen() const = 0;
  virtual WindowId windowId() const = 0;
  // The row (1..4) of the label at window pixel (x, y), or 0.
  virtual int labelAt(int x, int y) const = 0;
  // Tab moves the focus frame (Shift+Tab back).
  virtual void tab(bool back) = 0;
  // A click or a key hides the tooltip.
  virtual void dismissTooltip() = 0;
};

class InputRouter {
 public:
  InputRouter(Device& device, DialogControls& dialog, ScreenControls& screen)
      : device_(device), dialog_(dialog), screen_(screen) {}

  // Hands one input to the device, at the core's present time. A key file the dialog could
  // not save on closing is the failure (the keys chosen hold all the same).
  Status deliver(const LiveInput& in);

  // While a recording plays: the player's input does not reach the device; the wheel, the
  // middle button and F11 still change how the window shows it. True for Esc and a press on
  // ACL, which stop the playback.
  bool watching(const LiveInput& in);

  // The virtual-key code of F11, the fullscreen key when it is not a movement key.
  static constexpr int kFullscreenKey = vk::F11;
  // The dialog opened or closed: a press that began before does not click a label.
  void dialogChanged() { labelCandidate_ = 0; }

 private:
  void key(const KeyInput& k);
  void keyDown(int code, bool shift);
  void pad(const PadInput& p);
  bool shortcut(int code) const;
  void pointer(const PointerInput& p);
  void gameMouse(const PointerInput& p);
  void middlePress(const std::optional<std::pair<int, int>>& point);
  void dialogMouse(const PointerInput& p);
  void wheel(const WheelInput& w);

  Device& device_;
  DialogControls& dialog_;
  ScreenControls& screen_;
  // The code each held key went down with, so its release gives the same code whatever
  // window it arrives in and whatever NumLock did meanwhile.
  std::array<int, KeyInput::kKeyIds> downCode_{};
  PadKeys padKeys_;
  // The keys whose press the window took for itself: their releases are its too.
  std::array<bool, KeyInput::kKeyIds> takenDown_{};
  // Per mouse button: the casing button that took the press (ButtonA or ButtonB), and the one a
  // left press may click (ButtonTime or ACL), or the dialog label it may click.
  std::array<std::optional<Group>, 4> pressOwner_{};
  std::optional<Group> clickCandidate_;
  int labelCandidate_ = 0;
};

}  // namespace cw
