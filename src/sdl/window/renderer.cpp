#include "sdl/window/renderer.h"

namespace cw {

RendererHandle makeRenderer(SDL_Window* window) {
  if (SDL_Renderer* r = SDL_CreateRenderer(window, -1, 0)) return RendererHandle(r);
  return RendererHandle(SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE));
}

}  // namespace cw
