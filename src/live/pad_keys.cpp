#include "live/pad_keys.h"

#include <optional>

#include "core/shell/game_window.h"

namespace cw {
namespace {

std::optional<PadAction> buttonAction(PadButton button) {
  switch (button) {
    case PadButton::DpadUp:
      return PadAction::NandoUp;
    case PadButton::DpadDown:
      return PadAction::NandoDown;
    case PadButton::North:  // wherever the pad prints its letters
      return PadAction::BepoUp;
    case PadButton::South:
      return PadAction::BepoDown;
    case PadButton::Start:
      return PadAction::GameA;
    case PadButton::Back:
      return PadAction::GameB;
    case PadButton::Other:
      break;
  }
  return std::nullopt;
}

// A stick's vertical axis pushed up (`dir` -1: up counts as negative) or down (+1).
PadAction stickAction(PadStick stick, int dir) {
  if (stick == PadStick::Left) return dir < 0 ? PadAction::NandoUp : PadAction::NandoDown;
  return dir < 0 ? PadAction::BepoUp : PadAction::BepoDown;
}

}  // namespace

int PadKeys::codeOf(PadAction a, const KeySet& keys) {
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

std::vector<PadKey> PadKeys::translate(const PadInput& in, const KeySet& keys) {
  std::vector<PadKey> out;
  const int button = static_cast<int>(in.button);
  switch (in.kind) {
    case PadInput::Kind::Button:
      if (!in.down)
        release(in.pad, button, out);
      else if (const auto a = buttonAction(in.button))
        press(in.pad, button, 0, codeOf(*a, keys), out);
      break;
    case PadInput::Kind::Stick:
      stick(in, keys, out);
      break;
    case PadInput::Kind::Removed:
      // Nothing it held may stay down in the game.
      for (auto it = held_.begin(); it != held_.end();) {
        if (it->pad != in.pad) {
          ++it;
          continue;
        }
        out.push_back({false, it->code});
        it = held_.erase(it);
      }
      break;
  }
  return out;
}

void PadKeys::stick(const PadInput& in, const KeySet& keys, std::vector<PadKey>& out) {
  const int control = kStickBase + static_cast<int>(in.stick);
  const int v = in.value;
  const Held* held = find(in.pad, control);
  int dir = held ? held->dir : 0;
  if (dir != 0 && v * dir < kStickRelease) {
    release(in.pad, control, out);
    dir = 0;
  }
  if (dir == 0 && (v <= -kStickPress || v >= kStickPress)) {
    dir = v < 0 ? -1 : 1;
    press(in.pad, control, dir, codeOf(stickAction(in.stick, dir), keys), out);
  }
}

void PadKeys::press(int pad, int control, int dir, int code, std::vector<PadKey>& out) {
  // Code 0 is no key at all, as for the keyboard.
  if (code == 0 || find(pad, control)) return;
  held_.push_back({pad, control, dir, code});
  out.push_back({true, code});
}

void PadKeys::release(int pad, int control, std::vector<PadKey>& out) {
  for (auto it = held_.begin(); it != held_.end(); ++it) {
    if (it->pad == pad && it->control == control) {
      out.push_back({false, it->code});
      held_.erase(it);
      return;
    }
  }
}

const PadKeys::Held* PadKeys::find(int pad, int control) const {
  for (const Held& h : held_)
    if (h.pad == pad && h.control == control) return &h;
  return nullptr;
}

}  // namespace cw
