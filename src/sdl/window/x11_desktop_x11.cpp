#include "sdl/window/x11_desktop.h"

#include <SDL_syswm.h>
#include <X11/extensions/shape.h>

#include <algorithm>
#include <array>
#include <cstddef>

namespace cw {

namespace {

// The X window behind an SDL window, with its display; nothing off X11.
struct XWindow {
  Display* display = nullptr;
  Window window = 0;
};
XWindow xWindowOf(SDL_Window* w) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!w || !SDL_GetWindowWMInfo(w, &info) || info.subsystem != SDL_SYSWM_X11) return {};
  return {info.info.x11.display, info.info.x11.window};
}

// Xlib has one error handler for the whole program, so the watch's state is the program's.
struct Watched {
  Display* display = nullptr;
  XErrorHandler previous = nullptr;
  // Windows we watch, and every window we ever watched: errors about one of ours that we
  // destroyed ourselves after another program did can still be on their way.
  std::array<Window, 2> live{};
  std::array<Window, 16> known{};
  std::size_t nextKnown = 0;
  // The watched windows destroyed by someone else.
  std::array<Window, 2> destroyed{};
  bool gone = false;
};
Watched watched;

bool isLive(Window w) {
  return w != 0 && std::find(watched.live.begin(), watched.live.end(), w) != watched.live.end();
}
bool isKnown(Window w) {
  return w != 0 && std::find(watched.known.begin(), watched.known.end(), w) != watched.known.end();
}

void destroyedUnderUs(Window w) {
  for (std::size_t i = 0; i < watched.live.size(); ++i)
    if (watched.live[i] == w) watched.destroyed[i] = w;
  watched.gone = true;
}

int onXError(Display* display, XErrorEvent* e) {
  const bool aboutAWindow = e->error_code == BadWindow || e->error_code == BadDrawable;
  if (aboutAWindow && isKnown(e->resourceid)) {
    if (isLive(e->resourceid)) destroyedUnderUs(e->resourceid);
    return 0;
  }
  return watched.previous ? watched.previous(display, e) : 0;
}

}  // namespace

bool cutToShape(SDL_Window* window, const std::vector<Rect>& area) {
  const XWindow x = xWindowOf(window);
  int event = 0, error = 0;
  if (!x.display || !XShapeQueryExtension(x.display, &event, &error)) return false;
  if (area.empty()) {
    XShapeCombineMask(x.display, x.window, ShapeBounding, 0, 0, None, ShapeSet);
  } else {
    std::vector<XRectangle> rects;
    rects.reserve(area.size());
    for (const Rect& r : area)
      rects.push_back({static_cast<short>(r.x), static_cast<short>(r.y),
                       static_cast<unsigned short>(r.w), static_cast<unsigned short>(r.h)});
    XShapeCombineRectangles(x.display, x.window, ShapeBounding, 0, 0, rects.data(),
                            static_cast<int>(rects.size()), ShapeSet, Unsorted);
  }
  XFlush(x.display);
  return true;
}

void askForPlainDialog(SDL_Window* dialog) {
  const XWindow x = xWindowOf(dialog);
  if (!x.display) return;
  // Motif's hints: flags (functions, decorations), functions (move, close), decorations
  // (border, title, window menu): no minimise, maximise or resize.
  const long hints[5] = {1 | 2, 4 | 32, 2 | 8 | 16, 0, 0};
  const Atom motif = XInternAtom(x.display, "_MOTIF_WM_HINTS", False);
  XChangeProperty(x.display, x.window, motif, motif, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(hints), 5);
  XFlush(x.display);
}

void askToRestore(SDL_Window* window) {
  const XWindow x = xWindowOf(window);
  if (!x.display) {
    SDL_RestoreWindow(window);
    return;
  }
  // Mapping an iconic window asks the window manager to show it again (ICCCM 4.1.4).
  XMapRaised(x.display, x.window);
  XFlush(x.display);
}

void WindowWatch::watch(SDL_Window* window) {
  const XWindow x = xWindowOf(window);
  if (!x.display) return;
  if (watched.display != x.display) {
    // A new connection (SDL started again): nothing watched on it yet.
    const XErrorHandler previous = watched.previous;
    watched = Watched{x.display, previous};
  }
  if (XErrorHandler before = XSetErrorHandler(onXError); before != onXError)
    watched.previous = before;
  // The DestroyNotify of a window comes to us only as a raw X event.
  SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
  for (Window& slot : watched.live) {
    if (slot == 0) {
      slot = x.window;
      break;
    }
  }
  watched.known[watched.nextKnown++ % watched.known.size()] = x.window;
}

void WindowWatch::forget(SDL_Window* window) {
  const XWindow x = xWindowOf(window);
  if (x.window == 0) return;
  for (std::size_t i = 0; i < watched.live.size(); ++i) {
    if (watched.live[i] != x.window) continue;
    watched.live[i] = 0;
    if (watched.destroyed[i] != x.window) continue;
    watched.destroyed[i] = 0;
    // SDL hides a window before destroying it and, if it still takes it for mapped (the
    // server's answer about a destroyed window is an error, and SDL reads on regardless),
    // waits for its UnmapNotify. A destroyed window sends no more: one is put at the head
    // of the queue for it. If SDL does not wait, it finds no window for the event and drops it.
    XEvent unmapped{};
    unmapped.xunmap.type = UnmapNotify;
    unmapped.xunmap.send_event = True;
    unmapped.xunmap.display = x.display;
    unmapped.xunmap.event = x.window;
    unmapped.xunmap.window = x.window;
    XPutBackEvent(x.display, &unmapped);
  }
}

bool WindowWatch::take(const SDL_Event& e) {
  if (e.type != SDL_SYSWMEVENT || !e.syswm.msg || e.syswm.msg->subsystem != SDL_SYSWM_X11)
    return false;
  const XEvent& x = e.syswm.msg->msg.x11.event;
  if (x.type == DestroyNotify && isLive(x.xdestroywindow.window))
    destroyedUnderUs(x.xdestroywindow.window);
  return watched.gone;
}

bool WindowWatch::gone() const {
  return watched.gone;
}

bool WindowWatch::stillThere(SDL_Window* window) {
  const XWindow x = xWindowOf(window);
  if (!x.display) return true;
  XWindowAttributes attributes;
  // A window destroyed under us answers with an error, which the handler takes.
  return XGetWindowAttributes(x.display, x.window, &attributes) != 0 && !watched.gone;
}

void WindowWatch::settle() {
  if (watched.display) XSync(watched.display, False);
  watched.display = nullptr;
}

const char* xResources(SDL_Window* window) {
  const XWindow x = xWindowOf(window);
  return x.display ? XResourceManagerString(x.display) : nullptr;
}

bool xWindowManagerRuns(SDL_Window* window) {
  const XWindow x = xWindowOf(window);
  if (!x.display) return true;
  const Atom check = XInternAtom(x.display, "_NET_SUPPORTING_WM_CHECK", False);
  Atom type = 0;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  const bool found =
      XGetWindowProperty(x.display, XDefaultRootWindow(x.display), check, 0, 1, False, XA_WINDOW,
                         &type, &format, &items, &after, &data) == Success &&
      type == XA_WINDOW && items == 1;
  if (data) XFree(data);
  return found;
}

}  // namespace cw
