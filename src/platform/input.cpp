#include "platform/input.h"

#include <cstdio>

#include "platform/frame.h"
#include "platform/vk.h"

namespace cw {

void Input::deliver(const SDL_Event& e, Uint32 gameWindow) {
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      key(e);
      break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
    case SDL_CONTROLLERAXISMOTION:
    case SDL_CONTROLLERDEVICEREMOVED:
      pad(e);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      if (gameWindow != 0 && e.button.windowID == gameWindow)
        gameMouse(e);
      else if (dialog_.isOpen() && e.button.windowID == dialog_.windowId())
        dialogMouse(e);
      break;
    case SDL_MOUSEWHEEL:
      // One step a notch, however fast the wheel turns; a touchpad's fractions of a notch
      // (y 0) do nothing.
      if (gameWindow != 0 && e.wheel.windowID == gameWindow && e.wheel.y != 0) {
        const bool up = (e.wheel.y > 0) != (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED);
        screen_.stepScale(up ? 1 : -1);
      }
      break;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_CLOSE && dialog_.isOpen() &&
          e.window.windowID == dialog_.windowId()) {
        if (Status saved = device_.closeDialog(); !saved)
          std::fprintf(stderr, "crateworks: key file not saved: %s\n", saved.error().c_str());
      }
      break;
    default:
      break;
  }
}

bool Input::watching(const SDL_Event& e, Uint32 gameWindow) {
  if (e.type == SDL_MOUSEWHEEL) {
    deliver(e, gameWindow);
  } else if (e.type == SDL_KEYDOWN && !e.key.repeat) {
    const SDL_Keysym& k = e.key.keysym;
    const int code = virtualKeyCode(k.scancode, k.sym, (k.mod & KMOD_NUM) != 0);
    if (code == vk::Escape) return true;
    if (code == kFullscreenKey) screen_.toggleFullscreen();
  } else if (e.type == SDL_MOUSEBUTTONDOWN && gameWindow != 0 && e.button.windowID == gameWindow) {
    const auto point = screen_.toLogical(e.button.x, e.button.y);
    if (e.button.button == SDL_BUTTON_LEFT && point)
      return mouseSegmentAt(device_.display(), point->first, point->second) == Group::ACL;
    if (e.button.button == SDL_BUTTON_MIDDLE) middlePress(point);
  }
  return false;
}

void Input::key(const SDL_Event& e) {
  const SDL_Keysym& k = e.key.keysym;
  if (e.type == SDL_KEYDOWN) {
    // A held key's repeats are further presses: the game moves again on each.
    const int code = virtualKeyCode(k.scancode, k.sym, (k.mod & KMOD_NUM) != 0);
    if (!e.key.repeat || downCode_[k.scancode] == 0) downCode_[k.scancode] = code;
    if (code == 0) return;
    if (shortcut(code)) {
      if (!e.key.repeat) screen_.toggleFullscreen();  // held, it does not toggle again and again
      takenDown_[k.scancode] = true;
      return;
    }
    keyDown(code, (k.mod & KMOD_SHIFT) != 0);
  } else {
    int code = downCode_[k.scancode];
    if (code == 0) code = virtualKeyCode(k.scancode, k.sym, (k.mod & KMOD_NUM) != 0);
    downCode_[k.scancode] = 0;
    if (takenDown_[k.scancode]) {
      takenDown_[k.scancode] = false;
      return;
    }
    if (code != 0) device_.keyUp(code);
  }
}

void Input::keyDown(int code, bool shift) {
  if (dialog_.isOpen()) {
    dialog_.tooltips().dismiss();
    if (code == 9) dialog_.tab(shift);
  }
  device_.keyDown(code);
}

// A pad's press is a key press like any other, for the game and for the key dialog's capture
// alike.
void Input::pad(const SDL_Event& e) {
  for (const PadKey& k : padKeys_.translate(e, movementKeys(device_.state()))) {
    if (k.down)
      keyDown(k.code, false);
    else
      device_.keyUp(k.code);
  }
}

// F11 toggles fullscreen unless it is one of the four movement keys, which are the game's; in the
// key dialog every key is the dialog's to capture.
bool Input::shortcut(int code) const {
  if (code != kFullscreenKey || dialog_.isOpen()) return false;
  for (int movement : movementKeys(device_.state()))
    if (sameKey(movement, code)) return false;
  return true;
}

// The middle button anywhere but on the casing's buttons changes the view.
void Input::middlePress(const std::optional<std::pair<int, int>>& point) {
  if (!(point && onCasingButton(point->first, point->second))) screen_.toggleView();
}

void Input::gameMouse(const SDL_Event& e) {
  // Left, middle and right press the casing buttons; only the left one clicks. The middle one
  // anywhere else changes the view.
  const int slot = e.button.button;
  if (slot < SDL_BUTTON_LEFT || slot > SDL_BUTTON_RIGHT) return;
  const bool left = slot == SDL_BUTTON_LEFT;
  const auto point = screen_.toLogical(e.button.x, e.button.y);
  const std::optional<Group> at =
      point ? mouseSegmentAt(device_.display(), point->first, point->second) : std::nullopt;
  if (e.type == SDL_MOUSEBUTTONDOWN) {
    if (at == Group::ButtonA || at == Group::ButtonB) {
      pressOwner_[slot] = at;
      device_.mouseDown(*at);
    } else if (left) {
      clickCandidate_ = at;  // ButtonTime, ACL or nothing
    } else if (slot == SDL_BUTTON_MIDDLE) {
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

void Input::dialogMouse(const SDL_Event& e) {
  if (e.type == SDL_MOUSEBUTTONDOWN) dialog_.tooltips().dismiss();
  if (e.button.button != SDL_BUTTON_LEFT) return;
  const int label = dialog_.labelAt(e.button.x, e.button.y);
  if (e.type == SDL_MOUSEBUTTONDOWN) {
    labelCandidate_ = label;
    return;
  }
  const int pressed = labelCandidate_;
  labelCandidate_ = 0;
  if (pressed != 0 && pressed == label) device_.clickLabel(label);
}

}  // namespace cw
