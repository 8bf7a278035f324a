// Sound through SDL_mixer, optional: without an audio device the game runs silently and a
// waiting play still holds the window for the sound's length.
//
// The device is open only while sound may play: it opens when a sound is about to play (the
// loop knows when a tick will play one, and a key or a click may) and closes after some seconds
// of silence, so that an idle game has no mixer thread waking to mix silence. Holds are timed
// from the WAV files' lengths, never from the device, so the game's timing does not depend on
// whether the device is open, slow to open or missing.
#pragma once

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "base/result.h"
#include "live/live_sound.h"

namespace cw {

// The device stays open kCloseAfterNs after the last sound ended. Game B plays a sound every
// 750 ms while crates run, so a game keeps it open throughout.
class MixerSound final : public LiveSound {
 public:
  // The sounds are found under `dataDir` as the game names them.
  explicit MixerSound(std::string dataDir) : dataDir_(std::move(dataDir)) {}
  MixerSound(const MixerSound&) = delete;
  MixerSound& operator=(const MixerSound&) = delete;
  ~MixerSound() override;

  // Reads the game's sounds (their lengths, and their files into memory, so that opening the
  // device never waits on the disk) and opens the device to see that there is one. Fails (and
  // stays silent for good) when there is no usable device; the holds stay right either way.
  Status open();
  // The sounds whose files are missing or unreadable, as the game names them: those play
  // nothing and hold nothing.
  const std::vector<std::string>& missing() const { return missing_; }

  // LiveSound
  void wake(std::int64_t nowNs) override;
  std::int64_t closeWhenSilent(std::int64_t nowNs) override;
  bool deviceOpen() const override { return audio_; }
  bool canOpen() const override { return !failed_; }
  Millis holdLength(std::string_view name) override;
  void tellHolds(const ToldHolds& holds) override { told_ = holds; }
  void setMuted(bool muted) override;

  // The device went away (unplugged): close it; the next sound opens the default one afresh.
  void deviceLost() { close(); }
  // Closes the device. Closing waits for the device to play out what it holds (SDL waits two
  // buffers, some 50 ms), so it happens on a thread of its own, and the loop goes on meanwhile;
  // opening again waits for it.
  void close();
  // Closes the device and waits until it is closed (before SDL quits).
  void closeAndWait();

  // Plays the sound; a waiting play holds the window for its file's length, unless told.
  Millis play(std::string_view name, int flags) override;
  // Called with each sound the game plays, file or not (pads rumble on a miss).
  std::function<void(std::string_view name)> onPlay;
  // Called as each sound starts (the benchmark's record).
  std::function<void()> onStart;

 private:
  struct Sound {
    std::string file;            // the WAV file's bytes
    Mix_Chunk* chunk = nullptr;  // while the device is open and the file decodes
    Millis length = 0;           // 0 for a missing or unusable file
  };
  Sound& find(std::string_view name);
  bool openDevice();
  // Shuts the audio subsystem down, with the chunks, on the closing thread.
  void closeInBackground(std::vector<Mix_Chunk*> chunks);
  void closed();

  std::string dataDir_;
  bool audio_ = false;   // the device is open
  bool failed_ = false;  // it could not be opened: silent for good
  bool muted_ = false;   // nothing is played, and the device is not opened for it
  std::int64_t silentFromNs_ = 0;
  std::map<std::string, Sound, std::less<>> sounds_;
  std::vector<std::string> missing_;
  ToldHolds told_;
  std::thread closing_;
};

}  // namespace cw
