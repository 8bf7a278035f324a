// Sound through SDL_mixer, optional: without an audio device the game runs silently and a
// waiting play still holds the window for the sound's length.
#pragma once

#include <SDL_mixer.h>

#include <map>
#include <string>

#include "base/result.h"
#include "base/seams.h"

namespace cw {

class MixerSound final : public SoundPort {
 public:
  // The sounds are found under `dataDir` as the game names them.
  explicit MixerSound(std::string dataDir) : dataDir_(std::move(dataDir)) {}
  MixerSound(const MixerSound&) = delete;
  MixerSound& operator=(const MixerSound&) = delete;
  ~MixerSound() override;

  // Opens the audio device and loads the game's sounds. Fails (and stays silent) when there is
  // no usable device; the holds stay right either way.
  Status open();
  Millis play(std::string_view name, int flags) override;

 private:
  struct Sound {
    Mix_Chunk* chunk = nullptr;  // null when silent or the file could not be decoded
    Millis length = 0;           // 0 for a missing or unusable file
  };
  const Sound& find(std::string_view name);

  std::string dataDir_;
  bool audio_ = false;
  std::map<std::string, Sound, std::less<>> sounds_;
};

}  // namespace cw
