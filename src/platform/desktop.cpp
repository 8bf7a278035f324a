#include "platform/desktop.h"

#include "platform/view.h"
#include "platform/x11_windows.h"

namespace cw {

std::optional<double> desktopDpi(SDL_Window* window) {
  if (const char* resources = xResources(window))
    if (std::optional<double> dpi = xftDpi(resources)) return dpi;
  float diagonal = 0, horizontal = 0, vertical = 0;
  const int display = SDL_GetWindowDisplayIndex(window);
  if (display < 0 || SDL_GetDisplayDPI(display, &diagonal, &horizontal, &vertical) != 0)
    return std::nullopt;
  // A display that reports no size, or a size for its aspect ratio alone, is not believed.
  if (horizontal < 50 || horizontal > 500) return std::nullopt;
  return horizontal;
}

bool windowManaged(SDL_Window* window) {
  return xWindowManagerRuns(window);
}

}  // namespace cw
