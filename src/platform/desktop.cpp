#include "platform/desktop.h"

#include "platform/view.h"

// Last: the X headers it brings define macros (Status among them) that would break ours.
#include <SDL_syswm.h>

namespace cw {
namespace {

#if defined(SDL_VIDEO_DRIVER_X11)
// Xlib, loaded as SDL loads it, by name at run time, so that the program needs no X library
// where it runs without X; the X display SDL talks to.
class Xlib {
 public:
  explicit Xlib(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return;
    display_ = info.info.x11.display;
    library_ = SDL_LoadObject("libX11.so.6");
  }
  ~Xlib() {
    if (library_) SDL_UnloadObject(library_);
  }
  Xlib(const Xlib&) = delete;
  Xlib& operator=(const Xlib&) = delete;

  bool isX() const { return display_ != nullptr; }
  ::Display* display() const { return display_; }
  // An Xlib function by name, of the type of its declaration (never its address: the program
  // does not link Xlib); null when missing.
  template <typename F>
  F* get(const char* name) const {
    return library_ ? reinterpret_cast<F*>(SDL_LoadFunction(library_, name)) : nullptr;
  }

 private:
  ::Display* display_ = nullptr;
  void* library_ = nullptr;
};

// The X resources as the server gave them when SDL connected.
std::optional<double> xResourcesDpi(const Xlib& x) {
  const auto resources = x.get<decltype(XResourceManagerString)>("XResourceManagerString");
  const char* text = resources ? resources(x.display()) : nullptr;
  return text ? xftDpi(text) : std::nullopt;
}

bool xWindowManager(const Xlib& x) {
  const auto intern = x.get<decltype(XInternAtom)>("XInternAtom");
  const auto root = x.get<decltype(XDefaultRootWindow)>("XDefaultRootWindow");
  const auto property = x.get<decltype(XGetWindowProperty)>("XGetWindowProperty");
  const auto release = x.get<decltype(XFree)>("XFree");
  if (!intern || !root || !property || !release) return true;  // cannot tell: assume the usual
  const Atom check = intern(x.display(), "_NET_SUPPORTING_WM_CHECK", False);
  Atom type = 0;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  const bool found = property(x.display(), root(x.display()), check, 0, 1, False, XA_WINDOW, &type,
                              &format, &items, &after, &data) == Success &&
                     type == XA_WINDOW && items == 1;
  if (data) release(data);
  return found;
}
#endif

}  // namespace

std::optional<double> desktopDpi(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
  if (const Xlib x(window); x.isX())
    if (std::optional<double> dpi = xResourcesDpi(x)) return dpi;
#endif
  float diagonal = 0, horizontal = 0, vertical = 0;
  const int display = SDL_GetWindowDisplayIndex(window);
  if (display < 0 || SDL_GetDisplayDPI(display, &diagonal, &horizontal, &vertical) != 0)
    return std::nullopt;
  // A display that reports no size, or a size for its aspect ratio alone, is not believed.
  if (horizontal < 50 || horizontal > 500) return std::nullopt;
  return horizontal;
}

bool windowManaged(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
  if (const Xlib x(window); x.isX()) return xWindowManager(x);
#endif
  (void)window;
  return true;
}

}  // namespace cw
