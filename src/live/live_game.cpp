#include "live/live_game.h"

#include <algorithm>
#include <limits>

#include "base/sound_names.h"
#include "core/shell/look_ahead.h"

namespace cw {

LiveGame::LiveGame(LivePorts ports, LiveSetup setup)
    : ports_(std::move(ports)),
      setup_(setup),
      clock_(setup_.playback ? setup_.playback->clock() : ports_.wallClock, setup_.recorder),
      seed_(setup_.playback ? setup_.playback->seed() : setup_.seed),
      random_(seed_),
      keys_(setup_.playback ? setup_.playback->keyFile() : ports_.keyFile),
      device_(Seams{ports_.sound, clock_, random_, keys_, *this}),
      pacer_(
          device_, [this](const LiveInput& in) { deliver(in); },
          [this](Millis until) { return lookAhead(until); }),
      router_(device_, ports_.dialog, ports_.screen) {
  // A sound device lives longer than one game (the page's): what a recording told it ends here.
  ports_.sound.tellHolds(setup_.playback ? setup_.playback->holds() : ToldHolds{});
  if (setup_.playback) pacer_.stalls = false;
  router_.onPause = [this] { paused() ? resume() : pause(); };
  router_.onMute = [this] { toggleMute(); };
  setMuted(setup_.muted);
}

Ahead LiveGame::lookAhead(Millis until) {
  // The copy draws what the live generator would, and leaves it as it is.
  SeededRandom random = random_;
  TimingLog* timing = setup_.timing;
  const std::int64_t start = timing ? ports_.steadyNs() : 0;
  const Ahead a = cw::lookAhead(device_.game(), random, clock_.source(), until);
  if (timing)
    timing->lookedAhead(a.ticks, ports_.steadyNs() - start, device_.now(),
                        a.due >= 0 ? a.due : until);
  return a;
}

void LiveGame::begin() {
  beginRecording();
  device_.start();
}

void LiveGame::startClock() {
  originNs_ = ports_.steadyNs();
  if (ports_.clockMoved) ports_.clockMoved();
  if (setup_.playback) playNext();
  if (TimingLog* timing = setup_.timing) {
    timing->setOrigin(originNs_, device_.display());
    device_.setTickObserver(timing);
  }
}

void LiveGame::arrive(Millis at, const LiveInput& input) {
  if (setup_.playback) {
    if (router_.watching(input)) quit_ = true;  // Esc or ACL stops the playback
  } else if (paused()) {
    deliver(input);  // at once: the core stands still
  } else {
    pacer_.arrive(at, input);
  }
}

void LiveGame::pause() {
  if (paused() || over()) return;
  // What came after the pause key arrived during the pause.
  for (const LiveInput& in : pacer_.freeze()) deliver(in);
}

void LiveGame::resume() {
  if (!paused()) return;
  pausedByBlur_ = false;
  // The real clock takes up where the core stands: the time paused never happened to it.
  originNs_ = ports_.steadyNs() - device_.now() * 1'000'000;
  pacer_.thaw();
  if (ports_.clockMoved) ports_.clockMoved();
}

void LiveGame::focusChanged(bool ours) {
  if (!setup_.pauseOnBlur || setup_.playback) return;
  if (!ours && !paused()) {
    pause();
    pausedByBlur_ = paused();
  } else if (ours && pausedByBlur_) {
    resume();
  }
}

void LiveGame::setMuted(bool muted) {
  muted_ = muted;
  ports_.sound.setMuted(muted);
}

std::int64_t LiveGame::nextWakeNs(Millis now) {
  // Paused, only what the front end needs wakes the loop: input, the sound device's closing,
  // the recording's writes.
  Millis wakeAt = paused() ? std::numeric_limits<Millis>::max() / 2'000'000 : pacer_.wakeAt(now);
  LiveSound& sound = ports_.sound;
  // The next tick a person notices plays a sound, when that is known.
  const Millis soundAt = paused() ? -1 : pacer_.soundAt();
  if (soundAt >= 0 && !sound.deviceOpen() && sound.canOpen()) {
    if (soundAt - now <= kSoundLeadMs)
      sound.wake(ports_.steadyNs());
    else
      wakeAt = std::min(wakeAt, soundAt - kSoundLeadMs);
  }
  // Woken at an exact instant of the core's own millisecond grid, when the tick is due.
  std::int64_t wakeNs = originNs_ + wakeAt * 1'000'000;
  // Silent long enough, the device closes, unless a sound comes before it would have anyway.
  if (soundAt < 0 || (soundAt - now) * 1'000'000 >= LiveSound::kCloseAfterNs) {
    const std::int64_t closeNs = sound.closeWhenSilent(ports_.steadyNs());
    if (closeNs >= 0) wakeNs = std::min(wakeNs, closeNs);
  }
  if (setup_.recorder) wakeNs = std::min(wakeNs, setup_.recorder->writeDueNs());
  return wakeNs;
}

Status LiveGame::writeRecording() {
  if (!setup_.recorder) return {};
  return setup_.recorder->writeIfDue(ports_.steadyNs(), pacer_.target());
}

void LiveGame::quit(int status) {
  quit_ = true;
  if (status_ == 0) status_ = status;
}

void LiveGame::deliver(const LiveInput& in) {
  if (const auto* step = std::get_if<PlaybackStep>(&in)) {
    Playback& playback = *setup_.playback;
    // A recorded press may play a sound, as a live one may.
    if (playback.presses(step->index)) ports_.sound.wake(ports_.steadyNs());
    playback.act(step->index, device_);
    return playNext();
  }
  if (setup_.recorder) setup_.recorder->reached(pacer_.target());
  // A press may play a sound (a move, a start): the device opens before the handler runs.
  if (presses(in)) ports_.sound.wake(ports_.steadyNs());
  if (onDeliver) onDeliver(in);
  const std::uint64_t before = device_.display().version();
  // Paused, only releases, the window's own keys and Esc go on.
  const Status saved = router_.deliver(in, paused());
  if (!saved) ports_.say("key file not saved: " + saved.error());
  if (setup_.timing && std::holds_alternative<KeyInput>(in)) {
    const std::uint64_t after = device_.display().version();
    setup_.timing->keyHandled(after != before, after, device_.now());
  }
}

void LiveGame::showGameWindow(bool shown, bool enabled) {
  ports_.window.showGameWindow(shown, enabled);
}

void LiveGame::showDialog(bool open) {
  router_.dialogChanged();
  ports_.window.showDialog(open);
}

// ---------------------------------------------------------------- recording and playing back

void LiveGame::beginRecording() {
  Recorder* recorder = setup_.recorder;
  if (!recorder) return;
  Recorder::Setting setting;
  setting.seed = seed_;
  for (const char* name : kAllSounds)
    setting.holds.emplace_back(name, ports_.sound.holdLength(name));
  recorder->begin(device_, keys_, setting, ports_.steadyNs());
  device_.setInputObserver(recorder);
  pacer_.onStall = [recorder](Millis target, Millis ms) { recorder->stalls(target, ms); };
}

int LiveGame::finish() {
  if (Recorder* recorder = setup_.recorder) {
    device_.setInputObserver(nullptr);
    if (Status written = recorder->finish(pacer_.target()); !written) {
      ports_.say(written.error());
      if (status_ == 0) status_ = 1;
    }
  }
  return status_;
}

// Hands the pacer the recording's next input, to run at its core time; at the end of the
// recording, compares and ends.
void LiveGame::playNext() {
  const std::optional<Playback::Step> step = setup_.playback->next(device_);
  if (!step) return endPlayback();
  pacer_.arrive(step->runTo, PlaybackStep{step->index}, true);
}

void LiveGame::endPlayback() {
  quit_ = true;
  playVerdict_ = setup_.playback->verdict();
  if (playVerdict_.empty()) {
    ports_.say("the recording played back as recorded (" +
               std::to_string(setup_.playback->compared()) + " values the same)");
    return;
  }
  ports_.say(playVerdict_);
  if (status_ == 0) status_ = 1;
}

}  // namespace cw
