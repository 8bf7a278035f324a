#include "platform/pads.h"

#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "base/sound_names.h"

namespace cw {
namespace {

constexpr Uint16 kRumbleStrength = 0xC000;
constexpr Uint32 kRumbleMs = 250;

// Reads what is waiting on a non-blocking descriptor and throws it away. False when the
// descriptor is dead (its device gone).
bool empty(int fd) {
  char buffer[1024];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) continue;
    if (n < 0 && errno == EINTR) continue;
    return n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
  }
}

}  // namespace

Status Pads::open() {
  // Each pad through the kernel's event device, which becomes readable only when something on
  // the pad changed: SDL's own USB drivers (HIDAPI) read raw reports that many pads send
  // hundreds of times a second, moving or not.
  SDL_SetHint(SDL_HINT_JOYSTICK_HIDAPI, "0");
  // SDL finds pads by watching /dev/input, as the loop does, rather than through udev: both
  // then see the same news, and the pump that the loop's wake-up causes is never too early to
  // find the new device.
  SDL_SetHint("SDL_JOYSTICK_DISABLE_UDEV", "1");
  // A and Y by position (south and north), whatever letters a pad prints on them.
  SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
    return failure(std::string("no game controllers: ") + SDL_GetError());
  started_ = true;
  hotPlug_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (hotPlug_ >= 0 &&
      ::inotify_add_watch(hotPlug_, "/dev/input",
                          IN_CREATE | IN_DELETE | IN_ATTRIB | IN_MOVED_TO | IN_MOVED_FROM) < 0) {
    // No /dev/input (a container): SDL looks for pads on its own when the loop pumps.
    ::close(hotPlug_);
    hotPlug_ = -1;
  }
  // The pads already plugged in arrive as events, like those plugged in later.
  return {};
}

void Pads::close() {
  for (const Pad& p : pads_) {
    if (p.fd >= 0) ::close(p.fd);
    SDL_GameControllerClose(p.controller);
  }
  pads_.clear();
  if (hotPlug_ >= 0) ::close(hotPlug_);
  hotPlug_ = -1;
  if (started_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
  started_ = false;
}

bool Pads::arrive(const SDL_Event& e) {
  switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED:
      add(e.cdevice.which);
      return false;
    case SDL_CONTROLLERDEVICEREMOVED:
      remove(e.cdevice.which);
      return true;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      return true;
    case SDL_CONTROLLERAXISMOTION:
      return e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY ||
             e.caxis.axis == SDL_CONTROLLER_AXIS_RIGHTY;
    default:
      return false;
  }
}

void Pads::add(int deviceIndex) {
  SDL_GameController* c = SDL_GameControllerOpen(deviceIndex);
  if (!c) return;
  const SDL_JoystickID id = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(c));
  // SDL may report a pad twice (at the start, and as it notices it): one opening is enough.
  if (std::any_of(pads_.begin(), pads_.end(), [&](const Pad& p) { return p.id == id; })) {
    SDL_GameControllerClose(c);
    return;
  }
  const char* path = SDL_JoystickPath(SDL_GameControllerGetJoystick(c));
  const int fd = path ? ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1;
  pads_.push_back({c, id, fd});
}

void Pads::remove(SDL_JoystickID id) {
  const auto it =
      std::find_if(pads_.begin(), pads_.end(), [&](const Pad& p) { return p.id == id; });
  if (it == pads_.end()) return;
  if (it->fd >= 0) ::close(it->fd);
  SDL_GameControllerClose(it->controller);
  pads_.erase(it);
}

void Pads::rumble() {
  if (!rumbleEnabled) return;
  for (const Pad& p : pads_)
    SDL_GameControllerRumble(p.controller, kRumbleStrength, kRumbleStrength, kRumbleMs);
}

void Pads::wakeFds(std::vector<int>& fds) const {
  if (hotPlug_ >= 0) fds.push_back(hotPlug_);
  for (const Pad& p : pads_)
    if (p.fd >= 0) fds.push_back(p.fd);
}

void Pads::woken(int fd, short revents) {
  // SDL reads the news from its own descriptors: ours only have to stop waking the wait.
  if (fd == hotPlug_) {
    (void)empty(fd);
    return;
  }
  for (Pad& p : pads_) {
    if (p.fd != fd) continue;
    // An unplugged device stays readable for ever: stop watching it. SDL reports the removal.
    if ((revents & (POLLERR | POLLHUP | POLLNVAL)) != 0 || !empty(fd)) {
      ::close(fd);
      p.fd = -1;
    }
    return;
  }
}

Millis RumblingSound::play(std::string_view name, int flags) {
  if (name == kSoundDead) pads_.rumble();
  return sound_.play(name, flags);
}

}  // namespace cw
