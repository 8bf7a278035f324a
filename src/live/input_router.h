// Input on its way to the device: keys as virtual-key codes, a game controller's actions as the
// codes of the keys they stand for, mouse presses on the casing as its buttons, clicks on the
// dialog's rows as its labels, the dialog's close box and close button as the end of the
// dialog. The few that mean nothing to the game change how the window shows it: the wheel its
// scale, the middle button off the casing's buttons its view, and F11 fullscreen; F3 or Pause
// pauses the device and M mutes it (each unless a movement key).
#pragma once

#include <array>
#include <functional>
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
  // The row (1..4) whose label or key box lies at window pixel (x, y), or 0.
  virtual int rowAt(int x, int y) const = 0;
  // Whether the close button lies at window pixel (x, y).
  virtual bool closeAt(int x, int y) const = 0;
  // A click or a key hides the tooltip.
  virtual void dismissTooltip() = 0;
};

class InputRouter {
 public:
  InputRouter(Device& device, DialogControls& dialog, ScreenControls& screen)
      : device_(device), dialog_(dialog), screen_(screen) {}

  // Hands one input to the device, at the core's present time. A key file the dialog could
  // not save on closing is the failure (the keys chosen hold all the same). While the device
  // is `paused`, only releases (of what was pressed before), the window's own keys and Esc go
  // on; the pause key resumes.
  Status deliver(const LiveInput& in, bool paused);

  // While a recording plays: the player's input does not reach the device; the wheel, the
  // middle button and F11 still change how the window shows it. True for Esc and a press on
  // ACL, which stop the playback.
  bool watching(const LiveInput& in);

  // The keys the window takes for itself when they are not movement keys: F11 for fullscreen,
  // F3 or Pause to pause, M to mute.
  static constexpr int kFullscreenKey = vk::F11;
  static constexpr int kPauseKeys[] = {vk::F3, vk::Pause};
  static constexpr int kMuteKey = 'M';  // a letter's code is its capital
  enum class Shortcut { Fullscreen, Pause, Mute };
  // Told when the pause key or the mute key is pressed.
  std::function<void()> onPause;
  std::function<void()> onMute;
  // The dialog opened or closed: a press that began before does not click in it.
  void dialogChanged();

 private:
  void key(const KeyInput& k, bool paused);
  void keyDown(int code);
  bool holdsBack(const KeyInput& k);
  void dropHeldBack();
  void pad(const PadInput& p, bool paused);
  std::optional<Shortcut> shortcut(int code) const;
  void take(Shortcut s);
  Status pointer(const PointerInput& p);
  void gameMouse(const PointerInput& p);
  void middlePress(const std::optional<std::pair<int, int>>& point);
  Status dialogMouse(const PointerInput& p);
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
  // A left press in the dialog: the row it may click, or its close button.
  int rowCandidate_ = 0;
  bool closeCandidate_ = false;
  // A modifier pressed alone in the dialog: taken as the row's key only when it is released
  // with nothing else meanwhile, since it may begin a shortcut (Alt+F4 closing the dialog);
  // the key it stands for, and its code.
  struct HeldBack {
    int key;
    int code;
  };
  std::optional<HeldBack> heldBack_;
};

}  // namespace cw
