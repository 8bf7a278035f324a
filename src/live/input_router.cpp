#include "live/input_router.h"

#include <algorithm>

#include "live/frame_state.h"

namespace cw {
namespace {

// The keys that may begin a shortcut of the desktop (Alt+F4, Alt+Tab, Ctrl+Alt+arrows).
bool isModifier(int code) {
  return code == vk::Shift || code == vk::Control || code == vk::Alt || code == vk::LeftWindows ||
         code == vk::RightWindows;
}

}  // namespace

Status InputRouter::deliver(const LiveInput& in, bool paused) {
  if (const auto* k = std::get_if<KeyInput>(&in)) {
    key(*k, paused);
  } else if (const auto* p = std::get_if<PadInput>(&in)) {
    pad(*p, paused);
  } else if (const auto* p = std::get_if<PointerInput>(&in)) {
    // Paused, a press does nothing; its release still ends what was pressed before.
    if (!paused || !p->down) return pointer(*p);
  } else if (const auto* w = std::get_if<WheelInput>(&in)) {
    wheel(*w);
  } else if (const auto* c = std::get_if<CloseInput>(&in); c && !paused) {
    // A modifier held back in the dialog began the shortcut that closes it: it is no key.
    dropHeldBack();
    if (dialog_.isOpen() && c->window == dialog_.windowId()) return device_.closeDialog();
  }
  return {};
}

bool InputRouter::watching(const LiveInput& in) {
  if (const auto* w = std::get_if<WheelInput>(&in)) {
    wheel(*w);
  } else if (const auto* k = std::get_if<KeyInput>(&in); k && k->down && !k->repeat) {
    if (k->code == vk::Escape) return true;
    if (k->code == kFullscreenKey) screen_.toggleFullscreen();
  } else if (const auto* p = std::get_if<PointerInput>(&in);
             p && p->down && screen_.windowId() != 0 && p->window == screen_.windowId()) {
    const auto point = screen_.toLogical(p->x, p->y);
    if (p->button == PointerInput::Left && point)
      return mouseSegmentAt(device_.display(), point->first, point->second) == Group::ACL;
    if (p->button == PointerInput::Middle) middlePress(point);
  }
  return false;
}

void InputRouter::dialogChanged() {
  rowCandidate_ = 0;
  closeCandidate_ = false;
  dropHeldBack();
}

// The modifier held back is no key: its release is none either.
void InputRouter::dropHeldBack() {
  if (heldBack_) takenDown_[heldBack_->key] = true;
  heldBack_.reset();
}

void InputRouter::key(const KeyInput& k, bool paused) {
  if (k.key < 0 || k.key >= KeyInput::kKeyIds) return;
  if (k.down) {
    // A held key's repeats are further presses: the game moves again on each.
    if (!k.repeat || downCode_[k.key] == 0) downCode_[k.key] = k.code;
    if (k.code == 0) return;
    if (const std::optional<Shortcut> s = shortcut(k.code)) {
      if (!k.repeat) take(*s);  // held, it does not toggle again and again
      takenDown_[k.key] = true;
      return;
    }
    // Paused, the device takes no press but Esc, which ends the program as ever.
    if (paused && k.code != vk::Escape) {
      takenDown_[k.key] = true;
      return;
    }
    if (holdsBack(k)) return;
    keyDown(k.code);
  } else {
    const int code = downCode_[k.key] != 0 ? downCode_[k.key] : k.code;
    downCode_[k.key] = 0;
    if (heldBack_ && heldBack_->key == k.key) {
      // Let go with nothing else meanwhile: the modifier itself is the key chosen, unless the
      // keyboard went to another window (a shortcut of the desktop took it).
      const HeldBack held = *heldBack_;
      heldBack_.reset();
      if (!k.left && dialog_.isOpen()) {
        keyDown(held.code);
        device_.keyUp(held.code);
      }
      return;
    }
    if (takenDown_[k.key]) {
      takenDown_[k.key] = false;
      return;
    }
    if (code != 0) device_.keyUp(code);
  }
}

// In the dialog a modifier is held back until it is let go: it may begin a shortcut of the
// desktop, which must leave the keys as they were. Another key pressed meanwhile is the one the
// player meant.
bool InputRouter::holdsBack(const KeyInput& k) {
  if (!dialog_.isOpen()) return false;
  if (heldBack_ && heldBack_->key == k.key) return true;  // its own repeats
  dropHeldBack();
  if (!isModifier(k.code)) return false;
  heldBack_ = HeldBack{k.key, k.code};
  return true;
}

void InputRouter::keyDown(int code) {
  if (dialog_.isOpen()) dialog_.dismissTooltip();
  device_.keyDown(code);
}

// A pad's press is a key press like any other, for the game and for the key dialog's capture
// alike. Paused, only its releases go on.
void InputRouter::pad(const PadInput& p, bool paused) {
  for (const PadKey& k : padKeys_.translate(p, movementKeys(device_.state()))) {
    if (!k.down)
      device_.keyUp(k.code);
    else if (!paused)
      keyDown(k.code);
  }
}

// F11, the pause keys and the mute key are the window's unless they are among the four movement
// keys, which are the game's; in the key dialog every key is the dialog's to capture.
std::optional<InputRouter::Shortcut> InputRouter::shortcut(int code) const {
  std::optional<Shortcut> s;
  if (code == kFullscreenKey) s = Shortcut::Fullscreen;
  if (std::find(std::begin(kPauseKeys), std::end(kPauseKeys), code) != std::end(kPauseKeys))
    s = Shortcut::Pause;
  if (code == kMuteKey) s = Shortcut::Mute;
  if (!s || dialog_.isOpen()) return std::nullopt;
  for (int movement : movementKeys(device_.state()))
    if (sameKey(movement, code)) return std::nullopt;
  return s;
}

void InputRouter::take(Shortcut s) {
  switch (s) {
    case Shortcut::Fullscreen:
      screen_.toggleFullscreen();
      break;
    case Shortcut::Pause:
      if (onPause) onPause();
      break;
    case Shortcut::Mute:
      if (onMute) onMute();
      break;
  }
}

void InputRouter::wheel(const WheelInput& w) {
  // One step a notch, however fast the wheel turns.
  if (screen_.windowId() != 0 && w.window == screen_.windowId() && w.steps != 0)
    screen_.stepScale(w.steps > 0 ? 1 : -1);
}

Status InputRouter::pointer(const PointerInput& p) {
  if (screen_.windowId() != 0 && p.window == screen_.windowId()) {
    gameMouse(p);
    return {};
  }
  if (dialog_.isOpen() && p.window == dialog_.windowId()) return dialogMouse(p);
  return {};
}

// The middle button anywhere but on the casing's buttons changes the view.
void InputRouter::middlePress(const std::optional<std::pair<int, int>>& point) {
  if (!(point && onCasingButton(point->first, point->second))) screen_.toggleView();
}

void InputRouter::gameMouse(const PointerInput& p) {
  // Left, middle and right press the casing buttons; only the left one clicks. The middle one
  // anywhere else changes the view.
  const int slot = p.button;
  if (slot < PointerInput::Left || slot > PointerInput::Right) return;
  const bool left = slot == PointerInput::Left;
  const auto point = screen_.toLogical(p.x, p.y);
  const std::optional<Group> at =
      point ? mouseSegmentAt(device_.display(), point->first, point->second) : std::nullopt;
  if (p.down) {
    if (at == Group::ButtonA || at == Group::ButtonB) {
      pressOwner_[slot] = at;
      device_.mouseDown(*at);
    } else if (left) {
      clickCandidate_ = at;  // ButtonTime, ACL or nothing
    } else if (slot == PointerInput::Middle) {
      middlePress(point);
    }
    return;
  }
  // The release goes to the button that took the press, wherever the pointer is now.
  if (pressOwner_[slot]) {
    const Group owner = *pressOwner_[slot];
    pressOwner_[slot].reset();
    device_.mouseUp(owner);
  } else if (left) {
    const std::optional<Group> pressed = clickCandidate_;
    clickCandidate_.reset();
    if (pressed && pressed == at) device_.click(*pressed);
  }
}

// A left click on a row's label or key box chooses the row (as its label's click); on the
// close button it closes the dialog, as its close box does.
Status InputRouter::dialogMouse(const PointerInput& p) {
  if (p.down) dialog_.dismissTooltip();
  if (p.button != PointerInput::Left) return {};
  const int row = dialog_.rowAt(p.x, p.y);
  const bool onClose = dialog_.closeAt(p.x, p.y);
  if (p.down) {
    rowCandidate_ = row;
    closeCandidate_ = onClose;
    return {};
  }
  const int pressedRow = rowCandidate_;
  const bool pressedClose = closeCandidate_;
  rowCandidate_ = 0;
  closeCandidate_ = false;
  if (pressedRow != 0 && pressedRow == row) device_.clickLabel(row);
  if (pressedClose && onClose) return device_.closeDialog();
  return {};
}

}  // namespace cw
