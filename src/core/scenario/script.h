// The scenario language that both front ends read: a script parsed once into typed commands.
// The replay plays any script; the live game records its sessions in it and plays those back.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "base/millis.h"
#include "base/result.h"
#include "core/display/layout.h"
#include "core/keyremap/key_file.h"
#include "core/keyremap/key_remap_dialog.h"

namespace cw {

// A field of the key dialog that `print NAME` answers.
struct DialogField {
  std::string_view name;
  int DialogState::*value;
};

// The commands of the scenario language, one struct each, their arguments checked and converted.
namespace cmd {

struct Time {
  std::string text;  // the rest of the line, blanks and all
  bool operator==(const Time&) const = default;
};
struct Seed {
  std::uint64_t n = 0;
  bool operator==(const Seed&) const = default;
};
// Values the generator hands out, in order, before its own.
struct Draw {
  std::vector<double> values;
  bool operator==(const Draw&) const = default;
};
// The length of a sound that holds the game, instead of its file's.
struct SoundLength {
  std::string name;
  Millis ms = 0;
  bool operator==(const SoundLength&) const = default;
};
// From core time `from` on, the clock reads `text` (a recording says what the live clock read).
struct TimeAt {
  Millis from = 0;
  std::string text;  // the rest of the line, blanks and all
  bool operator==(const TimeAt&) const = default;
};
// The key file as it was when the recorded session started, or as a live file that could not
// take the dialog's keys kept them: four codes, or none (missing or unreadable, which the game
// and the dialog take alike).
struct KeyFile {
  std::optional<KeySet> keys;
  bool operator==(const KeyFile&) const = default;
};
struct Start {
  bool operator==(const Start&) const = default;
};
struct KeyDown {
  int code = 0;
  bool operator==(const KeyDown&) const = default;
};
struct KeyUp {
  int code = 0;
  bool operator==(const KeyUp&) const = default;
};
// mousedown, mouseup or click. The mouse button is not kept: every button presses a casing
// button alike.
struct Mouse {
  enum class Action { Down, Up, Click };
  Action action = Action::Click;
  int label = 0;    // 1..4 for Label1..Label4 of the key dialog, 0 for a segment
  Group segment{};  // when not a label: a segment of its own, never a group
  bool operator==(const Mouse&) const = default;
};
struct Close {
  bool operator==(const Close&) const = default;
};
struct Wait {
  Millis ms = 0;
  bool operator==(const Wait&) const = default;
};
// The machine stopped for `ms` (suspended, or the live loop starved): every timer that fell due
// meanwhile ticks once, as after a hold.
struct Stall {
  Millis ms = 0;
  bool operator==(const Stall&) const = default;
};
struct Trace {
  bool on = false;
  bool operator==(const Trace&) const = default;
};
struct Print {
  enum class What {
    Shown,
    Readout,
    Sounds,
    Timers,
    Time,
    KeyFile,
    Windows,
    Ended,
    Boxes,
    State,   // a field of the game state record
    Dialog,  // a field of the key dialog
  };
  What what = What::Readout;
  Group group{};                             // Shown: a segment or a group
  std::string field;                         // State: the field's name
  const DialogField* dialogField = nullptr;  // Dialog
  bool operator==(const Print&) const = default;
};

// What `print` would answer, given in full ("Score 12", "shown Bepo 3"): the replay says whether
// its own answer is the same.
struct Expect {
  Print print;
  std::string answer;  // the answer's words joined by single blanks, without the line end
  bool operator==(const Expect&) const = default;
};

}  // namespace cmd

using Command =
    std::variant<cmd::Time, cmd::Seed, cmd::Draw, cmd::SoundLength, cmd::Start, cmd::KeyDown,
                 cmd::KeyUp, cmd::Mouse, cmd::Close, cmd::Wait, cmd::Trace, cmd::Print, cmd::TimeAt,
                 cmd::KeyFile, cmd::Stall, cmd::Expect>;
using Script = std::vector<Command>;

// Checks every line before anything runs, so a bad script runs nothing. A failure names the
// first bad line: "line N: reason"; a last line cut short (no line end) says so. `lines`, when
// given, gets the line number of each command.
Result<Script> parseScenario(const std::string& text, std::vector<int>* lines = nullptr);

// The commands that act on the device, which a recording's playback paces; actOn does each.
template <class C>
inline constexpr bool kActsOnDevice =
    std::is_same_v<C, cmd::Wait> || std::is_same_v<C, cmd::Stall> ||
    std::is_same_v<C, cmd::KeyDown> || std::is_same_v<C, cmd::KeyUp> ||
    std::is_same_v<C, cmd::Mouse> || std::is_same_v<C, cmd::Close>;
inline bool isAction(const Command& c) {
  return std::visit([](const auto& x) { return kActsOnDevice<std::decay_t<decltype(x)>>; }, c);
}

class Device;
// Does a command that acts on the device (a key, the mouse, close, wait, stall) as both front
// ends do; nothing for any other. Only `close` fails, when the key file could not be saved
// (the keys chosen hold all the same).
std::optional<Status> actOn(Device& device, const Command& command);

// The version of the program that recorded a script, from its "# recorded by crateworks V"
// comment, or nothing when it has none.
std::optional<std::string> recordedVersion(const std::string& text);
inline constexpr std::string_view kRecordedBy = "# recorded by crateworks ";

// Far more than days of play take: a larger input is no scenario, and is not read on to its end.
inline constexpr std::size_t kMaxScenarioBytes = std::size_t{64} << 20;
inline constexpr std::string_view kTooLargeForAScenario = "too large (over 64 MiB)";

// The clock's texts by core time, as `time` and `timeat` give them: each text holds from its
// time on, until a later one; the last given wins among those that have begun.
class TimeTexts {
 public:
  void add(Millis from, std::string text);
  const std::string& at(Millis t) const;

 private:
  std::vector<std::pair<Millis, std::string>> texts_;
  // In order of their times (a recording's are): looked up by halves, not one by one.
  bool ordered_ = true;
};

}  // namespace cw
