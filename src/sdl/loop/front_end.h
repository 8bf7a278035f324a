// The SDL front end: the casing's window, the key dialog, sound and pads, and the loop that
// hands SDL's events to the live game (live/live_game.h) and sleeps until it must wake.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "host/clock_watch.h"
#include "host/key_file_on_disk.h"
#include "host/local_time.h"
#include "live/live_game.h"
#include "sdl/handles/sdl_handles.h"
#include "sdl/input/pads.h"
#include "sdl/loop/event_wait.h"
#include "sdl/sound/mixer_sound.h"
#include "sdl/window/casing_window.h"
#include "sdl/window/dialog_window.h"
#include "sdl/window/x11_desktop.h"

namespace cw {

struct FrontEndOptions {
  std::string dataDir;                                            // holds assets/ and audio/
  Result<std::string> keyFilePath{failure("no key file named")};  // or why there is none
  bool rumble = false;                                            // pads rumble on a miss
  ScreenOptions screen;  // the scale, the view, fullscreen, and where they are remembered
  std::optional<std::uint64_t> seed = std::nullopt;  // the generator's; else from the clock
  Recorder* recorder = nullptr;                      // records the session, when given
  // Plays this recording instead of the player's input, when given: its seed, holds, key file
  // and clock texts replace the live ones.
  Playback* playback = nullptr;
  bool muted = false;        // starts with the sound off
  bool pauseOnBlur = false;  // pauses while the keyboard is in another program's window
};

// Stamps each key event in the timing log as it enters SDL's queue (an SDL event watch).
int stampKeyArrival(void* timingLog, SDL_Event* e);

class FrontEnd final : private LiveWindows, private WakeSource {
 public:
  explicit FrontEnd(FrontEndOptions options);
  FrontEnd(const FrontEnd&) = delete;
  FrontEnd& operator=(const FrontEnd&) = delete;
  ~FrontEnd() override;

  // Opens the window (hidden until the device shows it) and loads every picture, the font and
  // the sounds. Without an audio device, or without some sound files, it goes on silently,
  // saying so in one line each.
  Status open();
  // Starts the device and runs until the program ends; returns the exit status. A failure
  // that ends the program on its way has been said.
  int run();

  // Called with each frame drawn, just before it is presented (tests read the pixels here).
  std::function<void(SDL_Renderer*)>& onGameFrame() { return screen_.onFrame; }
  std::function<void(SDL_Renderer*)> onDialogFrame;
  // Called once per pass of the loop, with the screen up to date, before it waits for events.
  std::function<void()> onWake;
  // Called with each input as the device is about to take it, at the core's time of it
  // (tests replay the session from these).
  std::function<void(const LiveInput&)>& onDeliver() { return game_.onDeliver; }
  // Told of every change of the game's picture (tests compare it with a replay's).
  void watchDisplay(DisplayObserver* o) { game_.device().setDisplayObserver(o); }

  const Device& device() const { return game_.device(); }
  bool paused() const { return game_.paused(); }
  // The live time text, which maps core time onto the wall clock (a replay can read the same).
  LocalTimeText& timeText() { return timeText_; }
  SDL_Window* gameWindow() const { return screen_.window(); }
  DialogWindow& dialogWindow() { return dialog_; }
  const Pads& pads() const { return pads_; }
  // Once a recording has played to its end: why the game differs from it, or nothing.
  const std::string& playVerdict() const { return game_.playVerdict(); }
  // Wakes the loop on `source`'s descriptors too (a test's own input).
  void watch(WakeSource& source) { events_.watch(source); }

 private:
  // WakeSource: the wall clock's watch.
  void wakeFds(std::vector<int>& fds) const override { clockWatch_.wakeFds(fds); }
  void woken(int, short) override { clockWasSet(); }

  // LiveWindows
  void showGameWindow(bool shown, bool enabled) override;
  void showDialog(bool open) override;

  Millis arrival(const SDL_Event& e) const;
  Status startVideo();
  Status openDialogLook();
  void openSound();
  void sayOfTheKeyFile();
  void pump(const SDL_Event& e);
  void pumpWindowEvent(const SDL_Event& e);
  void presentGame(bool settled);
  void presentDialog(bool settled, Millis now);
  void writeRecording();
  void reloadPictures();
  void endWithoutPictures(const std::string& why);
  std::int64_t nextWakeNs(Millis now);
  void clockWasSet();
  void followWallClock();

  // Declared in the order they start, so that they go in the reverse one: SDL last.
  SdlLibrary sdl_;
  FontLibrary fonts_;
  FrontEndOptions options_;
  std::string assets_;  // where the pictures and the font are, the same for every load
  // The benchmark's measure of the loop, when the environment variable CRATEWORKS_TIMING_LOG
  // names a file: written there when the front end goes, so that measuring costs the loop no
  // disk access.
  std::string timingPath_;
  std::unique_ptr<TimingLog> timing_;
  MixerSound sound_;
  Pads pads_;
  LocalTimeText timeText_;
  KeyFileOnDisk keyFile_;
  CasingWindow screen_;
  DialogWindow dialog_;
  SurfaceHandle dialogIcon_;
  FontHandle font_;
  LiveGame game_;

  // Our windows, which another program may destroy under us.
  WindowWatch windows_;
  EventWait events_;
  // Wakes the loop when the wall clock is set (the FrontEnd is its wake source).
  WallClockWatch clockWatch_;
  // The loop used the display connection since it last waited.
  bool talked_ = true;
  // A window of ours had the keyboard once (a display without focus, as tests use, never says).
  bool keyboardSeen_ = false;
};

}  // namespace cw
