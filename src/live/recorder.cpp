#include "live/recorder.h"

#include <algorithm>
#include <utility>

#include "core/scenario/print.h"

namespace cw {
namespace {

// The command a recording gives for an input the device was told.
Command commandOf(const DeviceInput& in) {
  using Kind = DeviceInput::Kind;
  using Action = cmd::Mouse::Action;
  switch (in.kind) {
    case Kind::KeyDown:
      return cmd::KeyDown{in.code};
    case Kind::KeyUp:
      return cmd::KeyUp{in.code};
    case Kind::MouseDown:
      return cmd::Mouse{Action::Down, 0, in.segment};
    case Kind::MouseUp:
      return cmd::Mouse{Action::Up, 0, in.segment};
    case Kind::Click:
      return cmd::Mouse{Action::Click, 0, in.segment};
    case Kind::ClickLabel:
      return cmd::Mouse{Action::Click, in.code, Group{}};
    case Kind::CloseDialog:
      return cmd::Close{};
  }
  return cmd::Close{};
}

// What the final lines compare: the time, the windows, the score and misses, the readout, the
// timers, the key file and every segment but the digits' pictures (the readout says those).
std::vector<cmd::Print> finalValues() {
  using What = cmd::Print::What;
  std::vector<cmd::Print> all;
  auto add = [&all](What what, Group group = Group{}, std::string field = {}) {
    cmd::Print p;
    p.what = what;
    p.group = group;
    p.field = std::move(field);
    all.push_back(std::move(p));
  };
  for (What w : {What::Time, What::Ended, What::Windows}) add(w);
  for (const char* field : {"GameRunning", "GameMode", "Score", "Misses", "TruckLoad"})
    add(What::State, Group{}, field);
  for (What w : {What::Readout, What::Timers, What::KeyFile}) add(w);
  for (int g = 0; g < kGroupCount; ++g) {
    const Group group = static_cast<Group>(g);
    if (group == Group::Ora || group == Group::Centinaia || group == Group::Decina ||
        group == Group::Unita || group == Group::Punti || group == Group::Vuoto)
      continue;
    add(What::Shown, group);
  }
  return all;
}

}  // namespace

void Recorder::begin(const Device& device, KeyFilePort& keyFile, const Setting& s,
                     std::int64_t nowNs) {
  device_ = &device;
  keyFile_ = &keyFile;
  lastWriteNs_ = nowNs;
  put(std::string(kRecordedBy) + CW_VERSION);
  put("# Replay it with crateworks-replay FILE (--check compares the final values), watch it with");
  put("# crateworks --play FILE.");
  put(cmd::Seed{s.seed});
  for (const auto& [name, ms] : s.holds) put(cmd::SoundLength{name, ms});
  put(cmd::KeyFile{keysIn(keyFile)});
  untold_ = write();  // told at the next write that is due, with the game started
}

void Recorder::timeRead(Millis at, const std::string& text) {
  if (lastText_ && *lastText_ == text) return;
  lastText_ = text;
  put(cmd::TimeAt{at, text});
}

std::optional<cmd::Wait> Recorder::waitTo(Millis target) const {
  // A tick due at the very time the replay stands at (after a hold) still has to run there.
  const bool ticked = device_->ticksRun() != ticksThen_;
  if (target > replayNow_ || ticked) return cmd::Wait{std::max<Millis>(0, target - replayNow_)};
  return std::nullopt;
}

void Recorder::reached(Millis target) {
  if (!device_ || heldInput_) return;
  if (const std::optional<cmd::Wait> wait = waitTo(target)) put(*wait);
  mark();
}

void Recorder::mark() {
  replayNow_ = device_->now();
  ticksThen_ = device_->ticksRun();
}

void Recorder::stalls(Millis target, Millis ms) {
  reached(target);
  put(cmd::Stall{ms});
  replayNow_ += ms;
}

void Recorder::inputStarts(const DeviceInput& input) {
  // Told only once begin() has given the device and its key file.
  heldInput_ = commandOf(input);
  closing_.reset();
  if (input.kind == DeviceInput::Kind::CloseDialog && device_->dialog())
    closing_ = device_->dialog()->keys();
}

void Recorder::inputEnds() {
  if (!heldInput_) return;
  put(*heldInput_);
  heldInput_.reset();
  // The replay's file always takes the dialog's keys; a live file that could not keep them
  // holds what it held before, and the replay must go on from that file too.
  if (closing_) {
    const std::optional<KeySet> kept = keysIn(*keyFile_);
    if (kept != closing_) put(cmd::KeyFile{kept});
  }
  closing_.reset();
  mark();
}

void Recorder::put(const Command& c) {
  put(lineOf(c));
}

void Recorder::put(const std::string& line) {
  buffer_ += line;
  buffer_ += '\n';
}

Status Recorder::writeIfDue(std::int64_t nowNs, Millis target) {
  if (!untold_) return std::exchange(untold_, Status());
  if (nowNs < writeDueNs()) return {};
  reached(target);
  lastWriteNs_ = nowNs;
  return write();
}

Status Recorder::write() {
  if (!broken_) return {};  // told already: nothing more is written
  const Status written = buffer_.empty() ? Status() : sink_.write(buffer_);
  buffer_.clear();
  if (written) return {};
  broken_ = written;
  return failure("cannot write the recording " + sink_.name() + ": " + written.error());
}

std::string Recorder::ending(Millis target) const {
  std::string text = buffer_;
  if (!device_ || !broken_) return text;
  auto add = [&text](const Command& c) { text += lineOf(c) + '\n'; };
  if (const std::optional<cmd::Wait> wait = waitTo(target); wait && !heldInput_) add(*wait);
  for (const cmd::Print& p : finalValues())
    add(cmd::Expect{p, answerOf(p, {*device_, *keyFile_, std::string()})});
  return text;
}

Status Recorder::finish(Millis target) {
  buffer_ = ending(target);
  (void)write();  // a failure shows in broken_
  if (broken_) broken_ = sink_.sync();
  if (!broken_)
    return failure("the recording " + sink_.name() + " is incomplete: " + broken_.error());
  return {};
}

}  // namespace cw
