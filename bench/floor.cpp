// The floor the game's costs are compared with: a window of the game's size that wakes 125
// times a second and does nothing else.
//
// With CRATEWORKS_TIMING_LOG=path it writes, at exit, the same kind of record as the game: when
// its first frame was presented, how often it woke, and how late each 8 ms wait returned
// ("tick" lines), the lateness that SDL's own wait brings before any work is done.
#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

long long steadyUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

long long unixUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

}  // namespace

int main() {
  const char* logPath = std::getenv("CRATEWORKS_TIMING_LOG");
  // As the game does: a software-rendered window goes to the X server directly, not through GL.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
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
  const long long firstPresent = unixUs();
  const long long start = steadyUs();
  long long wakes = 0;
  std::vector<long long> lateUs;
  if (logPath) lateUs.reserve(32768);
  for (bool running = true; running;) {
    SDL_Event e;
    const long long due = steadyUs() + 8000;
    ++wakes;
    if (SDL_WaitEventTimeout(&e, 8)) {
      if (e.type == SDL_QUIT) running = false;
      if (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_EXPOSED) {
        SDL_RenderClear(renderer);
        SDL_RenderPresent(renderer);
      }
    } else if (logPath) {
      lateUs.push_back(steadyUs() - due);
    }
  }
  if (logPath) {
    if (std::FILE* f = std::fopen(logPath, "w")) {
      std::fprintf(f, "first_present_unix_us %lld\nwakes %lld\nelapsed_ms %lld\n", firstPresent,
                   wakes, (steadyUs() - start) / 1000);
      for (long long us : lateUs) std::fprintf(f, "tick %lld\n", us);
      std::fclose(f);
    }
  }
  SDL_DestroyRenderer(renderer);
  SDL_DestroyWindow(window);
  SDL_Quit();
  return 0;
}
