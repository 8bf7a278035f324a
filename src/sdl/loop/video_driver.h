// Which of SDL's video drivers the program starts, chosen from what the environment offers
// rather than left to SDL's own order: SDL_VIDEODRIVER when set; else Wayland where a
// compositor is named and can take a window with input; else X11 where a display is named.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace cw {

// What the Wayland display named in the environment offers (see sdl/loop/wayland_probe.h).
enum class WaylandOffer {
  Usable,       // a compositor that has an input seat
  NoSeat,       // a compositor with no keyboard or pointer: SDL 2.26 crashes on it
  Unreachable,  // none could be reached (not named, not running, no runtime folder)
};

// The environment's word on the video drivers.
struct VideoEnvironment {
  std::string forced;         // SDL_VIDEODRIVER: one driver or a comma-separated list
  bool x11Named = false;      // DISPLAY is set
  bool waylandNamed = false;  // WAYLAND_DISPLAY is set
  // SDL has an X11 or a Wayland driver, whose displays the environment names; elsewhere
  // (Windows) SDL's own driver is the desktop's.
  bool namedDisplays = true;
};

// The drivers to try, in order, each alone (none: SDL's own choice); or, when none can be,
// why (`refusal`).
struct VideoPlan {
  std::vector<std::string> drivers;
  std::string refusal;
};

// SDL_VIDEODRIVER wins, less Wayland when its compositor has no seat. Otherwise native
// Wayland comes first, since there the picture is drawn at the output's own scale where
// XWayland would have many compositors enlarge a blurred copy, then X11. `probe` is asked only
// when Wayland is among the candidates.
VideoPlan planVideo(const VideoEnvironment& env, const std::function<WaylandOffer()>& probe);

// The environment of this process.
VideoEnvironment videoEnvironment();

}  // namespace cw
