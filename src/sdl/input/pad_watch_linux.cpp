#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "sdl/input/pad_watch.h"

namespace cw {
namespace {

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

void PadWatch::prepare() {
  // Each pad through the kernel's event device, which becomes readable only when something on
  // the pad changed: SDL's own USB drivers (HIDAPI) read raw reports that many pads send
  // hundreds of times a second, moving or not.
  SDL_SetHint(SDL_HINT_JOYSTICK_HIDAPI, "0");
  // SDL finds pads by watching /dev/input, as the loop does, rather than through udev: both
  // then see the same news, and the pump that the loop's wake-up causes is never too early to
  // find the new device.
  SDL_SetHint("SDL_JOYSTICK_DISABLE_UDEV", "1");
}

void PadWatch::start() {
  hotPlug_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (hotPlug_ >= 0 &&
      ::inotify_add_watch(hotPlug_, "/dev/input",
                          IN_CREATE | IN_DELETE | IN_ATTRIB | IN_MOVED_TO | IN_MOVED_FROM) < 0) {
    // No /dev/input (a container): SDL looks for pads on its own when the loop pumps.
    ::close(hotPlug_);
    hotPlug_ = -1;
  }
}

void PadWatch::stop() {
  for (const Reader& r : readers_)
    if (r.fd >= 0) ::close(r.fd);
  readers_.clear();
  if (hotPlug_ >= 0) ::close(hotPlug_);
  hotPlug_ = -1;
}

void PadWatch::added(SDL_JoystickID id, const char* path) {
  readers_.push_back({id, path ? ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1});
}

void PadWatch::removed(SDL_JoystickID id) {
  const auto it =
      std::find_if(readers_.begin(), readers_.end(), [&](const Reader& r) { return r.id == id; });
  if (it == readers_.end()) return;
  if (it->fd >= 0) ::close(it->fd);
  readers_.erase(it);
}

void PadWatch::wakeFds(std::vector<int>& fds) const {
  if (hotPlug_ >= 0) fds.push_back(hotPlug_);
  for (const Reader& r : readers_)
    if (r.fd >= 0) fds.push_back(r.fd);
}

void PadWatch::woken(int fd, short revents) {
  // SDL reads the news from its own descriptors: ours only have to stop waking the wait.
  if (fd == hotPlug_) {
    (void)empty(fd);
    return;
  }
  for (Reader& r : readers_) {
    if (r.fd != fd) continue;
    // An unplugged device stays readable for ever: stop watching it. SDL reports the removal.
    if ((revents & (POLLERR | POLLHUP | POLLNVAL)) != 0 || !empty(fd)) {
      ::close(fd);
      r.fd = -1;
    }
    return;
  }
}

}  // namespace cw
