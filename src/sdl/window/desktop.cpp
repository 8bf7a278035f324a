#include "sdl/window/desktop.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "sdl/window/x11_desktop.h"

namespace cw {

bool onWayland() {
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver && SDL_strcmp(driver, "wayland") == 0;
}

double pixelsPerUnit(SDL_Window* window, SDL_Renderer* renderer) {
  int units = 0, unused = 0, pixels = 0;
  SDL_GetWindowSize(window, &units, &unused);
  if (units <= 0 || SDL_GetRendererOutputSize(renderer, &pixels, &unused) != 0 || pixels <= 0)
    return 1;
  return static_cast<double>(pixels) / units;
}

bool drawsSeeThrough(SDL_Renderer* renderer) {
  SDL_RendererInfo info{};
  if (!onWayland() || SDL_GetRendererInfo(renderer, &info) != 0 ||
      (info.flags & SDL_RENDERER_SOFTWARE))
    return false;
  // The renderer's GL context is the current one once it is made.
  int alpha = 0;
  return SDL_GL_GetAttribute(SDL_GL_ALPHA_SIZE, &alpha) == 0 && alpha >= 8;
}

std::optional<double> desktopDpi(SDL_Window* window, double unit) {
  if (const char* resources = xResources(window))
    if (std::optional<double> dpi = xftDpi(resources)) return dpi;
  // A Wayland output's size in inches says nothing of the scale its user chose.
  if (onWayland()) return 96 * unit;
  float diagonal = 0, horizontal = 0, vertical = 0;
  const int display = SDL_GetWindowDisplayIndex(window);
  if (display < 0 || SDL_GetDisplayDPI(display, &diagonal, &horizontal, &vertical) != 0)
    return std::nullopt;
  // A display that reports no size, or a size for its aspect ratio alone, is not believed.
  if (horizontal < 50 || horizontal > 500) return std::nullopt;
  return horizontal;
}

std::optional<double> xftDpi(std::string_view resources) {
  constexpr std::string_view kName = "Xft.dpi:";
  for (std::size_t at = 0; at < resources.size();) {
    const std::size_t end = std::min(resources.find('\n', at), resources.size());
    const std::string_view line = resources.substr(at, end - at);
    at = end + 1;
    if (line.substr(0, kName.size()) != kName) continue;
    const std::string value(line.substr(kName.size()));
    char* stop = nullptr;
    const double dpi = std::strtod(value.c_str(), &stop);
    if (stop == value.c_str()) return std::nullopt;
    if (dpi >= 24 && dpi <= 960) return dpi;
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace cw
