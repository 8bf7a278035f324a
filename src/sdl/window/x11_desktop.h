// What the program asks of an X11 desktop beyond what SDL 2.26 does: a key dialog the window
// manager treats as a dialog, a window cut to the casing's shape, and windows of ours that
// another program destroys. Each does nothing on other video drivers.
#pragma once

#include <SDL.h>

#include <vector>

#include "live/view_layout.h"

namespace cw {

// Cuts `window` to `area` (window pixels) with the shape extension, so that the desktop shows
// around the casing's rounded corners; an empty area gives the window its whole rectangle
// back. False where windows cannot be cut so (off X11, or a server without the extension).
bool cutToShape(SDL_Window* window, const std::vector<Rect>& area);

// Before `dialog` is first shown: asks the window manager for a fixed-size dialog that can be
// moved and closed but not minimised or maximised (Motif hints, honoured by most window
// managers; some ignore them, so the front end restores a dialog minimised all the same).
void askForPlainDialog(SDL_Window* dialog);

// Asks for a window the window manager minimised to be shown again, without waiting for it
// (SDL_RestoreWindow waits for the window to map, forever if it was destroyed meanwhile).
// The window reports SDL_WINDOWEVENT_RESTORED once it is back. Off X11, SDL_RestoreWindow.
void askToRestore(SDL_Window* window);

// The X resources (RESOURCE_MANAGER) the server gave when SDL connected; null off X11.
const char* xResources(SDL_Window* window);
// False only on an X display where no window manager says it runs (no
// _NET_SUPPORTING_WM_CHECK); true off X11.
bool xWindowManagerRuns(SDL_Window* window);

// Another program may destroy a window of ours outright (XDestroyWindow, as `xdotool
// windowclose` does). Xlib then reports an error for the next request that names the window,
// and SDL's error handler ends the program with status 1. The watch takes those errors and
// the window's DestroyNotify instead, and says the window is gone, so the program can end
// plainly. One watch serves the whole program (Xlib has one error handler).
class WindowWatch {
 public:
  WindowWatch() = default;
  WindowWatch(const WindowWatch&) = delete;
  WindowWatch& operator=(const WindowWatch&) = delete;

  // Watches `window` (and asks SDL for the X events that tell of its destruction).
  void watch(SDL_Window* window);
  // Stops watching `window`, which we are about to destroy ourselves; when it was destroyed
  // under us already, makes sure SDL does not wait for it to unmap as it destroys it.
  void forget(SDL_Window* window);
  // Takes an SDL_SYSWMEVENT; true once it told that a watched window was destroyed.
  bool take(const SDL_Event& e);
  // A watched window was destroyed by someone else.
  bool gone() const;
  // Asks the X server whether `window` is still there (before a request that would wait for
  // an answer about it, such as mapping it); true off X11.
  bool stillThere(SDL_Window* window);
  // Waits for the X server's answers to every request made so far, so that errors about the
  // destroyed windows come while the watch still takes them: before SDL closes the display,
  // which puts Xlib's own handler (print and exit) back first.
  void settle();
};

}  // namespace cw
