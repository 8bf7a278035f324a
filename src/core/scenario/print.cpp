// Printing: the answers to `print` and the trace lines, byte for byte as scenarios expect them.
#include "core/scenario/print.h"

#include <charconv>
#include <ostream>
#include <sstream>

#include "core/keyremap/key_file.h"
#include "core/shell/device.h"
#include "core/shell/state_fields.h"

namespace cw {
namespace {

// The one list of the dialog fields: `print` accepts these names and answers with their values.
constexpr DialogField kDialogFields[] = {
    {"DialogKeyNandoUp", &DialogState::DialogKeyNandoUp},
    {"DialogKeyNandoDown", &DialogState::DialogKeyNandoDown},
    {"DialogKeyBepoUp", &DialogState::DialogKeyBepoUp},
    {"DialogKeyBepoDown", &DialogState::DialogKeyBepoDown},
    {"SelectedKeyRow", &DialogState::SelectedKeyRow},
};

void printShown(std::ostream& out, const Display& d, Group g) {
  const GroupInfo& info = groupInfo(g);
  out << "shown " << info.name;
  if (info.single) {
    out << ' ' << (d.shown(g) ? 1 : 0);
  } else {
    for (int m = info.first; m <= info.last; ++m)
      if (d.shown(g, m)) out << ' ' << m;
  }
  out << '\n';
}

void printReadout(std::ostream& out, const Display& d) {
  auto place = [&d](Place p) { return d.digit(p) == kBlank ? '_' : char('0' + d.digit(p)); };
  out << "readout " << place(Place::Ora) << place(Place::Centinaia)
      << (d.shown(Group::duepunti) ? ':' : '.') << place(Place::Decina) << place(Place::Unita)
      << '\n';
}

void printTimers(std::ostream& out, const Scheduler& s) {
  out << "timers";
  for (int t = 0; t < kTimerCount; ++t)
    if (s.enabled(static_cast<TimerId>(t))) out << ' ' << timerInfo(static_cast<TimerId>(t)).name;
  out << '\n';
}

void printKeyFile(std::ostream& out, KeyFilePort& keyFile) {
  const std::optional<std::string> text = keyFile.read();
  const std::optional<KeySet> keys = text ? parseKeyFile(*text) : std::nullopt;
  if (!text)
    out << "keyfile missing\n";
  else if (!keys)
    out << "keyfile invalid\n";
  else
    out << "keyfile " << (*keys)[0] << ' ' << (*keys)[1] << ' ' << (*keys)[2] << ' ' << (*keys)[3]
        << '\n';
}

void printWindows(std::ostream& out, const WindowStates& w) {
  out << "windows game " << (w.gameShown ? "shown" : "hidden") << ' '
      << (w.gameEnabled ? "enabled" : "disabled") << " dialog "
      << (w.dialogOpen ? "open" : "closed") << '\n';
}

// The code each key box of the dialog shows, '-' for none or when no dialog is open.
void printBoxes(std::ostream& out, const KeyRemapDialog* dialog) {
  out << "boxes";
  for (int row = 1; row <= 4; ++row) {
    const int code = dialog ? dialog->box(row) : -1;
    if (code < 0)
      out << " -";
    else
      out << ' ' << code;
  }
  out << '\n';
}

void printField(std::ostream& out, const GameState& s, const std::string& name) {
  const std::string text = fieldText(s, name).value();  // the parser knew the name
  out << name << (text.empty() ? "" : " ") << text << '\n';
}

// A closed dialog answers with the values of a new one.
void printDialogField(std::ostream& out, const KeyRemapDialog* dialog, const DialogField& f) {
  const DialogState s = dialog ? dialog->state() : DialogState{};
  out << f.name << ' ' << s.*f.value << '\n';
}

// Each command written back as the line that says it.
struct LineOf {
  std::string operator()(const cmd::Time& c) const { return "time " + c.text; }
  std::string operator()(const cmd::Seed& c) const { return "seed " + std::to_string(c.n); }
  std::string operator()(const cmd::Draw& c) const {
    std::string line = "draw";
    for (double v : c.values) {
      char buf[64];
      line += ' ' + std::string(buf, std::to_chars(buf, buf + sizeof buf, v).ptr);
    }
    return line;
  }
  std::string operator()(const cmd::SoundLength& c) const {
    return "soundlength " + c.name + ' ' + std::to_string(c.ms);
  }
  std::string operator()(const cmd::Start&) const { return "start"; }
  std::string operator()(const cmd::KeyDown& c) const {
    return "keydown " + std::to_string(c.code);
  }
  std::string operator()(const cmd::KeyUp& c) const { return "keyup " + std::to_string(c.code); }
  std::string operator()(const cmd::Mouse& c) const {
    const char* words[] = {"mousedown", "mouseup", "click"};
    const std::string target =
        c.label ? "Label" + std::to_string(c.label) : std::string(groupInfo(c.segment).name);
    return words[static_cast<int>(c.action)] + (' ' + target);
  }
  std::string operator()(const cmd::Close&) const { return "close"; }
  std::string operator()(const cmd::Wait& c) const { return "wait " + std::to_string(c.ms); }
  std::string operator()(const cmd::Trace& c) const { return c.on ? "trace on" : "trace off"; }
  std::string operator()(const cmd::TimeAt& c) const {
    return "timeat " + std::to_string(c.from) + ' ' + c.text;
  }
  std::string operator()(const cmd::KeyFile& c) const {
    if (!c.keys) return "keyfile none";
    std::string line = "keyfile";
    for (int k : *c.keys) line += ' ' + std::to_string(k);
    return line;
  }
  std::string operator()(const cmd::Stall& c) const { return "stall " + std::to_string(c.ms); }
  std::string operator()(const cmd::Expect& c) const { return "expect " + c.answer; }
  std::string operator()(const cmd::Print& c) const {
    using What = cmd::Print::What;
    const char* words[] = {"shown",   "readout", "sounds", "timers", "time",
                           "keyfile", "windows", "ended",  "boxes"};
    switch (c.what) {
      case What::Shown:
        return "print shown " + std::string(groupInfo(c.group).name);
      case What::State:
        return "print " + c.field;
      case What::Dialog:
        return "print " + std::string(c.dialogField->name);
      default:
        return "print " + std::string(words[static_cast<int>(c.what)]);
    }
  }
};

}  // namespace

const DialogField* dialogFieldNamed(std::string_view name) {
  for (const DialogField& f : kDialogFields)
    if (f.name == name) return &f;
  return nullptr;
}

void printAnswer(std::ostream& out, const cmd::Print& p, const PrintSources& from) {
  using What = cmd::Print::What;
  const Device& device = from.device;
  switch (p.what) {
    case What::Shown:
      return printShown(out, device.display(), p.group);
    case What::Readout:
      return printReadout(out, device.display());
    case What::Sounds:
      out << "sounds" << (from.sounds.empty() ? "" : " ") << from.sounds << '\n';
      return;
    case What::Timers:
      return printTimers(out, device.game().scheduler());
    case What::Time:
      out << "time " << device.now() << '\n';
      return;
    case What::KeyFile:
      return printKeyFile(out, from.keyFile);
    case What::Windows:
      return printWindows(out, device.windows());
    case What::Ended:
      out << "ended " << (device.ended() ? 1 : 0) << '\n';
      return;
    case What::Boxes:
      return printBoxes(out, device.dialog());
    case What::State:
      return printField(out, device.state(), p.field);
    case What::Dialog:
      return printDialogField(out, device.dialog(), *p.dialogField);
  }
}

std::string answerOf(const cmd::Print& p, const PrintSources& from) {
  std::ostringstream out;
  printAnswer(out, p, from);
  std::istringstream words(out.str());
  std::string answer;
  for (std::string w; words >> w;) answer += (answer.empty() ? "" : " ") + w;
  return answer;
}

bool expectHolds(const cmd::Expect& e, const PrintSources& from, std::string& got) {
  got = answerOf(e.print, from);
  return got == e.answer;
}

void traceSound(std::ostream& out, Millis at, std::string_view name, int flags) {
  out << '@' << at << " sound " << name << ' ' << flags << '\n';
}

void traceShow(std::ostream& out, Millis at, Group g, int member, bool shown) {
  out << '@' << at << (shown ? " show " : " hide ") << groupInfo(g).name;
  if (!groupInfo(g).single) out << ' ' << member;
  out << '\n';
}

void traceDigit(std::ostream& out, Millis at, Place p, int digit) {
  out << '@' << at << " digit " << groupInfo(placeGroup(p)).name << ' ';
  if (digit == kBlank)
    out << '_';
  else
    out << digit;
  out << '\n';
}

std::string lineOf(const Command& c) {
  return std::visit(LineOf{}, c);
}

}  // namespace cw
