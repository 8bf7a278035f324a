#include "live/input_router.h"

#include "live/frame_state.h"

namespace cw {

Status InputRouter::deliver(const LiveInput& in) {
  if (const auto* k = std::get_if<KeyInput>(&in)) {
    key(*k);
  } else if (const auto* p = std::get_if<PadInput>(&in)) {
    pad(*p);
  } else if (const auto* p = std::get_if<PointerInput>(&in)) {
    pointer(*p);
  } else if (const auto* w = std::get_if<WheelInput>(&in)) {
    wheel(*w);
  } else if (const auto* c = std::get_if<CloseInput>(&in)) {
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

void InputRouter::key(const KeyInput& k) {
  if (k.key < 0 || k.key >= KeyInput::kKeyIds) return;
  if (k.down) {
    // A held key's repeats are further presses: the game moves again on each.
    if (!k.repeat || downCode_[k.key] == 0) downCode_[k.key] = k.code;
    if (k.code == 0) return;
    if (shortcut(k.code)) {
      if (!k.repeat) screen_.toggleFullscreen();  // held, it does not toggle again and again
      takenDown_[k.key] = true;
      return;
    }
    keyDown(k.code, k.shift);
  } else {
    const int code = downCode_[k.key] != 0 ? downCode_[k.key] : k.code;
    downCode_[k.key] = 0;
    if (takenDown_[k.key]) {
      takenDown_[k.key] = false;
      return;
    }
    if (code != 0) device_.keyUp(code);
  }
}

void InputRouter::keyDown(int code, bool shift) {
  if (dialog_.isOpen()) {
    dialog_.dismissTooltip();
    if (code == vk::Tab) dialog_.tab(shift);
  }
  device_.keyDown(code);
}

// A pad's press is a key press like any other, for the game and for the key dialog's capture
// alike.
void InputRouter::pad(const PadInput& p) {
  for (const PadKey& k : padKeys_.translate(p, movementKeys(device_.state()))) {
    if (k.down)
      keyDown(k.code, false);
    else
      device_.keyUp(k.code);
  }
}

// F11 toggles fullscreen unless it is one of the four movement keys, which are the game's; in the
// key dialog every key is the dialog's to capture.
bool InputRouter::shortcut(int code) const {
  if (code != kFullscreenKey || dialog_.isOpen()) return false;
  for (int movement : movementKeys(device_.state()))
    if (sameKey(movement, code)) return false;
  return true;
}

void InputRouter::wheel(const WheelInput& w) {
  // One step a notch, however fast the wheel turns.
  if (screen_.windowId() != 0 && w.window == screen_.windowId() && w.steps != 0)
    screen_.stepScale(w.steps > 0 ? 1 : -1);
}

void InputRouter::pointer(const PointerInput& p) {
  if (screen_.windowId() != 0 && p.window == screen_.windowId())
    gameMouse(p);
  else if (dialog_.isOpen() && p.window == dialog_.windowId())
    dialogMouse(p);
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

void InputRouter::dialogMouse(const PointerInput& p) {
  if (p.down) dialog_.dismissTooltip();
  if (p.button != PointerInput::Left) return;
  const int label = dialog_.labelAt(p.x, p.y);
  if (p.down) {
    labelCandidate_ = label;
    return;
  }
  const int pressed = labelCandidate_;
  labelCandidate_ = 0;
  if (pressed != 0 && pressed == label) device_.clickLabel(label);
}

}  // namespace cw
