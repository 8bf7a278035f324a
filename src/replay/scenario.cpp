#include "replay/scenario.h"

#include <strings.h>
#include <charconv>
#include <cmath>
#include <deque>
#include <iostream>
#include <map>
#include <sstream>

#include "display/layout.h"
#include "host/data_files.h"
#include "host/key_file_store.h"
#include "host/seeded_random.h"
#include "shell/device.h"
#include "shell/state_fields.h"

namespace cw {
namespace {

// ---------------------------------------------------------------- parsing

bool parseInt(const std::string& s, std::int64_t lo, std::int64_t hi, std::int64_t& out) {
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), out);
  return ec == std::errc() && end == s.data() + s.size() && out >= lo && out <= hi;
}

bool parseUnit(const std::string& s, double& out) {
  // from_chars for double is not in this standard library; strtod under the "C" locale is.
  if (s.empty() || s.size() > 64) return false;
  char* end = nullptr;
  out = std::strtod(s.c_str(), &end);
  return end == s.c_str() + s.size() && std::isfinite(out) && out >= 0.0 && out < 1.0;
}

bool isMouseButton(const std::string& s) {
  return s == "left" || s == "right" || s == "middle";
}

bool isLabel(const std::string& s) {
  return s == "Label1" || s == "Label2" || s == "Label3" || s == "Label4";
}

// A segment of its own or a dialog label. A group's name (Bepo, Vita, Blocco) names no single
// segment: the device would be asked for a member that may not exist.
bool isTarget(const std::string& s) {
  const std::optional<Group> g = groupByName(s);
  return isLabel(s) || (g && groupInfo(*g).single);
}

constexpr std::int64_t kMaxMs = std::int64_t{1} << 40;  // about 35 years of virtual time

// Why the command's arguments are wrong, or nothing.
std::string checkArgs(const Command& c) {
  const auto& a = c.args;
  std::int64_t n = 0;
  if (c.name == "time") return {};
  if (c.name == "seed") {
    if (a.size() != 1 || !parseInt(a[0], 0, INT64_MAX, n)) return "seed needs one whole number";
    return {};
  }
  if (c.name == "draw") {
    if (a.empty()) return "draw needs values in [0, 1)";
    for (const auto& v : a) {
      double d;
      if (!parseUnit(v, d)) return "draw value not in [0, 1): " + v;
    }
    return {};
  }
  if (c.name == "soundlength") {
    if (a.size() != 2 || !parseInt(a[1], 0, kMaxMs, n)) return "soundlength needs NAME MS";
    return {};
  }
  if (c.name == "start" || c.name == "close") {
    if (!a.empty()) return c.name + " takes no arguments";
    return {};
  }
  if (c.name == "keydown" || c.name == "keyup") {
    if (a.size() != 1 || !parseInt(a[0], 0, 65535, n)) return c.name + " needs a key code 0..65535";
    return {};
  }
  if (c.name == "mousedown" || c.name == "mouseup") {
    if (a.empty() || a.size() > 2) return c.name + " needs SEGMENT [left|right|middle]";
    if (!isTarget(a[0])) return "no segment or control named " + a[0];
    if (a.size() == 2 && !isMouseButton(a[1])) return "no mouse button named " + a[1];
    return {};
  }
  if (c.name == "click") {
    if (a.size() != 1) return "click needs SEGMENT";
    if (!isTarget(a[0])) return "no segment or control named " + a[0];
    return {};
  }
  if (c.name == "wait") {
    if (a.size() != 1 || !parseInt(a[0], 0, kMaxMs, n)) return "wait needs milliseconds";
    return {};
  }
  if (c.name == "trace") {
    if (a.size() != 1 || (a[0] != "on" && a[0] != "off")) return "trace needs on or off";
    return {};
  }
  if (c.name == "print") {
    if (a.empty() || a.size() > 2) return "print needs what to print";
    if (a[0] == "shown") {
      if (a.size() != 2 || !groupByName(a[1])) return "print shown needs a segment name";
      return {};
    }
    if (a.size() != 1) return "print takes one name";
    static const char* kWords[] = {"readout", "sounds",  "timers", "time",
                                   "keyfile", "windows", "ended",  "boxes"};
    for (const char* w : kWords)
      if (a[0] == w) return {};
    static const char* kDialogFields[] = {"DialogKeyNandoUp", "DialogKeyNandoDown",
                                          "DialogKeyBepoUp", "DialogKeyBepoDown", "SelectedKeyRow"};
    for (const char* w : kDialogFields)
      if (a[0] == w) return {};
    if (fieldText(GameState{}, a[0])) return {};
    return "nothing to print named " + a[0];
  }
  return "unknown command " + c.name;
}

