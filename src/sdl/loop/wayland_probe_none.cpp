// Built without Wayland: SDL has no Wayland driver to offer either.
#include "sdl/loop/wayland_probe.h"

namespace cw {

WaylandOffer probeWayland() {
  return WaylandOffer::Unreachable;
}

}  // namespace cw
