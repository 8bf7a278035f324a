#include "platform/pad_keys.h"

#include <optional>

#include "core/shell/game_window.h"

namespace cw {
namespace {

std::optional<PadAction> buttonAction(int button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
      return PadAction::NandoUp;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
      return PadAction::NandoDown;
    case SDL_CONTROLLER_BUTTON_Y:  // north, wherever the pad prints its letters
      return PadAction::BepoUp;
    case SDL_CONTROLLER_BUTTON_A:  // south
      return PadAction::BepoDown;
    case SDL_CONTROLLER_BUTTON_START:
      return PadAction::GameA;
    case SDL_CONTROLLER_BUTTON_BACK:
      return PadAction::GameB;
    default:
      return std::nullopt;
  }
}

// A stick's vertical axis pushed up (`dir` -1: SDL counts up as negative) or down (+1).
std::optional<PadAction> stickAction(int axis, int dir) {
  if (axis == SDL_CONTROLLER_AXIS_LEFTY) return dir < 0 ? PadAction::NandoUp : PadAction::NandoDown;
  if (axis == SDL_CONTROLLER_AXIS_RIGHTY) return dir < 0 ? PadAction::BepoUp : PadAction::BepoDown;
  return std::nullopt;
}

int codeOf(PadAction a, const KeySet& keys) {
  switch (a) {
    case PadAction::NandoUp:
      return keys[0];
    case PadAction::NandoDown:
      return keys[1];
    case PadAction::BepoUp:
      return keys[2];
    case PadAction::BepoDown:
      return keys[3];
    case PadAction::GameA:
      return vk::F1;
    case PadAction::GameB:
      return vk::F2;
  }
  return 0;
}

}  // namespace

std::vector<PadKey> PadKeys::translate(const SDL_Event& e, const KeySet& keys) {
  std::vector<PadKey> out;
  switch (e.type) {
    case SDL_CONTROLLERBUTTONDOWN:
      if (const auto a = buttonAction(e.cbutton.button))
        press(e.cbutton.which, e.cbutton.button, 0, codeOf(*a, keys), out);
      break;
    case SDL_CONTROLLERBUTTONUP:
      release(e.cbutton.which, e.cbutton.button, out);
      break;
    case SDL_CONTROLLERAXISMOTION:
      stick(e.caxis, keys, out);
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      // Nothing it held may stay down in the game.
      for (auto it = held_.begin(); it != held_.end();) {
        if (it->pad != e.cdevice.which) {
          ++it;
          continue;
        }
        out.push_back({false, it->code});
        it = held_.erase(it);
      }
      break;
    default:
      break;
  }
  return out;
}

void PadKeys::stick(const SDL_ControllerAxisEvent& e, const KeySet& keys,
                    std::vector<PadKey>& out) {
  if (!stickAction(e.axis, 1)) return;
  const int control = kAxisBase + e.axis;
  const int v = e.value;
  const Held* held = find(e.which, control);
  int dir = held ? held->dir : 0;
  if (dir != 0 && v * dir < kStickRelease) {
    release(e.which, control, out);
    dir = 0;
  }
  if (dir == 0 && (v <= -kStickPress || v >= kStickPress)) {
    dir = v < 0 ? -1 : 1;
    press(e.which, control, dir, codeOf(*stickAction(e.axis, dir), keys), out);
  }
}

void PadKeys::press(SDL_JoystickID pad, int control, int dir, int code, std::vector<PadKey>& out) {
  // Code 0 is no key at all, as for the keyboard.
  if (code == 0 || find(pad, control)) return;
  held_.push_back({pad, control, dir, code});
  out.push_back({true, code});
}

void PadKeys::release(SDL_JoystickID pad, int control, std::vector<PadKey>& out) {
  for (auto it = held_.begin(); it != held_.end(); ++it) {
    if (it->pad == pad && it->control == control) {
      out.push_back({false, it->code});
      held_.erase(it);
      return;
    }
  }
}

const PadKeys::Held* PadKeys::find(SDL_JoystickID pad, int control) const {
  for (const Held& h : held_)
    if (h.pad == pad && h.control == control) return &h;
  return nullptr;
}

}  // namespace cw
