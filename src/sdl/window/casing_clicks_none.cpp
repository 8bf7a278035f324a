// Where the hit test takes the left button alone, the others reach the game as they are.
#include "sdl/window/casing_clicks.h"

namespace cw {

void keepCasingClicks(SDL_Window*) {}

}  // namespace cw
