// Game controllers of SDL's virtual kind, for the tests that play with one: no device behind
// them, their buttons and sticks set by the test. SDL must have its joystick subsystem started.
#pragma once

#include <SDL.h>

namespace cw {

// Plugs in a virtual pad with every button and stick of a game controller, and opens it; a
// null joystick when SDL refuses (SDL_GetError says why). `rumble`, when given, is told each
// rumble the game asks for, with `userdata`.
inline SDL_Joystick* plugVirtualPad(const char* name, void* userdata = nullptr,
                                    int (*rumble)(void*, Uint16, Uint16) = nullptr) {
  SDL_VirtualJoystickDesc d{};
  d.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  d.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
  d.naxes = SDL_CONTROLLER_AXIS_MAX;
  d.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  d.name = name;
  d.userdata = userdata;
  d.Rumble = rumble;
  const int index = SDL_JoystickAttachVirtualEx(&d);
  return index < 0 ? nullptr : SDL_JoystickOpen(index);
}

// Unplugs the pad `joystick` opened, as pulling its cable would, and forgets it.
inline void unplugVirtualPad(SDL_Joystick*& joystick) {
  if (!joystick) return;
  const SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
  for (int i = 0; i < SDL_NumJoysticks(); ++i)
    if (SDL_JoystickGetDeviceInstanceID(i) == id) SDL_JoystickDetachVirtual(i);
  SDL_JoystickClose(joystick);
  joystick = nullptr;
}

}  // namespace cw
