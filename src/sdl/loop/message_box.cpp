#include "sdl/loop/message_box.h"

#include <cctype>

#include "sdl/loop/event_wait.h"
#include "sdl/loop/video_driver.h"

namespace cw {
namespace {

// Whether a box on screen could be seen: a display is named (or SDL's driver is the desktop's
// own, as on Windows), and SDL is not asked to draw off screen (as tests ask).
bool onADisplay() {
  const VideoEnvironment env = videoEnvironment();
  if (SDL_strcasecmp(env.forced.c_str(), "dummy") == 0 ||
      SDL_strcasecmp(env.forced.c_str(), "offscreen") == 0)
    return false;
  return !env.namedDisplays || env.x11Named || env.waylandNamed;
}

}  // namespace

std::string boxText(std::string line) {
  if (const auto colon = line.find(": "); colon != std::string::npos) line.replace(colon, 2, ":\n");
  if (!line.empty()) line[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(line[0])));
  return line;
}

void showMessageBox(Uint32 flags, const std::string& text, SDL_Window* parent) {
  if (!onADisplay()) return;
  // The box waits for a click in a loop of its own: a signal must still end the program.
  unblockQuitSignals();
  // Fails quietly when the display cannot be reached; the line on stderr is still there.
  SDL_ShowSimpleMessageBox(flags, "Crateworks", text.c_str(), parent);
  blockQuitSignals();
}

}  // namespace cw
