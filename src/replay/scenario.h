// Scenarios for the headless front end: a script parsed once into typed commands, and a session
// that plays them in virtual time.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "base/millis.h"
#include "base/result.h"
#include "display/layout.h"
#include "keyremap/key_remap_dialog.h"

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

}  // namespace cmd

using Command =
    std::variant<cmd::Time, cmd::Seed, cmd::Draw, cmd::SoundLength, cmd::Start, cmd::KeyDown,
                 cmd::KeyUp, cmd::Mouse, cmd::Close, cmd::Wait, cmd::Trace, cmd::Print>;
using Script = std::vector<Command>;

// Checks every line before anything runs, so a bad script runs nothing. A failure names the
// first bad line: "line N: reason".
Result<Script> parseScenario(const std::string& text);

struct ReplayOptions {
  std::string dataDir;  // where audio/ lies; sounds there give their lengths
  std::string keyFilePath = "crateworks.key";
};

class Device;
class HandlerObserver;

// A replay in progress, played one command at a time, so that a driver can choose its next
// command from what the device shows and record it: the recording then replays exactly.
class ReplaySession {
 public:
  // `options` must outlive the session.
  ReplaySession(const ReplayOptions& options, std::ostream& out);
  ~ReplaySession();
  ReplaySession(const ReplaySession&) = delete;
  ReplaySession& operator=(const ReplaySession&) = delete;

  // Plays one command, writing its answers and trace lines to `out`. A failure says what went
  // wrong although the command took effect and the replay can go on: the key file that `close`
  // could not save.
  Status execute(const Command& c);
  const Device& device() const;
  // Told after every handler the device runs.
  void setHandlerObserver(HandlerObserver* o);

  class Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace cw
