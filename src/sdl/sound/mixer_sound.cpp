#include "sdl/sound/mixer_sound.h"

#include "base/sound_names.h"
#include "base/wav_length.h"
#include "host/clock.h"
#include "host/data_files.h"
#include "host/files.h"
#include "sdl/sound/driver_noise.h"

namespace cw {
MixerSound::~MixerSound() {
  closeAndWait();
}

Status MixerSound::open() {
  for (const char* name : kAllSounds) {
    if (find(name).length == 0) missing_.emplace_back(name);
  }
  // Opened to see that there is one, then closed until a sound is about to play.
  if (!openDevice()) return failure(Mix_GetError());
  close();
  return {};
}

MixerSound::Sound& MixerSound::find(std::string_view name) {
  auto it = sounds_.find(name);
  if (it != sounds_.end()) return it->second;
  Sound s;
  const std::string path = resolveDataFile(dataDir_, name);
  // Only a plain file is read (a FIFO would block the loop); the same length the replay uses,
  // so a hold lasts as long live as headless.
  if (auto file = readSmallFile(path, kMaxSoundBytes); file && *file) {
    if (auto length = wavLengthOf(**file)) {
      s.length = *length;
      s.file = std::move(**file);
    }
  }
  return sounds_.emplace(std::string(name), std::move(s)).first->second;
}

bool MixerSound::openDevice() {
  if (audio_) return true;
  if (failed_) return false;
  closed();
  silenceDriverNoise();
  if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
    failed_ = true;
    // The audio subsystem may hold threads of its own (ALSA's hot-plug thread wakes ten times
    // a second): none for silence.
    closeInBackground({});
    return false;
  }
  audio_ = true;
  Mix_AllocateChannels(1);
  // Decoded for the device as it opened this time (its rate may differ from the last).
  for (auto& [name, s] : sounds_) {
    if (!s.file.empty())
      s.chunk =
          Mix_LoadWAV_RW(SDL_RWFromConstMem(s.file.data(), static_cast<int>(s.file.size())), 1);
  }
  return true;
}

void MixerSound::close() {
  if (!audio_) return;
  audio_ = false;
  std::vector<Mix_Chunk*> chunks;
  for (auto& [name, s] : sounds_) {
    if (s.chunk) chunks.push_back(s.chunk);
    s.chunk = nullptr;
  }
  closeInBackground(std::move(chunks));
}

void MixerSound::closeInBackground(std::vector<Mix_Chunk*> chunks) {
  closed();
  // Nothing else touches the mixer or the audio subsystem until closed() has joined this.
  closing_ = std::thread([chunks = std::move(chunks)] {
    if (Mix_QuerySpec(nullptr, nullptr, nullptr)) {
      Mix_HaltChannel(-1);
      for (Mix_Chunk* c : chunks) Mix_FreeChunk(c);
      Mix_CloseAudio();
    }
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    // SDL keeps per-thread data (its error text) only for threads it made itself.
    SDL_TLSCleanup();
  });
}

void MixerSound::closed() {
  if (closing_.joinable()) closing_.join();
}

void MixerSound::closeAndWait() {
  close();
  closed();
}

void MixerSound::wake(std::int64_t nowNs) {
  if (!muted_ && !audio_ && openDevice()) silentFromNs_ = nowNs;
}

std::int64_t MixerSound::closeWhenSilent(std::int64_t nowNs) {
  if (!audio_) return -1;
  if (nowNs - silentFromNs_ >= kCloseAfterNs) {
    close();
    return -1;
  }
  return silentFromNs_ + kCloseAfterNs;
}

Millis MixerSound::holdLength(std::string_view name) {
  if (const std::optional<Millis> told = told_.find(name)) return *told;
  return find(name).length;
}

void MixerSound::setMuted(bool muted) {
  muted_ = muted;
  // Silence at once, not at the end of what plays.
  if (muted_ && audio_) Mix_HaltChannel(-1);
}

Millis MixerSound::play(std::string_view name, int flags) {
  if (onPlay) onPlay(name);
  const Millis hold = flags == kSoundWait ? holdLength(name) : 0;
  const Sound& s = find(name);
  if (s.length == 0 || muted_) return hold;
  // Opened now if nobody saw this sound coming: late, but heard.
  const std::int64_t now = steadyNs();
  wake(now);
  // One channel: a new sound cuts off the one still playing.
  if (s.chunk) Mix_PlayChannel(0, s.chunk, 0);
  if (onStart) onStart();
  silentFromNs_ = std::max(silentFromNs_, now + s.length * 1'000'000);
  return hold;
}

}  // namespace cw