// ---------------------------------------------------------------- the replay's seams

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
    if (trace_) out_ << '@' << at << " sound " << name << ' ' << flags << '\n';
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
  const std::string& localTimeText() override { return timeText_; }

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
    if (!trace_) return;
    out_ << '@' << device_.now() << (shown ? " show " : " hide ") << groupInfo(g).name;
    if (!groupInfo(g).single) out_ << ' ' << member;
    out_ << '\n';
  }
  void onDigit(Place p, int digit) override {
    if (!trace_) return;
    out_ << '@' << device_.now() << " digit " << groupInfo(placeGroup(p)).name << ' ';
    if (digit == kBlank)
      out_ << '_';
    else
      out_ << digit;
    out_ << '\n';
  }

  Device& device() { return device_; }

  void execute(const Command& c) {
    const auto& a = c.args;
    if (c.name == "time") {
      timeText_ = a.empty() ? std::string() : a[0];
      return;
    }
    if (c.name == "seed") {
      std::int64_t n = 0;
      parseInt(a[0], 0, INT64_MAX, n);
      random_ = SeededRandom(static_cast<std::uint64_t>(n));
      return;
    }
    if (c.name == "draw") {
      for (const auto& v : a) {
        double d = 0;
        parseUnit(v, d);
        queued_.push_back(d);
      }
      return;
    }
    if (c.name == "soundlength") {
      std::int64_t ms = 0;
      parseInt(a[1], 0, kMaxMs, ms);
      soundLengths_.emplace_back(a[0], ms);
      return;
    }
    device_.start();
    if (c.name == "start") return;
    if (c.name == "print") return print(a);
    if (c.name == "trace") {
      trace_ = a[0] == "on";
      return;
    }
    std::int64_t n = 0;
    if (c.name == "wait") {
      parseInt(a[0], 0, kMaxMs, n);
      device_.runUntil(device_.now() + n);
    } else if (c.name == "keydown" || c.name == "keyup") {
      parseInt(a[0], 0, 65535, n);
      if (c.name == "keydown")
        device_.keyDown(static_cast<int>(n));
      else
        device_.keyUp(static_cast<int>(n));
    } else if (c.name == "close") {
      if (Status saved = device_.closeDialog(); !saved)
        std::cerr << "crateworks-replay: key file not saved: " << saved.error() << '\n';
    } else {
      mouse(c.name, a);
    }
  }

 private:
  void mouse(const std::string& what, const std::vector<std::string>& a) {
    if (isLabel(a[0])) {
      if (what == "click") device_.clickLabel(a[0].back() - '0');
      return;
    }
    // Every button presses a casing button alike; the one named is not needed.
    const Group g = *groupByName(a[0]);
    if (what == "mousedown") device_.mouseDown(g);
    if (what == "mouseup") device_.mouseUp(g);
    if (what == "click") device_.click(g);
  }

  void print(const std::vector<std::string>& a) {
    const std::string& what = a[0];
    const GameWindow& game = device_.game();
    const Display& d = game.display();
    if (what == "shown") {
      const Group g = *groupByName(a[1]);
      const GroupInfo& info = groupInfo(g);
      out_ << "shown " << info.name;
      if (info.single) {
        out_ << ' ' << (d.shown(g) ? 1 : 0);
      } else {
        for (int m = info.first; m <= info.last; ++m)
          if (d.shown(g, m)) out_ << ' ' << m;
      }
      out_ << '\n';
    } else if (what == "readout") {
      auto place = [&d](Place p) { return d.digit(p) == kBlank ? '_' : char('0' + d.digit(p)); };
      out_ << "readout " << place(Place::Ora) << place(Place::Centinaia)
           << (d.shown(Group::duepunti) ? ':' : '.') << place(Place::Decina) << place(Place::Unita)
           << '\n';
    } else if (what == "sounds") {
      out_ << "sounds" << (sounds_.empty() ? "" : " ") << sounds_ << '\n';
      sounds_.clear();
    } else if (what == "timers") {
      out_ << "timers";
      for (int t = 0; t < kTimerCount; ++t)
        if (game.scheduler().enabled(static_cast<TimerId>(t)))
          out_ << ' ' << timerInfo(static_cast<TimerId>(t)).name;
      out_ << '\n';
    } else if (what == "time") {
      out_ << "time " << device_.now() << '\n';
    } else if (what == "keyfile") {
      auto text = keyFile_.read();
      auto keys = text ? parseKeyFile(*text) : std::nullopt;
      if (!text)
        out_ << "keyfile missing\n";
      else if (!keys)
        out_ << "keyfile invalid\n";
      else
        out_ << "keyfile " << (*keys)[0] << ' ' << (*keys)[1] << ' ' << (*keys)[2] << ' '
             << (*keys)[3] << '\n';
    } else if (what == "windows") {
      const WindowStates& w = device_.windows();
      out_ << "windows game " << (w.gameShown ? "shown" : "hidden") << ' '
           << (w.gameEnabled ? "enabled" : "disabled") << " dialog "
           << (w.dialogOpen ? "open" : "closed") << '\n';
    } else if (what == "ended") {
      out_ << "ended " << (device_.ended() ? 1 : 0) << '\n';
    } else if (what == "boxes") {
      out_ << "boxes";
      for (int row = 1; row <= 4; ++row) {
        int code = device_.dialog() ? device_.dialog()->box(row) : -1;
        if (code < 0)
          out_ << " -";
        else
          out_ << ' ' << code;
      }
      out_ << '\n';
    } else if (auto text = fieldText(game.state(), what)) {
      out_ << what << (text->empty() ? "" : " ") << *text << '\n';
    } else {
      DialogState ds = device_.dialog() ? device_.dialog()->state() : DialogState{};
      const std::pair<const char*, int> fields[] = {{"DialogKeyNandoUp", ds.DialogKeyNandoUp},
                                                    {"DialogKeyNandoDown", ds.DialogKeyNandoDown},
                                                    {"DialogKeyBepoUp", ds.DialogKeyBepoUp},
                                                    {"DialogKeyBepoDown", ds.DialogKeyBepoDown},
                                                    {"SelectedKeyRow", ds.SelectedKeyRow}};
      for (const auto& [name, value] : fields)
        if (what == name) out_ << name << ' ' << value << '\n';
    }
  }

  const ReplayOptions& options_;
  std::ostream& out_;
  FileKeyStore keyFile_;
  std::string timeText_ = "12:00:00";
  SeededRandom random_{1};
  std::deque<double> queued_;
  std::vector<std::pair<std::string, Millis>> soundLengths_;
  std::map<std::string, Millis> fileLengths_;
  std::string sounds_;
  bool trace_ = false;
  Device device_;
};

