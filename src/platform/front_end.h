// The live front end: the game window, the key remap dialog, sound, and the loop that paces
// the core in real time.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/shell/device.h"
#include "host/key_file_store.h"
#include "host/local_time.h"
#include "host/seeded_random.h"
#include "platform/dialog_window.h"
#include "platform/event_wait.h"
#include "platform/game_screen.h"
#include "platform/input.h"
#include "platform/pacer.h"
#include "platform/pads.h"
#include "platform/playback.h"
#include "platform/recorder.h"
#include "platform/sound.h"
#include "platform/timing_log.h"
#include "platform/x11_windows.h"

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
};

class FrontEnd final : private WindowPort, private WakeSource {
 public:
  explicit FrontEnd(FrontEndOptions options);
  FrontEnd(const FrontEnd&) = delete;
  FrontEnd& operator=(const FrontEnd&) = delete;
  ~FrontEnd() override;

  // How long before a tick that plays a sound the audio device is opened, when it is closed, so
  // that the sound starts on time.
  static constexpr Millis kSoundLeadMs = 100;

  // Opens the window (hidden until the device shows it) and loads every picture, the font and
  // the sounds. Without an audio device, or without some sound files, it goes on silently,
  // saying so in one line each.
  Status open();
  // Starts the device and runs until the program ends; returns the exit status. A failure
  // that ends the program on its way has been said on stderr.
  int run();

  // Called with each frame drawn, just before it is presented (tests read the pixels here).
  std::function<void(SDL_Renderer*)>& onGameFrame() { return screen_.onFrame; }
  std::function<void(SDL_Renderer*)> onDialogFrame;
  // Called once per pass of the loop, with the screen up to date, before it waits for events.
  std::function<void()> onWake;
  // Called with each input event as the device is about to take it, at the core's time of it
  // (tests replay the session from these).
  std::function<void(const SDL_Event&)> onDeliver;
  // Told of every change of the game's picture (tests compare it with a replay's).
  void watchDisplay(DisplayObserver* o) { device_.setDisplayObserver(o); }

  const Device& device() const { return device_; }
  // The live time text, which maps core time onto the wall clock (a replay can read the same).
  LocalTimeText& timeText() { return timeText_; }
  SDL_Window* gameWindow() const { return screen_.window(); }
  DialogWindow& dialogWindow() { return dialog_; }
  const Pads& pads() const { return pads_; }
  // Once a recording has played to its end: why the game differs from it, or nothing.
  const std::string& playVerdict() const { return playVerdict_; }
  // Wakes the loop on `source`'s descriptors too (a test's own input).
  void watch(WakeSource& source) { events_.watch(source); }

 private:
  // WakeSource: the wall clock's watch.
  void wakeFds(std::vector<int>& fds) const override {
    if (clockWatch_.fd() >= 0) fds.push_back(clockWatch_.fd());
  }
  void woken(int, short) override { clockWasSet(); }

  // WindowPort
  void endProgram() override { quit_ = true; }
  void showGameWindow(bool shown, bool enabled) override;
  void showDialog(bool open) override;

  Millis realNow() const { return static_cast<Millis>((steadyNs() - originNs_) / 1'000'000); }
  Millis arrival(const SDL_Event& e) const;
  Status openDialogLook();
  void openSound();
  void pump(const SDL_Event& e);
  void pumpWindowEvent(const SDL_Event& e);
  void deliver(const SDL_Event& e);
  void presentGame(bool settled);
  void presentDialog(bool settled, Millis now);
  void reloadPictures();
  void endWithoutPictures(const std::string& why);
  // Recording and playing back (front_end_record.cpp).
  void beginRecording();
  void endRecording();
  void playNext();
  void endPlayback();
  std::int64_t nextWakeNs(Millis now);
  void clockWasSet();

  FrontEndOptions options_;
  std::string assets_;  // where the pictures and the font are, the same for every load
  MixerSound sound_;
  Pads pads_;
  RumblingSound rumblingSound_{sound_, pads_};
  LocalTimeText timeText_;
  // What the device reads: the wall clock's texts or the recording's, told to the recorder.
  RecordedTimeText clock_;
  std::uint64_t seed_;
  SeededRandom random_;
  FileKeyStore keyFile_;
  KeyFileStore& keys_;  // the file, or the recording's in memory
  Device device_;
  Pacer pacer_;

  bool sdl_ = false;
  bool ttf_ = false;
  GameScreen screen_;
  SDL_Surface* dialogIcon_ = nullptr;
  TTF_Font* font_ = nullptr;
  DialogWindow dialog_;
  Input input_{device_, dialog_, screen_};

  // Core time 0 on the steady clock.
  std::int64_t originNs_ = 0;
  bool quit_ = false;
  int status_ = 0;
  std::string playVerdict_;

  // Null unless the environment asks for the loop's timing to be measured.
  std::unique_ptr<TimingLog> timing_;
  EventWait events_;
  // Our windows, which another program may destroy under us.
  WindowWatch windows_;
  // Wakes the loop when the wall clock is set (the FrontEnd is its wake source).
  WallClockWatch clockWatch_;
  // The loop used the display connection since it last waited.
  bool talked_ = true;
};

}  // namespace cw
