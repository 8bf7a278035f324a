// Running: the replay's session, which implements the device's seams in virtual time and plays
// typed commands on it.
#include <cctype>
#include <deque>
#include <map>
#include <type_traits>
#include <utility>

#include "host/data_files.h"
#include "host/key_file_store.h"
#include "host/seeded_random.h"
#include "replay/print.h"
#include "replay/scenario.h"
#include "shell/device.h"

namespace cw {
namespace {

bool sameSoundName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i] == '/' ? '\\' : a[i];
    char y = b[i] == '/' ? '\\' : b[i];
    if (std::tolower(static_cast<unsigned char>(x)) != std::tolower(static_cast<unsigned char>(y)))
      return false;
  }
  return true;
}

// The commands that set up the replay's seams rather than act on the device.
bool isSetting(const Command& c) {
  return std::holds_alternative<cmd::Time>(c) || std::holds_alternative<cmd::Seed>(c) ||
         std::holds_alternative<cmd::Draw>(c) || std::holds_alternative<cmd::SoundLength>(c);
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
        device_(Seams{*this, *this, *this, keyFile_, *this}) {
    device_.setDisplayObserver(this);
  }

  // SoundPort
  Millis play(std::string_view name, int flags) override {
    const Millis at = device_.now();
    if (!sounds_.empty()) sounds_ += ' ';
    sounds_ += std::string(name) + ":" + std::to_string(flags);
    if (trace_) traceSound(out_, at, name, flags);
    if (flags != kSoundWait) return 0;
    for (const auto& [n, ms] : soundLengths_)
      if (sameSoundName(n, name)) return ms;
    auto it = fileLengths_.find(std::string(name));
    if (it == fileLengths_.end()) {
      auto length = wavLengthMs(resolveDataFile(options_.dataDir, name));
      it = fileLengths_.emplace(std::string(name), length.value_or(0)).first;
    }
    return it->second;
  }

  // TimeTextPort
  const std::string& localTimeText(Millis) override { return timeText_; }

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

  Status execute(const Command& c) {
    // The settings come before the device starts; any other command starts it first (once).
    if (!isSetting(c)) device_.start();
    return std::visit(
        [this](const auto& command) -> Status {
          // Only `close` can fail.
          if constexpr (std::is_same_v<std::decay_t<decltype(command)>, cmd::Close>) {
            return closeDialog();
          } else {
            run(command);
            return {};
          }
        },
        c);
  }

 private:
  void run(const cmd::Time& c) { timeText_ = c.text; }
  void run(const cmd::Seed& c) { random_ = SeededRandom(c.n); }
  void run(const cmd::Draw& c) { queued_.insert(queued_.end(), c.values.begin(), c.values.end()); }
  void run(const cmd::SoundLength& c) { soundLengths_.emplace_back(c.name, c.ms); }
  void run(const cmd::Start&) {}
  void run(const cmd::KeyDown& c) { device_.keyDown(c.code); }
  void run(const cmd::KeyUp& c) { device_.keyUp(c.code); }
  void run(const cmd::Mouse& c) {
    using Action = cmd::Mouse::Action;
    if (c.label != 0) {
      // The dialog's labels take clicks only.
      if (c.action == Action::Click) device_.clickLabel(c.label);
    } else if (c.action == Action::Down) {
      device_.mouseDown(c.segment);
    } else if (c.action == Action::Up) {
      device_.mouseUp(c.segment);
    } else {
      device_.click(c.segment);
    }
  }
  // The keys chosen hold even when the key file could not be saved.
  Status closeDialog() {
    if (Status saved = device_.closeDialog(); !saved)
      return failure("key file not saved: " + saved.error());
    return {};
  }
  void run(const cmd::Wait& c) { device_.runUntil(device_.now() + c.ms); }
  void run(const cmd::Trace& c) { trace_ = c.on; }
  void run(const cmd::Print& c) {
    printAnswer(out_, c, {device_, keyFile_, sounds_});
    if (c.what == cmd::Print::What::Sounds) sounds_.clear();
  }

  const ReplayOptions& options_;
  std::ostream& out_;
  FileKeyStore keyFile_;
  std::string timeText_ = "12:00:00";
  SeededRandom random_{1};
  std::deque<double> queued_;
  std::vector<std::pair<std::string, Millis>> soundLengths_;
  std::map<std::string, Millis> fileLengths_;
  std::string sounds_;  // "name:flags" of each sound played since the last `print sounds`
  bool trace_ = false;
  Device device_;
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
void ReplaySession::setHandlerObserver(HandlerObserver* o) {
  impl_->device().setHandlerObserver(o);
}

}  // namespace cw
