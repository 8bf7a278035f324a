// What the front ends write of a scenario: the answers to `print` and `expect`, and the trace
// lines.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>

#include "core/display/display.h"
#include "core/scenario/script.h"

namespace cw {

class Device;
class KeyFilePort;

// The key dialog field `print NAME` answers, or null when NAME is none of them.
const DialogField* dialogFieldNamed(std::string_view name);

// What `print` reads besides the device.
struct PrintSources {
  const Device& device;
  KeyFilePort& keyFile;
  const std::string& sounds;  // the sounds played since the last `print sounds`
};
void printAnswer(std::ostream& out, const cmd::Print& p, const PrintSources& from);
// The answer alone, its words joined by single blanks (as `expect` gives it), no line end.
std::string answerOf(const cmd::Print& p, const PrintSources& from);
// Whether the session's answer is what `e` expected; `got` gets the session's answer.
bool expectHolds(const cmd::Expect& e, const PrintSources& from, std::string& got);

// A command written back as the line that says it, which parses to the same command.
std::string lineOf(const Command& c);

// The trace lines, each stamped with the virtual time it tells of.
void traceSound(std::ostream& out, Millis at, std::string_view name, int flags);
void traceShow(std::ostream& out, Millis at, Group g, int member, bool shown);
void traceDigit(std::ostream& out, Millis at, Place p, int digit);

}  // namespace cw
