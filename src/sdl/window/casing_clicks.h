// The casing drags the window through SDL's hit test. Where the system asks that test for every
// mouse button (Windows), a middle or right press on the casing would become the system's own
// (a move, a menu) and never reach the game, whose middle button changes the view: those are
// given back to the game as SDL's button events. Elsewhere (X11 asks for the left button only)
// nothing needs doing. One file per system.
#pragma once

#include <SDL.h>

namespace cw {

// From now on, the middle and right buttons pressed on `window`'s draggable parts reach the
// game as SDL_MOUSEBUTTONDOWN and SDL_MOUSEBUTTONUP.
void keepCasingClicks(SDL_Window* window);

}  // namespace cw
