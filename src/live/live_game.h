// The device in real time, as every live front end runs it: the core paced against a real
// clock (the Pacer), the input routed to it, a session recorded or a recording played back,
// and when the loop must next wake. What is left to a front end is the platform: its windows,
// its sound, its clock and its events, reached through the ports given here.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/seams.h"
#include "base/seeded_random.h"
#include "core/shell/device.h"
#include "live/input_router.h"
#include "live/live_input.h"
#include "live/live_sound.h"
#include "live/pacer.h"
#include "live/playback.h"
#include "live/recorder.h"
#include "live/timing_log.h"

namespace cw {

// The front end's windows, as the device asks to show them (the live game ends the program
// itself).
class LiveWindows {
 public:
  virtual ~LiveWindows() = default;
  virtual void showGameWindow(bool shown, bool enabled) = 0;
  virtual void showDialog(bool open) = 0;
};

struct LivePorts {
  LiveSound& sound;
  TimeTextPort& wallClock;  // the local time, core time mapped onto the wall clock
  KeyFilePort& keyFile;     // the player's own key file
  LiveWindows& window;
  ScreenControls& screen;
  DialogControls& dialog;
  std::int64_t (*steadyNs)();  // the steady clock, in nanoseconds
  // Says one line to the player (a key file not saved, a recording that cannot be written).
  std::function<void(const std::string&)> say;
  // Core time was set against the real clock (as it starts, after a pause): the wall clock's
  // text must follow it, from realNow() on.
  std::function<void()> clockMoved;
};

struct LiveSetup {
  std::uint64_t seed = 1;        // the generator's, unless a recording plays
  Recorder* recorder = nullptr;  // records the session, when given
  // Plays this recording instead of the player's input, when given: its seed, holds, key file
  // and clock texts replace the live ones.
  Playback* playback = nullptr;
  TimingLog* timing = nullptr;  // measures the loop, when given
  bool muted = false;           // starts with the sound off
  bool pauseOnBlur = false;     // pauses while none of the front end's windows has the keyboard
};

class LiveGame final : private WindowPort {
 public:
  LiveGame(LivePorts ports, LiveSetup setup);
  LiveGame(const LiveGame&) = delete;
  LiveGame& operator=(const LiveGame&) = delete;

  // How long before a tick that plays a sound the sound device is opened, when it is closed, so
  // that the sound starts on time.
  static constexpr Millis kSoundLeadMs = 100;

  // Starts the recording and the device; the front end then shows the first picture.
  void begin();
  // Core time 0 is now: the first ticks and a recording's first input count from here.
  void startClock();
  // The real time on the core's clock.
  Millis realNow() const {
    return static_cast<Millis>((ports_.steadyNs() - originNs_) / 1'000'000);
  }
  std::int64_t originNs() const { return originNs_; }

  // An input that arrived at core time `at`. While a recording plays, the player's input only
  // changes how the window shows the game, or stops the playback (Esc, ACL).
  void arrive(Millis at, const LiveInput& input);
  // Runs the core up to real time `now` (Pacer::advance).
  void advance(Millis now) { pacer_.advance(now); }
  // No hold is under way at `now`: the picture may be shown.
  bool settled(Millis now) const { return !pacer_.holding(now); }
  // When the loop must wake next, on the steady clock, from real time `now`: the next tick a
  // person notices, input, the end of a hold, the sound device's opening ahead of a sound and
  // its closing after silence, the recording's next write.
  std::int64_t nextWakeNs(Millis now);
  // Writes what was recorded when a write is due. The first write that fails is the failure
  // (once): the game goes on, and the recording stops growing.
  Status writeRecording();
  // The wall clock was set (or the machine woke): what the clock's ticks show must be looked at
  // afresh.
  void clockChanged() { pacer_.forget(); }

  // The pause, beyond the design and never changing the game: no tick runs, the picture stays,
  // and the device resumes where it stood, as if no time had passed. The pause key toggles it.
  void pause();
  void resume();
  bool paused() const { return pacer_.frozen(); }
  // The keyboard came to one of the front end's windows, or left them all.
  void focusChanged(bool ours);
  // The sound off and on (the mute key toggles it); holds keep their length.
  void setMuted(bool muted);
  bool muted() const { return muted_; }
  void toggleMute() { setMuted(!muted_); }

  // The program ends: asked by the player, the window manager, or a failure (`status`).
  void quit(int status = 0);
  bool over() const { return quit_ || device_.ended(); }
  // Ends the recording; returns the exit status.
  int finish();
  // The recording so far made whole, with what the sink already holds before it
  // (Recorder::ending); empty when nothing is recorded.
  std::string recordingEnd() const {
    return setup_.recorder ? setup_.recorder->ending(pacer_.target()) : std::string();
  }
  // Once a recording has played to its end: why the game differs from it, or nothing.
  const std::string& playVerdict() const { return playVerdict_; }

  Device& device() { return device_; }
  const Device& device() const { return device_; }
  // Called with each input as the device is about to take it, at the core's time of it.
  std::function<void(const LiveInput&)> onDeliver;

 private:
  // WindowPort: the device's requests, passed on to the front end.
  void endProgram() override { quit_ = true; }
  void showGameWindow(bool shown, bool enabled) override;
  void showDialog(bool open) override;

  void deliver(const LiveInput& in);
  Ahead lookAhead(Millis until);
  void beginRecording();
  void playNext();
  void endPlayback();

  LivePorts ports_;
  LiveSetup setup_;
  // What the device reads: the wall clock's texts or the recording's, told to the recorder.
  RecordedTimeText clock_;
  std::uint64_t seed_;
  SeededRandom random_;
  KeyFilePort& keys_;  // the player's file, or the recording's in memory
  Device device_;
  Pacer pacer_;
  InputRouter router_;
  std::int64_t originNs_ = 0;
  bool pausedByBlur_ = false;  // paused as the keyboard left, to resume as it comes back
  bool muted_ = false;
  bool quit_ = false;
  int status_ = 0;
  std::string playVerdict_;
};

}  // namespace cw
