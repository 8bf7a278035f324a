// Game controllers through SDL's GameController API: opens each pad SDL reports, plugged in
// before the start or while the game runs, closes it when it goes, and rumbles them on a miss.
// What the buttons mean is the live layer's business (PadKeys), at the moment each is handled.
#pragma once

#include <SDL.h>

#include <string_view>
#include <vector>

#include "base/result.h"
#include "sdl/handles/sdl_handles.h"
#include "sdl/input/pad_watch.h"

namespace cw {

class Pads {
 public:
  Pads() = default;
  Pads(const Pads&) = delete;
  Pads& operator=(const Pads&) = delete;
  ~Pads() { close(); }

  // Starts SDL's controller subsystem (after SDL_Init) and the watch on the pads. Without it
  // the game goes on with the keyboard alone.
  Status open();
  // Closes every pad; before SDL_Quit, which frees them.
  void close();

  // An event as it arrives from SDL: a pad plugged in is opened, one unplugged closed.
  void arrive(const SDL_Event& e);

  // The game played a sound: a broken crate's (a miss) rumbles every pad briefly, when
  // `rumbleEnabled`.
  void soundPlayed(std::string_view name);
  bool rumbleEnabled = false;
  std::size_t count() const { return pads_.size(); }
  // What wakes the loop when a pad has news.
  WakeSource& watch() { return watch_; }

 private:
  struct Pad {
    ControllerHandle controller;
    SDL_JoystickID id;
  };
  void add(int deviceIndex);
  void remove(SDL_JoystickID id);

  bool started_ = false;
  PadWatch watch_;
  std::vector<Pad> pads_;
};

}  // namespace cw
