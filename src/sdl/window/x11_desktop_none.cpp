// Where SDL draws on no X11 display: the window manager's hints, the shape extension and the
// destroyed windows are X11's own, and the questions have the answers of a plain desktop.
#include "sdl/window/x11_desktop.h"

namespace cw {

const char* xResources(SDL_Window*) {
  return nullptr;
}
bool xWindowManagerRuns(SDL_Window*) {
  return true;
}

bool cutToShape(SDL_Window*, const std::vector<Rect>&) {
  return false;
}
void askForPlainDialog(SDL_Window*) {}
void askToRestore(SDL_Window* window) {
  SDL_RestoreWindow(window);
}
bool WindowWatch::stillThere(SDL_Window*) {
  return true;
}
void WindowWatch::watch(SDL_Window*) {}
void WindowWatch::forget(SDL_Window*) {}
bool WindowWatch::take(const SDL_Event&) {
  return false;
}
bool WindowWatch::gone() const {
  return false;
}
void WindowWatch::settle() {}

}  // namespace cw
