// How the live loop learns of a game controller's news while it sleeps. SDL reads the pads only
// when it pumps its events; on Linux the loop sleeps on descriptors rather than in SDL's
// polling wait, so this watches /dev/input for pads plugged in and each pad's event device for
// presses, and wakes the wait. Elsewhere SDL's own wait sees the pads, and this does nothing.
// One file per operating system.
#pragma once

#include <SDL.h>

#include <vector>

#include "host/wake_source.h"

namespace cw {

class PadWatch final : public WakeSource {
 public:
  PadWatch() = default;
  PadWatch(const PadWatch&) = delete;
  PadWatch& operator=(const PadWatch&) = delete;
  ~PadWatch() override { stop(); }

  // Before SDL's controller subsystem starts: the hints that make SDL find and read the pads the
  // way they are watched here.
  static void prepare();
  // Starts watching for pads plugged in; stop() ends every watch.
  void start();
  void stop();
  // A pad was opened (its device at `path`, null for SDL's virtual pads), or closed.
  void added(SDL_JoystickID id, const char* path);
  void removed(SDL_JoystickID id);

  // WakeSource
  void wakeFds(std::vector<int>& fds) const override;
  void woken(int fd, short revents) override;

 private:
  struct Reader {
    SDL_JoystickID id;
    int fd;  // our own reader of the pad's device, only ever polled and emptied; -1 for none
  };
  int hotPlug_ = -1;  // the watch on /dev/input
  std::vector<Reader> readers_;
};

}  // namespace cw
