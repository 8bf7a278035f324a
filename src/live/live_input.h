// One input as a live front end queues it for the core: what the player did, in our own terms,
// translated from the platform's events where they arrive. What it means to the game (which
// casing button lies under a point, which key a pad's press stands for) is decided only when
// it is handled, from the game as it stands then.
#pragma once

#include <cstddef>
#include <cstdint>
#include <variant>

namespace cw {

// A key going down (again, for a held key's repeats) or up. `code` is its Windows virtual-key
// code as the platform gives it, 0 for a key the game has no code for; `key` names the physical
// key (below kKeyIds), so that its release is paired with its press.
struct KeyInput {
  static constexpr int kKeyIds = 512;
  int code = 0;
  int key = 0;
  bool down = true;
  bool repeat = false;
  // A release that came because the keyboard left our windows (another window took it while
  // the key was held), not because the player let go.
  bool left = false;
};

// The platform's windows, as input names them: the one showing the casing, the key dialog, and
// any other (one that has gone).
using WindowId = std::uint32_t;

// A mouse button (or a touch) going down or up at window pixel (x, y) of `window`.
struct PointerInput {
  enum Button { Left = 1, Middle = 2, Right = 3 };
  WindowId window = 0;
  int button = Left;
  bool down = true;
  int x = 0, y = 0;
};

// The wheel turned over `window` by whole notches: +1 away from the player, -1 towards.
struct WheelInput {
  WindowId window = 0;
  int steps = 0;
};

// A game controller's control: a button pressed or released, a stick's vertical axis moved, or
// the controller removed (which lets go of all it held).
enum class PadButton { DpadUp, DpadDown, North, South, Start, Back, Other };
enum class PadStick { Left, Right };
struct PadInput {
  enum class Kind { Button, Stick, Removed };
  Kind kind = Kind::Button;
  int pad = 0;  // which controller
  PadButton button = PadButton::Other;
  bool down = true;
  PadStick stick = PadStick::Left;
  int value = 0;  // the stick's position, -32768 (up) to 32767 (down)
};

// The close box of the key dialog in `window`.
struct CloseInput {
  WindowId window = 0;
};

// The next input of a recording being played back: its index in the recording.
struct PlaybackStep {
  std::size_t index = 0;
};

using LiveInput =
    std::variant<KeyInput, PointerInput, WheelInput, PadInput, CloseInput, PlaybackStep>;

// Whether `in` presses something (a key, a mouse button, a pad's control), which may play a
// sound at once.
inline bool presses(const LiveInput& in) {
  if (const auto* k = std::get_if<KeyInput>(&in)) return k->down;
  if (const auto* p = std::get_if<PointerInput>(&in)) return p->down;
  if (const auto* p = std::get_if<PadInput>(&in))
    return p->kind == PadInput::Kind::Stick || (p->kind == PadInput::Kind::Button && p->down);
  return false;
}

}  // namespace cw
