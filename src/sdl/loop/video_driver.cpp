#include "sdl/loop/video_driver.h"

#include <SDL.h>

#include <algorithm>

namespace cw {
namespace {

constexpr const char* kNoSeat =
    "the Wayland compositor offers no keyboard or pointer (no input seat)";

std::vector<std::string> splitList(const std::string& list) {
  std::vector<std::string> items;
  std::size_t at = 0;
  while (at <= list.size()) {
    const std::size_t end = std::min(list.find(',', at), list.size());
    if (end > at) items.push_back(list.substr(at, end - at));
    at = end + 1;
  }
  return items;
}

bool isWayland(const std::string& driver) {
  return SDL_strcasecmp(driver.c_str(), "wayland") == 0;
}

}  // namespace

VideoPlan planVideo(const VideoEnvironment& env, const std::function<WaylandOffer()>& probe) {
  VideoPlan plan;
  if (!env.forced.empty()) {
    plan.drivers = splitList(env.forced);
    const bool wayland = std::any_of(plan.drivers.begin(), plan.drivers.end(), isWayland);
    if (wayland && probe() == WaylandOffer::NoSeat) {
      plan.drivers.erase(std::remove_if(plan.drivers.begin(), plan.drivers.end(), isWayland),
                         plan.drivers.end());
      if (plan.drivers.empty()) plan.refusal = kNoSeat;
    }
    if (plan.drivers.empty() && plan.refusal.empty())
      plan.refusal = "SDL_VIDEODRIVER names no video driver";
    return plan;
  }
  if (!env.namedDisplays) return plan;
  const WaylandOffer wayland = env.waylandNamed ? probe() : WaylandOffer::Unreachable;
  if (wayland == WaylandOffer::Usable) plan.drivers.push_back("wayland");
  if (env.x11Named) plan.drivers.push_back("x11");
  if (plan.drivers.empty())
    plan.refusal = wayland == WaylandOffer::NoSeat ? kNoSeat : "no display found";
  return plan;
}

VideoEnvironment videoEnvironment() {
  const auto named = [](const char* name) {
    const char* value = SDL_getenv(name);
    return value && *value;
  };
  bool namedDisplays = false;
  for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
    const char* driver = SDL_GetVideoDriver(i);
    namedDisplays = namedDisplays || SDL_strcmp(driver, "x11") == 0 || isWayland(driver);
  }
  const char* forced = SDL_getenv("SDL_VIDEODRIVER");
  return {forced ? forced : "", named("DISPLAY"), named("WAYLAND_DISPLAY"), namedDisplays};
}

}  // namespace cw
