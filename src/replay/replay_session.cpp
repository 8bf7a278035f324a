// Running: the replay's session, which implements the device's seams in virtual time and plays
// typed commands on it.
#include <deque>
#include <map>
#include <ostream>
#include <type_traits>
#include <utility>

#include "base/key_file_in_memory.h"
#include "base/seeded_random.h"
#include "base/sound_names.h"
#include "core/scenario/print.h"
#include "core/shell/device.h"
#include "host/data_files.h"
#include "host/key_file_on_disk.h"
#include "replay/replay_session.h"

namespace cw {
namespace {

// The commands that set up the replay's seams rather than act on the device.
bool isSetting(const Command& c) {
  return std::holds_alternative<cmd::Time>(c) || std::holds_alternative<cmd::Seed>(c) ||
         std::holds_alternative<cmd::Draw>(c) || std::holds_alternative<cmd::SoundLength>(c) ||
         std::holds_alternative<cmd::TimeAt>(c) || std::holds_alternative<cmd::KeyFile>(c);
}

}  // namespace

class ReplaySession::Impl final : public SoundPort,
                                  public TimeTextPort,
                                  public RandomPort,
                                  public WindowPort,
                                  public DisplayObserver {
 public:
  Impl(const ReplayOptions& options, std::ostream& out)
      : options_(options),
        out_(out),
        keyFile_(options.keyFilePath),
        memoryKeys_(options.keyFileInMemory ? keyFile_.read() : std::nullopt),
        keys_(options.keyFileInMemory ? static_cast<KeyFilePort&>(memoryKeys_) : keyFile_),
        device_(Seams{*this, *this, *this, keys_, *this}) {
    device_.setDisplayObserver(this);
  }

  // SoundPort
  Millis play(std::string_view name, int flags) override {
    const Millis at = device_.now();
    if (!sounds_.empty()) sounds_ += ' ';
    sounds_ += std::string(name) + ":" + std::to_string(flags);
    if (trace_) traceSound(out_, at, name, flags);
    if (flags != kSoundWait) return 0;
    if (const std::optional<Millis> told = soundLengths_.find(name)) return *told;
    auto it = fileLengths_.find(std::string(name));
    if (it == fileLengths_.end()) {
      auto length = wavLengthMs(resolveDataFile(options_.dataDir, name));
      it = fileLengths_.emplace(std::string(name), length.value_or(0)).first;
    }
    return it->second;
  }

  // TimeTextPort
  const std::string& localTimeText(Millis at) override { return timeTexts_.at(at); }

  // RandomPort
  double draw() override {
    if (!queued_.empty()) {
      double d = queued_.front();
      queued_.pop_front();
      return d;
    }
    return random_.draw();
  }

  // WindowPort: the device keeps the window states; the replay prints them on request.
  void endProgram() override {}
  void showGameWindow(bool, bool) override {}
  void showDialog(bool) override {}

  // DisplayObserver
  void onShow(Group g, int member, bool shown) override {
    if (trace_) traceShow(out_, device_.now(), g, member, shown);
  }
  void onDigit(Place p, int digit) override {
    if (trace_) traceDigit(out_, device_.now(), p, digit);
  }

  Device& device() { return device_; }
  int differences() const { return differences_; }
  const std::string& lastDifference() const { return lastDifference_; }

  // Keys, the mouse, close, wait and stall: actOn has done them.
  template <typename Acted>
  void run(const Acted&) {}

  Status execute(const Command& c) {
    // The settings come before the device starts; any other command starts it first (once).
    if (!isSetting(c)) device_.start();
    if (std::optional<Status> acted = actOn(device_, c)) return *acted;
    return std::visit(
        [this](const auto& command) -> Status {
          // Only `keyfile` can fail here.
          using C = std::decay_t<decltype(command)>;
          if constexpr (std::is_same_v<C, cmd::KeyFile>) {
            return setKeyFile(command);
          } else {
            run(command);
            return {};
          }
        },
        c);
  }

 private:
  void run(const cmd::Time& c) { timeTexts_.add(device_.now(), c.text); }
  void run(const cmd::TimeAt& c) { timeTexts_.add(c.from, c.text); }
  void run(const cmd::Seed& c) { random_ = SeededRandom(c.n); }
  void run(const cmd::Draw& c) { queued_.insert(queued_.end(), c.values.begin(), c.values.end()); }
  void run(const cmd::SoundLength& c) { soundLengths_.tell(c.name, c.ms); }
  void run(const cmd::Start&) {}
  Status setKeyFile(const cmd::KeyFile& c) {
    std::optional<std::string> text;
    if (c.keys) text = formatKeyFile(*c.keys);
    if (options_.keyFileInMemory) {
      memoryKeys_.set(std::move(text));
      return {};
    }
    const Status set = text ? keyFile_.write(*text) : keyFile_.remove();
    if (!set) return failure("cannot set the key file " + keyFile_.path() + ": " + set.error());
    return {};
  }
  void run(const cmd::Expect& c) {
    std::string got;
    if (expectHolds(c, {device_, keys_, sounds_}, got)) {
      out_ << "expect ok: " << c.answer << '\n';
      return;
    }
    out_ << "expect DIFFERS: recorded " << c.answer << ", replayed " << got << '\n';
    ++differences_;
    lastDifference_ = "recorded '" + c.answer + "', replayed '" + got + "'";
  }
  void run(const cmd::Trace& c) { trace_ = c.on; }
  void run(const cmd::Print& c) {
    printAnswer(out_, c, {device_, keys_, sounds_});
    if (c.what == cmd::Print::What::Sounds) sounds_.clear();
  }

  const ReplayOptions options_;  // a copy: a caller's may be a temporary
  std::ostream& out_;
  KeyFileOnDisk keyFile_;
  KeyFileInMemory memoryKeys_;
  KeyFilePort& keys_;  // the file on disk, or what it held at the start, in memory
  TimeTexts timeTexts_;
  SeededRandom random_{1};
  std::deque<double> queued_;
  ToldHolds soundLengths_;
  std::map<std::string, Millis> fileLengths_;
  std::string sounds_;  // "name:flags" of each sound played since the last `print sounds`
  bool trace_ = false;
  Device device_;
  int differences_ = 0;
  std::string lastDifference_;
};

ReplaySession::ReplaySession(const ReplayOptions& options, std::ostream& out)
    : impl_(std::make_unique<Impl>(options, out)) {}
ReplaySession::~ReplaySession() = default;
Status ReplaySession::execute(const Command& c) {
  return impl_->execute(c);
}
const Device& ReplaySession::device() const {
  return impl_->device();
}
int ReplaySession::differences() const {
  return impl_->differences();
}
const std::string& ReplaySession::lastDifference() const {
  return impl_->lastDifference();
}
void ReplaySession::setHandlerObserver(HandlerObserver* o) {
  impl_->device().setHandlerObserver(o);
}

}  // namespace cw
