// Parsing: the text of a scenario into typed commands, each line checked and converted once.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <sstream>
#include <utility>

#include "base/quoted.h"
#include "base/sound_names.h"
#include "core/scenario/print.h"
#include "core/scenario/script.h"
#include "core/shell/state_fields.h"

namespace cw {
namespace {

using Args = std::vector<std::string>;

constexpr std::int64_t kMaxMs = std::int64_t{1} << 40;  // about 35 years of virtual time
// Limits that no real scenario reaches, so that one line cannot make a run last for hours: a wait
// plays a week of virtual time at most (about 15 s of an idle replay), and the clock, which reads
// its text on every tick, gets a short one.
constexpr std::int64_t kMaxWaitMs = std::int64_t{7} * 24 * 3600 * 1000;
constexpr std::size_t kMaxTimeText = 64;

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

Result<Command> parseSeed(const Args& a) {
  std::int64_t n = 0;
  if (a.size() != 1 || !parseInt(a[0], 0, INT64_MAX, n))
    return failure("seed needs one whole number");
  return Command{cmd::Seed{static_cast<std::uint64_t>(n)}};
}

Result<Command> parseDraw(const Args& a) {
  if (a.empty()) return failure("draw needs values in [0, 1)");
  cmd::Draw draw;
  for (const auto& v : a) {
    double d = 0;
    if (!parseUnit(v, d)) return failure("draw value not in [0, 1): " + quoted(v));
    draw.values.push_back(d);
  }
  return Command{std::move(draw)};
}

Result<Command> parseSoundLength(const Args& a) {
  std::int64_t ms = 0;
  if (a.size() != 2 || !parseInt(a[1], 0, kMaxMs, ms)) return failure("soundlength needs NAME MS");
  // A name the game never plays would set nothing, and hide a typing error.
  const bool known = std::any_of(std::begin(kAllSounds), std::end(kAllSounds),
                                 [&](const char* s) { return sameSoundName(s, a[0]); });
  if (!known) return failure("no sound named " + quoted(a[0]));
  return Command{cmd::SoundLength{a[0], ms}};
}

Result<Command> parseKey(const std::string& name, const Args& a) {
  std::int64_t n = 0;
  if (a.size() != 1 || !parseInt(a[0], 0, 65535, n))
    return failure(name + " needs a key code 0..65535");
  const int code = static_cast<int>(n);
  return name == "keydown" ? Command{cmd::KeyDown{code}} : Command{cmd::KeyUp{code}};
}

// mousedown, mouseup and click.
Result<Command> parseMouse(const std::string& name, const Args& a) {
  using Action = cmd::Mouse::Action;
  cmd::Mouse m;
  if (name == "click") {
    if (a.size() != 1) return failure("click needs SEGMENT");
    m.action = Action::Click;
  } else {
    if (a.empty() || a.size() > 2) return failure(name + " needs SEGMENT [left|right|middle]");
    m.action = name == "mousedown" ? Action::Down : Action::Up;
  }
  // A segment of its own or a dialog label. A group's name (Bepo, Vita, Blocco) names no single
  // segment: the device would be asked for a member that may not exist.
  const std::optional<Group> g = groupByName(a[0]);
  if (isLabel(a[0]))
    m.label = a[0].back() - '0';
  else if (g && groupInfo(*g).single)
    m.segment = *g;
  else
    return failure("no segment or control named " + quoted(a[0]));
  if (a.size() == 2 && !isMouseButton(a[1]))
    return failure("no mouse button named " + quoted(a[1]));
  return Command{m};
}

Result<Command> parsePrint(const Args& a) {
  using What = cmd::Print::What;
  if (a.empty() || a.size() > 2) return failure("print needs what to print");
  cmd::Print p;
  if (a[0] == "shown") {
    const std::optional<Group> g = a.size() == 2 ? groupByName(a[1]) : std::nullopt;
    if (!g) return failure("print shown needs a segment name");
    p.what = What::Shown;
    p.group = *g;
    return Command{p};
  }
  if (a.size() != 1) return failure("print takes one name");
  static constexpr std::pair<std::string_view, What> kWords[] = {
      {"readout", What::Readout}, {"sounds", What::Sounds},   {"timers", What::Timers},
      {"time", What::Time},       {"keyfile", What::KeyFile}, {"windows", What::Windows},
      {"ended", What::Ended},     {"boxes", What::Boxes}};
  for (const auto& [word, what] : kWords) {
    if (a[0] != word) continue;
    p.what = what;
    return Command{p};
  }
  if (fieldText(GameState{}, a[0])) {
    p.what = What::State;
    p.field = a[0];
  } else if (const DialogField* f = dialogFieldNamed(a[0])) {
    p.what = What::Dialog;
    p.dialogField = f;
  } else {
    return failure("nothing to print named " + quoted(a[0]));
  }
  return Command{std::move(p)};
}

Result<Command> parseKeyFileCommand(const Args& a) {
  if (a.size() == 1 && a[0] == "none") return Command{cmd::KeyFile{}};
  KeySet keys{};
  for (std::size_t i = 0; i < keys.size() && a.size() == keys.size(); ++i) {
    std::int64_t n = 0;
    if (!parseInt(a[i], 0, 65535, n)) break;
    keys[i] = static_cast<int>(n);
    if (i + 1 == keys.size()) return Command{cmd::KeyFile{keys}};
  }
  return failure("keyfile needs four key codes 0..65535, or none");
}

// `expect` and the words of a print answer: the words that say what to print (two for
// `shown`), then its value.
Result<Command> parseExpect(const Args& a) {
  const std::size_t key = !a.empty() && a[0] == "shown" ? 2 : 1;
  if (a.size() < key) return failure("expect needs what print would answer");
  Result<Command> print = parsePrint(Args(a.begin(), a.begin() + static_cast<long>(key)));
  if (!print) return failure(print.error());
  cmd::Expect e{std::get<cmd::Print>(*print), a[0]};
  for (std::size_t i = 1; i < a.size(); ++i) e.answer += ' ' + a[i];
  return Command{std::move(e)};
}

// Every command but `time` and `timeat`, from its word and arguments.
Result<Command> parseCommand(const std::string& name, const Args& a) {
  if (name == "seed") return parseSeed(a);
  if (name == "draw") return parseDraw(a);
  if (name == "soundlength") return parseSoundLength(a);
  if (name == "start" || name == "close") {
    if (!a.empty()) return failure(name + " takes no arguments");
    return name == "start" ? Command{cmd::Start{}} : Command{cmd::Close{}};
  }
  if (name == "keydown" || name == "keyup") return parseKey(name, a);
  if (name == "mousedown" || name == "mouseup" || name == "click") return parseMouse(name, a);
  if (name == "wait") {
    std::int64_t ms = 0;
    if (a.size() != 1 || !parseInt(a[0], 0, kMaxWaitMs, ms))
      return failure("wait needs milliseconds, at most " + std::to_string(kMaxWaitMs) +
                     " (7 days)");
    return Command{cmd::Wait{ms}};
  }
  if (name == "trace") {
    if (a.size() != 1 || (a[0] != "on" && a[0] != "off")) return failure("trace needs on or off");
    return Command{cmd::Trace{a[0] == "on"}};
  }
  if (name == "print") return parsePrint(a);
  if (name == "expect") return parseExpect(a);
  if (name == "keyfile") return parseKeyFileCommand(a);
  if (name == "stall") {
    std::int64_t ms = 0;
    if (a.size() != 1 || !parseInt(a[0], 0, kMaxWaitMs, ms))
      return failure("stall needs milliseconds, at most " + std::to_string(kMaxWaitMs));
    return Command{cmd::Stall{ms}};
  }
  return failure("unknown command " + quoted(name));
}

// The text of `time` and `timeat`: the rest of the line after the blanks that follow `e`.
Result<std::string> timeText(const std::string& raw, std::size_t e) {
  constexpr auto npos = std::string::npos;
  const std::size_t r = e == npos ? npos : raw.find_first_not_of(" \t", e);
  if (r != npos && raw.size() - r > kMaxTimeText)
    return failure("time text longer than " + std::to_string(kMaxTimeText) + " characters");
  return r == npos ? std::string() : raw.substr(r);
}

// The command of a line that is neither blank nor a comment; its word starts at `i`.
Result<Command> parseLine(const std::string& raw, std::size_t i) {
  constexpr auto npos = std::string::npos;
  const std::size_t e = raw.find_first_of(" \t", i);
  const std::string name = raw.substr(i, e == npos ? npos : e - i);
  if (name == "time") {
    // The rest of the line is the time text, blanks and '#' inside it included.
    Result<std::string> text = timeText(raw, e);
    if (!text) return failure(text.error());
    return Command{cmd::Time{std::move(text).value()}};
  }
  if (name == "timeat") {
    const std::size_t m = e == npos ? npos : raw.find_first_not_of(" \t", e);
    const std::size_t me = m == npos ? npos : raw.find_first_of(" \t", m);
    std::int64_t from = 0;
    if (m == npos || !parseInt(raw.substr(m, me == npos ? npos : me - m), 0, kMaxMs, from))
      return failure("timeat needs MS TEXT");
    Result<std::string> text = timeText(raw, me);
    if (!text) return failure(text.error());
    return Command{cmd::TimeAt{from, std::move(text).value()}};
  }
  std::string rest = e == npos ? std::string() : raw.substr(e);
  if (auto hash = rest.find('#'); hash != npos) rest.resize(hash);
  Args args;
  std::istringstream words(rest);
  for (std::string w; words >> w;) args.push_back(w);
  return parseCommand(name, args);
}

}  // namespace

Result<Script> parseScenario(const std::string& text, std::vector<int>* lines) {
  Script script;
  std::istringstream in(text);
  std::string raw;
  for (int lineNo = 1; std::getline(in, raw); ++lineNo) {
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    const std::size_t i = raw.find_first_not_of(" \t");
    if (i == std::string::npos || raw[i] == '#') continue;
    Result<Command> c = parseLine(raw, i);
    if (!c) {
      // A recording cut short (a copy stopped, a full disk) ends in the middle of a line.
      const bool cut = in.eof() && !text.empty() && text.back() != '\n';
      return failure("line " + std::to_string(lineNo) + ": " + c.error() +
                     (cut ? " (the file ends in this line: cut short?)" : ""));
    }
    script.push_back(std::move(c).value());
    if (lines) lines->push_back(lineNo);
  }
  return script;
}

std::optional<std::string> recordedVersion(const std::string& text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    const std::string_view raw = std::string_view(text).substr(at, end - at);
    at = end + 1;
    if (!raw.starts_with(kRecordedBy)) continue;
    // Its first word after the prefix, blanks before it skipped.
    const std::string_view rest = raw.substr(kRecordedBy.size());
    const std::size_t from = rest.find_first_not_of(" \t\r\v\f");
    if (from == std::string_view::npos) continue;
    const std::size_t to = rest.find_first_of(" \t\r\v\f", from);
    return std::string(rest.substr(from, to == std::string_view::npos ? to : to - from));
  }
  return std::nullopt;
}

void TimeTexts::add(Millis from, std::string text) {
  if (!texts_.empty() && from < texts_.back().first) ordered_ = false;
  texts_.emplace_back(from, std::move(text));
}

const std::string& TimeTexts::at(Millis t) const {
  static const std::string kDefault = "12:00:00";
  if (ordered_) {
    // The last one given of those from `t` or earlier.
    auto after = std::upper_bound(texts_.begin(), texts_.end(), t,
                                  [](Millis v, const auto& e) { return v < e.first; });
    return after == texts_.begin() ? kDefault : std::prev(after)->second;
  }
  for (auto it = texts_.rbegin(); it != texts_.rend(); ++it)
    if (it->first <= t) return it->second;
  return kDefault;
}

}  // namespace cw
