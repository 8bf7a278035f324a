// Where the loop sleeps in SDL's own wait, which reads the pads itself, there is nothing to
// watch: SDL's device events tell of pads plugged in and out.
#include "sdl/input/pad_watch.h"

namespace cw {

void PadWatch::prepare() {}
void PadWatch::start() {}
void PadWatch::stop() {}
void PadWatch::added(SDL_JoystickID, const char*) {}
void PadWatch::removed(SDL_JoystickID) {}
void PadWatch::wakeFds(std::vector<int>&) const {}
void PadWatch::woken(int, short) {}

}  // namespace cw
