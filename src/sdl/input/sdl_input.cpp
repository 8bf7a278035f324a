#include "sdl/input/sdl_input.h"

#include "sdl/input/vk.h"

namespace cw {
namespace {

PadButton padButton(Uint8 button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
      return PadButton::DpadUp;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
      return PadButton::DpadDown;
    case SDL_CONTROLLER_BUTTON_Y:  // north, by position (the hint keeps labels out of it)
      return PadButton::North;
    case SDL_CONTROLLER_BUTTON_A:  // south
      return PadButton::South;
    case SDL_CONTROLLER_BUTTON_START:
      return PadButton::Start;
    case SDL_CONTROLLER_BUTTON_BACK:
      return PadButton::Back;
    default:
      return PadButton::Other;
  }
}

}  // namespace

std::optional<LiveInput> liveInputOf(const SDL_Event& e) {
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const SDL_Keysym& k = e.key.keysym;
      KeyInput in;
      in.code = virtualKeyCode(k.scancode, k.sym, (k.mod & KMOD_NUM) != 0);
      in.key = k.scancode;
      in.down = e.type == SDL_KEYDOWN;
      in.repeat = e.key.repeat != 0;
      return in;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      return PointerInput{e.button.windowID, e.button.button, e.type == SDL_MOUSEBUTTONDOWN,
                          e.button.x, e.button.y};
    case SDL_MOUSEWHEEL: {
      // A touchpad's fractions of a notch (y 0) are no step.
      const bool away = (e.wheel.y > 0) != (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED);
      return WheelInput{e.wheel.windowID, e.wheel.y == 0 ? 0 : (away ? 1 : -1)};
    }
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
      PadInput in;
      in.pad = e.cbutton.which;
      in.button = padButton(e.cbutton.button);
      in.down = e.type == SDL_CONTROLLERBUTTONDOWN;
      return in;
    }
    case SDL_CONTROLLERAXISMOTION: {
      if (e.caxis.axis != SDL_CONTROLLER_AXIS_LEFTY && e.caxis.axis != SDL_CONTROLLER_AXIS_RIGHTY)
        return std::nullopt;
      PadInput in;
      in.kind = PadInput::Kind::Stick;
      in.pad = e.caxis.which;
      in.stick = e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY ? PadStick::Left : PadStick::Right;
      in.value = e.caxis.value;
      return in;
    }
    case SDL_CONTROLLERDEVICEREMOVED: {
      PadInput in;
      in.kind = PadInput::Kind::Removed;
      in.pad = e.cdevice.which;
      return in;
    }
    default:
      return std::nullopt;
  }
}

}  // namespace cw
