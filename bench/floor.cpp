// The floor the game's costs are compared with: a window of the game's size that wakes 125
// times a second and does nothing else.
#include <SDL.h>

#include <cstdio>

int main() {
  if (SDL_Init(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "floor: cannot open a window: %s\n", SDL_GetError());
    return 1;
  }
  SDL_Window* window = SDL_CreateWindow("floor", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                        802, 448, SDL_WINDOW_BORDERLESS);
  SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
  if (!renderer) {
    std::fprintf(stderr, "floor: %s\n", SDL_GetError());
    return 1;
  }
  SDL_SetRenderDrawColor(renderer, 40, 40, 40, 255);
  SDL_RenderClear(renderer);
  SDL_RenderPresent(renderer);
  for (bool running = true; running;) {
    SDL_Event e;
    if (SDL_WaitEventTimeout(&e, 8)) {
      if (e.type == SDL_QUIT) running = false;
      if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_EXPOSED) {
        SDL_RenderClear(renderer);
        SDL_RenderPresent(renderer);
      }
    }
  }
  SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
