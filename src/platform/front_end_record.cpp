// The live front end recording a session, or playing a recording back.
#include <cstdio>

#include "base/sound_names.h"
#include "platform/front_end.h"

namespace cw {

void FrontEnd::beginRecording() {
  Recorder* recorder = options_.recorder;
  if (!recorder) return;
  Recorder::Setting setting;
  setting.seed = seed_;
  for (const char* name : kAllSounds) setting.holds.emplace_back(name, sound_.holdLength(name));
  recorder->begin(device_, keys_, setting, steadyNs());
  device_.setInputObserver(recorder);
  pacer_.onStall = [recorder](Millis target, Millis ms) { recorder->stalls(target, ms); };
}

void FrontEnd::endRecording() {
  Recorder* recorder = options_.recorder;
  if (!recorder) return;
  recorder->reached(pacer_.target());
  device_.setInputObserver(nullptr);
  if (Status written = recorder->finish(); !written) {
    std::fprintf(stderr, "crateworks: %s\n", written.error().c_str());
    if (status_ == 0) status_ = 1;
  }
}

// Hands the pacer the recording's next input, to run at its core time; at the end of the
// recording, compares and ends.
void FrontEnd::playNext() {
  const std::optional<Playback::Step> step = options_.playback->next(device_);
  if (!step) return endPlayback();
  SDL_Event e{};
  e.type = SDL_USEREVENT;
  e.user.code = static_cast<Sint32>(step->index);
  pacer_.arrive(step->runTo, e, true);
}

void FrontEnd::endPlayback() {
  quit_ = true;
  playVerdict_ = options_.playback->verdict();
  if (playVerdict_.empty()) {
    std::fprintf(stderr, "crateworks: the recording played back as recorded (%d values the same)\n",
                 options_.playback->compared());
    return;
  }
  std::fprintf(stderr, "crateworks: %s\n", playVerdict_.c_str());
  if (status_ == 0) status_ = 1;
}

}  // namespace cw
