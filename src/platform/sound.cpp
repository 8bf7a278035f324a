#include "platform/sound.h"

#include "base/sound_names.h"
#include "host/data_files.h"

namespace cw {

MixerSound::~MixerSound() {
  if (!audio_) return;
  Mix_HaltChannel(-1);
  for (auto& [name, s] : sounds_)
    if (s.chunk) Mix_FreeChunk(s.chunk);
  Mix_CloseAudio();
}

Status MixerSound::open() {
  if (!audio_) {
    audio_ = Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) == 0;
    if (audio_) Mix_AllocateChannels(1);
  }
  // Loaded once, before the first play, so a play never waits on the disk.
  for (const char* name : kAllSounds) find(name);
  if (!audio_) return failure(Mix_GetError());
  return {};
}

const MixerSound::Sound& MixerSound::find(std::string_view name) {
  auto it = sounds_.find(name);
  if (it != sounds_.end()) return it->second;
  Sound s;
  const std::string path = resolveDataFile(dataDir_, name);
  // The same length the replay uses, so a hold lasts as long live as headless.
  if (auto length = wavLengthMs(path)) {
    s.length = *length;
    if (audio_) s.chunk = Mix_LoadWAV(path.c_str());
  }
  return sounds_.emplace(std::string(name), s).first->second;
}

Millis MixerSound::play(std::string_view name, int flags) {
  const Sound& s = find(name);
  if (s.length == 0) return 0;
  // One channel: a new sound cuts off the one still playing.
  if (s.chunk) Mix_PlayChannel(0, s.chunk, 0);
  return flags == kSoundWait ? s.length : 0;
}

}  // namespace cw
