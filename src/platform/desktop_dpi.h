// How many dots per inch the desktop has, to start the game at a size that looks on this screen
// as it does at 96 dpi.
#pragma once

#include <SDL.h>

#include <optional>

namespace cw {

// The desktop's own scale setting where it has one (on X11 the Xft.dpi resource, which the
// desktops set from their scaling choice), else the dots per inch SDL reads from the size of
// the display `window` is on; nothing when neither is known or believable.
std::optional<double> desktopDpi(SDL_Window* window);

}  // namespace cw
