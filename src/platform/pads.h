// Game controllers through SDL's GameController API: opens each pad SDL reports, plugged in
// before the start or while the game runs, and watches its device so that a press wakes the
// loop, which sleeps on file descriptors rather than SDL's polling wait. What the buttons
// mean is PadKeys' business, at the moment each event is handled.
#pragma once

#include <SDL.h>

#include <vector>

#include "base/result.h"
#include "base/seams.h"
#include "platform/event_wait.h"

namespace cw {

class Pads final : public WakeSource {
 public:
  Pads() = default;
  Pads(const Pads&) = delete;
  Pads& operator=(const Pads&) = delete;
  ~Pads() override { close(); }

  // Starts SDL's controller subsystem (after SDL_Init) and the watch on /dev/input. Without it
  // the game goes on with the keyboard alone.
  Status open();
  // Closes every pad; before SDL_Quit, which frees them.
  void close();

  // An event as it arrives from SDL: a pad plugged in is opened, one unplugged closed. True
  // for what the game must receive in order with the rest of the input: a button, a stick's
  // vertical axis, and the removal (which releases what the pad held).
  bool arrive(const SDL_Event& e);

  // A short rumble on every pad, when `enabled`.
  void rumble();
  bool rumbleEnabled = false;
  std::size_t count() const { return pads_.size(); }

  // WakeSource: /dev/input's watch, and each pad's device (none for SDL's virtual pads).
  void wakeFds(std::vector<int>& fds) const override;
  void woken(int fd, short revents) override;

 private:
  struct Pad {
    SDL_GameController* controller;
    SDL_JoystickID id;
    int fd;  // our own reader of its device, only ever polled and emptied; -1 for none
  };
  void add(int deviceIndex);
  void remove(SDL_JoystickID id);

  bool started_ = false;
  int hotPlug_ = -1;  // inotify on /dev/input
  std::vector<Pad> pads_;
};

// The game's sounds, with a rumble on each pad as a crate breaks (a miss).
class RumblingSound final : public SoundPort {
 public:
  RumblingSound(SoundPort& sound, Pads& pads) : sound_(sound), pads_(pads) {}
  Millis play(std::string_view name, int flags) override;

 private:
  SoundPort& sound_;
  Pads& pads_;
};

}  // namespace cw
