// Windows: a press on the part of the window the hit test calls draggable arrives as a
// non-client message (WM_NCMBUTTONDOWN, ...), which SDL drops. Its message hook sees each one
// before it is handled: the middle and right buttons' are posted again as SDL's events.
#include <windows.h>
// After windows.h, which it needs.
#include <SDL_syswm.h>
#include <windowsx.h>

#include "sdl/window/casing_clicks.h"

namespace cw {
namespace {

HWND casing = nullptr;
Uint32 casingId = 0;

void SDLCALL giveBack(void*, void* hwnd, unsigned int message, Uint64, Sint64 lParam) {
  if (hwnd != casing) return;
  Uint32 type = SDL_MOUSEBUTTONDOWN;
  Uint8 button = SDL_BUTTON_MIDDLE;
  switch (message) {
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONDBLCLK:
      break;
    case WM_NCMBUTTONUP:
      type = SDL_MOUSEBUTTONUP;
      break;
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK:
      button = SDL_BUTTON_RIGHT;
      break;
    case WM_NCRBUTTONUP:
      type = SDL_MOUSEBUTTONUP;
      button = SDL_BUTTON_RIGHT;
      break;
    default:
      return;
  }
  // A non-client message's point is on the screen.
  POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ScreenToClient(casing, &at);
  SDL_Event e{};
  e.button.type = type;
  e.button.timestamp = SDL_GetTicks();
  e.button.windowID = casingId;
  e.button.button = button;
  e.button.state = type == SDL_MOUSEBUTTONDOWN ? SDL_PRESSED : SDL_RELEASED;
  e.button.clicks = 1;
  e.button.x = at.x;
  e.button.y = at.y;
  SDL_PushEvent(&e);
}

}  // namespace

void keepCasingClicks(SDL_Window* window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_WINDOWS) return;
  casing = info.info.win.window;
  casingId = SDL_GetWindowID(window);
  SDL_SetWindowsMessageHook(giveBack, nullptr);
}

}  // namespace cw
