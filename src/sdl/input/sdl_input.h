// SDL's input events in our own terms, as the live loop queues them: keys with their
// virtual-key codes, the mouse, the wheel and game controllers.
#pragma once

#include <SDL_events.h>

#include <optional>

#include "live/live_input.h"

namespace cw {

// The input `e` stands for, or nothing when it is no input of the game's (a stick's sideways
// axis, a window event, a pad plugged in).
std::optional<LiveInput> liveInputOf(const SDL_Event& e);

}  // namespace cw
