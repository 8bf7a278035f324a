// The one way our windows get a renderer.
#pragma once

#include "sdl/handles/sdl_handles.h"

namespace cw {

// A renderer for `window`: SDL's first choice, else the software one; null when neither can be
// made (SDL_GetError says why). Never with vsync: presenting must not block the 2 ms timer.
RendererHandle makeRenderer(SDL_Window* window);

}  // namespace cw
