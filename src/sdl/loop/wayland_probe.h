// What the Wayland display named in the environment offers, asked on a connection of our own
// before SDL makes its own: SDL 2.26 writes through a null pointer in SDL_Init when the
// compositor has no input seat, so the program must know before it lets SDL near one. One
// file per platform: where the program is built without Wayland, nothing is reachable.
#pragma once

#include "sdl/loop/video_driver.h"

namespace cw {

// Connects to WAYLAND_DISPLAY (never to a default one), looks for a wl_seat among the
// compositor's globals and disconnects. Says nothing on stderr.
WaylandOffer probeWayland();

}  // namespace cw
