#include "platform/recorder.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "scenario/print.h"

namespace cw {
namespace {

std::string inputLine(const DeviceInput& in) {
  using Kind = DeviceInput::Kind;
  const std::string segment(groupInfo(in.segment).name);
  switch (in.kind) {
    case Kind::KeyDown:
      return "keydown " + std::to_string(in.code);
    case Kind::KeyUp:
      return "keyup " + std::to_string(in.code);
    case Kind::MouseDown:
      return "mousedown " + segment;
    case Kind::MouseUp:
      return "mouseup " + segment;
    case Kind::Click:
      return "click " + segment;
    case Kind::ClickLabel:
      return "click Label" + std::to_string(in.code);
    case Kind::CloseDialog:
      return "close";
  }
  return {};
}

std::string keyFileLine(const std::optional<KeySet>& keys) {
  if (!keys) return "keyfile none";
  const KeySet& k = *keys;
  return "keyfile " + std::to_string(k[0]) + ' ' + std::to_string(k[1]) + ' ' +
         std::to_string(k[2]) + ' ' + std::to_string(k[3]);
}

// What the store holds, as the game reads it: a malformed file is taken as none.
std::optional<KeySet> keysIn(KeyFileStore& store) {
  const std::optional<std::string> text = store.read();
  return text ? parseKeyFile(*text) : std::nullopt;
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

Result<std::unique_ptr<Recorder>> Recorder::create(const std::string& path, bool force) {
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (force ? O_TRUNC : O_EXCL);
  const int fd = ::open(path.c_str(), flags, 0644);
  if (fd < 0) {
    const int e = errno;
    if (e == EEXIST)
      return failure("cannot record to " + path + ": it exists (--force replaces it)");
    return failure("cannot record to " + path + ": " + std::strerror(e));
  }
  return std::unique_ptr<Recorder>(new Recorder(fd, path));
}

Recorder::~Recorder() {
  if (fd_ >= 0) ::close(fd_);
}

void Recorder::begin(const Device& device, KeyFileStore& keyFile, const Setting& s,
                     std::int64_t nowNs) {
  device_ = &device;
  keyFile_ = &keyFile;
  lastWriteNs_ = nowNs;
  put(std::string(kRecordedBy) + CW_VERSION);
  put("# Replay it with crateworks-replay FILE (--check compares the final values), watch it with");
  put("# crateworks --play FILE.");
  put("seed " + std::to_string(s.seed));
  for (const auto& [name, ms] : s.holds) put("soundlength " + name + ' ' + std::to_string(ms));
  put(keyFileLine(keysIn(keyFile)));
  write();
}

void Recorder::timeRead(Millis at, const std::string& text) {
  if (lastText_ && *lastText_ == text) return;
  lastText_ = text;
  put("timeat " + std::to_string(at) + ' ' + text);
}

void Recorder::reached(Millis target) {
  if (!device_ || heldInput_) return;
  // A tick due at the very time the replay stands at (after a hold) still has to run there.
  const bool ticked = device_->ticksRun() != ticksThen_;
  if (target > replayNow_ || ticked)
    put("wait " + std::to_string(std::max<Millis>(0, target - replayNow_)));
  replayNow_ = device_->now();
  ticksThen_ = device_->ticksRun();
}

void Recorder::stalls(Millis target, Millis ms) {
  reached(target);
  put("stall " + std::to_string(ms));
  replayNow_ += ms;
}

void Recorder::inputStarts(const DeviceInput& input) {
  heldInput_ = inputLine(input);
  closing_.reset();
  if (input.kind == DeviceInput::Kind::CloseDialog && device_ && device_->dialog())
    closing_ = device_->dialog()->keys();
}

void Recorder::inputEnds() {
  if (!heldInput_) return;
  const std::string line = *heldInput_;
  heldInput_.reset();
  put(line);
  // The replay's file always takes the dialog's keys; a live file that could not keep them
  // holds what it held before, and the replay must go on from that file too.
  if (closing_ && keyFile_) {
    const std::optional<KeySet> kept = keysIn(*keyFile_);
    if (kept != closing_) put(keyFileLine(kept));
  }
  closing_.reset();
  replayNow_ = device_ ? device_->now() : replayNow_;
  ticksThen_ = device_ ? device_->ticksRun() : ticksThen_;
}

void Recorder::put(const std::string& line) {
  buffer_ += line;
  buffer_ += '\n';
}

void Recorder::writeIfDue(std::int64_t nowNs) {
  if (nowNs < writeDueNs()) return;
  lastWriteNs_ = nowNs;
  write();
}

void Recorder::write() {
  std::size_t done = 0;
  while (done < buffer_.size() && failed_.empty()) {
    const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (n >= 0) {
      done += static_cast<std::size_t>(n);
    } else if (errno != EINTR) {
      // Said once; the game goes on, and the end says the recording is incomplete.
      failed_ = std::strerror(errno);
      std::fprintf(stderr, "crateworks: cannot write the recording %s: %s\n", path_.c_str(),
                   failed_.c_str());
    }
  }
  buffer_.clear();
}

void Recorder::discard() {
  ::close(fd_);
  fd_ = -1;
  ::unlink(path_.c_str());
}

Status Recorder::finish(KeyFileStore& keyFile) {
  if (device_) {
    for (const cmd::Print& p : finalValues())
      put("expect " + answerOf(p, {*device_, keyFile, std::string()}));
  }
  write();
  if (failed_.empty() && ::fsync(fd_) != 0 && errno != EINVAL) failed_ = std::strerror(errno);
  if (!failed_.empty()) return failure("the recording " + path_ + " is incomplete: " + failed_);
  return {};
}

}  // namespace cw