ReplaySession::ReplaySession(const ReplayOptions& options, std::ostream& out)
    : impl_(std::make_unique<Impl>(options, out)) {}
ReplaySession::~ReplaySession() = default;
void ReplaySession::execute(const Command& c) {
  impl_->execute(c);
}
const Device& ReplaySession::device() const {
  return impl_->device();
}
void ReplaySession::setHandlerObserver(HandlerObserver* o) {
  impl_->device().setHandlerObserver(o);
}

ParseResult parseScenario(const std::string& text) {
  ParseResult result;
  std::istringstream in(text);
  std::string raw;
  int lineNo = 0;
  while (std::getline(in, raw)) {
    ++lineNo;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    Command c;
    c.line = lineNo;
    std::size_t i = raw.find_first_not_of(" \t");
    if (i == std::string::npos || raw[i] == '#') continue;
    std::size_t e = raw.find_first_of(" \t", i);
    c.name = raw.substr(i, e == std::string::npos ? std::string::npos : e - i);
    if (c.name == "time") {
      // The rest of the line is the time text, blanks inside it included.
      std::size_t r = e == std::string::npos ? std::string::npos : raw.find_first_not_of(" \t", e);
      c.args.push_back(r == std::string::npos ? std::string() : raw.substr(r));
    } else {
      std::string rest = e == std::string::npos ? std::string() : raw.substr(e);
      if (auto hash = rest.find('#'); hash != std::string::npos) rest.resize(hash);
      std::istringstream words(rest);
      for (std::string w; words >> w;) c.args.push_back(w);
    }
    if (std::string why = checkArgs(c); !why.empty()) {
      result.errorLine = lineNo;
      result.error = why;
      result.commands.clear();
      return result;
    }
    result.commands.push_back(std::move(c));
  }
  return result;
}

int runScenario(const std::vector<Command>& commands, const ReplayOptions& options,
                std::ostream& out) {
  ReplaySession session(options, out);
  for (const Command& c : commands) session.execute(c);
  return 0;
}

}  // namespace cw
