#include <wayland-client.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "sdl/loop/wayland_probe.h"

namespace cw {
namespace {

void onGlobal(void* seen, wl_registry*, std::uint32_t, const char* interface, std::uint32_t) {
  if (std::strcmp(interface, wl_seat_interface.name) == 0) *static_cast<bool*>(seen) = true;
}
void onGlobalRemoved(void*, wl_registry*, std::uint32_t) {}
constexpr wl_registry_listener kListener{onGlobal, onGlobalRemoved};

// Whether libwayland could find the socket WAYLAND_DISPLAY names: a relative name lies in
// XDG_RUNTIME_DIR, and without one libwayland prints its own complaint on stderr.
bool reachable(const char* name) {
  if (!name || !*name) return false;
  if (name[0] == '/') return true;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  return runtime && runtime[0] == '/';
}

}  // namespace

WaylandOffer probeWayland() {
  const char* name = std::getenv("WAYLAND_DISPLAY");
  if (!reachable(name)) return WaylandOffer::Unreachable;
  wl_display* display = wl_display_connect(name);
  if (!display) return WaylandOffer::Unreachable;
  bool seat = false;
  wl_registry* registry = wl_display_get_registry(display);
  const bool answered = registry && wl_registry_add_listener(registry, &kListener, &seat) == 0 &&
                        wl_display_roundtrip(display) >= 0;
  if (registry) wl_registry_destroy(registry);
  wl_display_disconnect(display);
  if (!answered) return WaylandOffer::Unreachable;
  return seat ? WaylandOffer::Usable : WaylandOffer::NoSeat;
}

}  // namespace cw
