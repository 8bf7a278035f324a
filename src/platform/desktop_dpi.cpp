#include "platform/desktop_dpi.h"

#include "platform/view.h"

// Last: the X headers it brings define macros (Status among them) that would break ours.
#include <SDL_syswm.h>

namespace cw {
namespace {

// The X resources as the server gave them when SDL connected. Xlib is loaded as SDL loads it,
// by name at run time, so that the program needs no X library where it runs without X.
std::optional<double> xResourcesDpi(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return std::nullopt;
  void* xlib = SDL_LoadObject("libX11.so.6");
  if (!xlib) return std::nullopt;
  using ResourceString = char* (*)(Display*);
  const auto get =
      reinterpret_cast<ResourceString>(SDL_LoadFunction(xlib, "XResourceManagerString"));
  const char* resources = get ? get(info.info.x11.display) : nullptr;
  std::optional<double> dpi = resources ? xftDpi(resources) : std::nullopt;
  SDL_UnloadObject(xlib);
  return dpi;
#else
  (void)window;
  return std::nullopt;
#endif
}

}  // namespace

std::optional<double> desktopDpi(SDL_Window* window) {
  if (std::optional<double> dpi = xResourcesDpi(window)) return dpi;
  float diagonal = 0, horizontal = 0, vertical = 0;
  const int display = SDL_GetWindowDisplayIndex(window);
  if (display < 0 || SDL_GetDisplayDPI(display, &diagonal, &horizontal, &vertical) != 0)
    return std::nullopt;
  // A display that reports no size, or a size for its aspect ratio alone, is not believed.
  if (horizontal < 50 || horizontal > 500) return std::nullopt;
  return horizontal;
}

}  // namespace cw
