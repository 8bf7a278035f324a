// What the desktop tells about itself: how many dots per inch it has, to start the game at a
// size that looks on this screen as it does at 96 dpi, and whether a window manager runs, to
// give the game fullscreen.
#pragma once

#include <SDL.h>

#include <optional>
#include <string_view>

namespace cw {

// The desktop's own scale setting where it has one (on X11 the Xft.dpi resource, which the
// desktops set from their scaling choice; on Wayland the output's scale factor, `unit` pixels
// to the compositor's unit, as 96 dpi times it), else the dots per inch SDL reads from the size
// of the display `window` is on; nothing when neither is known or believable.
std::optional<double> desktopDpi(SDL_Window* window, double unit = 1);

// SDL draws on a Wayland compositor (natively, not through XWayland).
bool onWayland();

// How many of `renderer`'s pixels one of `window`'s units spans: 1 on X11, the output's scale
// on a Wayland window made with SDL_WINDOW_ALLOW_HIGHDPI, whose size and mouse positions
// are in the compositor's units and whose picture is drawn in the output's own pixels.
double pixelsPerUnit(SDL_Window* window, SDL_Renderer* renderer);

// Whether what `renderer` draws keeps its transparency on the way to the screen: a Wayland
// window whose GL surface has an alpha channel (the compositor then composites it).
bool drawsSeeThrough(SDL_Renderer* renderer);

// The desktop's dots per inch from the X resources' Xft.dpi line, when it has a sound one.
std::optional<double> xftDpi(std::string_view resources);

}  // namespace cw
