#include "sdl/loop/message_box.h"

#include "sdl/loop/event_wait.h"

namespace cw {
namespace {

// Whether a box on screen could be seen: a display is named (Windows always has its desktop),
// and SDL is not asked to draw off screen (as tests ask).
bool onADisplay() {
  const char* driver = SDL_getenv("SDL_VIDEODRIVER");
  if (driver && (SDL_strcasecmp(driver, "dummy") == 0 || SDL_strcasecmp(driver, "offscreen") == 0))
    return false;
  if (SDL_strcmp(SDL_GetPlatform(), "Windows") == 0) return true;
  const char* x11 = SDL_getenv("DISPLAY");
  const char* wayland = SDL_getenv("WAYLAND_DISPLAY");
  return (x11 && *x11) || (wayland && *wayland);
}

}  // namespace

void showMessageBox(Uint32 flags, const std::string& text, SDL_Window* parent) {
  if (!onADisplay()) return;
  // The box waits for a click in a loop of its own: a signal must still end the program.
  unblockQuitSignals();
  // Fails quietly when the display cannot be reached; the line on stderr is still there.
  SDL_ShowSimpleMessageBox(flags, "Crateworks", text.c_str(), parent);
  blockQuitSignals();
}

}  // namespace cw
