#include "sdl/input/pads.h"

#include <algorithm>

#include "base/sound_names.h"

namespace cw {
namespace {

constexpr Uint16 kRumbleStrength = 0xC000;
constexpr Uint32 kRumbleMs = 250;

}  // namespace

Status Pads::open() {
  PadWatch::prepare();
  // A and Y by position (south and north), whatever letters a pad prints on them.
  SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
    return failure(std::string("no game controllers: ") + SDL_GetError());
  started_ = true;
  watch_.start();
  // The pads already plugged in arrive as events, like those plugged in later.
  return {};
}

void Pads::close() {
  watch_.stop();
  pads_.clear();
  if (started_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  started_ = false;
}

void Pads::arrive(const SDL_Event& e) {
  if (e.type == SDL_CONTROLLERDEVICEADDED) add(e.cdevice.which);
  if (e.type == SDL_CONTROLLERDEVICEREMOVED) remove(e.cdevice.which);
}

void Pads::add(int deviceIndex) {
  ControllerHandle c(SDL_GameControllerOpen(deviceIndex));
  if (!c) return;
  SDL_Joystick* joystick = SDL_GameControllerGetJoystick(c.get());
  const SDL_JoystickID id = SDL_JoystickInstanceID(joystick);
  // SDL may report a pad twice (at the start, and as it notices it): one opening is enough.
  if (std::any_of(pads_.begin(), pads_.end(), [&](const Pad& p) { return p.id == id; })) return;
  watch_.added(id, SDL_JoystickPath(joystick));
  pads_.push_back({std::move(c), id});
}

void Pads::remove(SDL_JoystickID id) {
  const auto it =
      std::find_if(pads_.begin(), pads_.end(), [&](const Pad& p) { return p.id == id; });
  if (it == pads_.end()) return;
  watch_.removed(id);
  pads_.erase(it);
}

void Pads::soundPlayed(std::string_view name) {
  if (!rumbleEnabled || name != kSoundDead) return;
  for (const Pad& p : pads_)
    SDL_GameControllerRumble(p.controller.get(), kRumbleStrength, kRumbleStrength, kRumbleMs);
}

}  // namespace cw
