// Fuzz target: any bytes as a replay scenario. The parser either refuses the script with a line
// number and a reason or accepts every line; each accepted command written back as a line parses
// to itself; and an accepted script plays to its end (its waits and sound lengths capped so that
// one input stays fast) without a crash or a sanitizer report.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <string>

#include "replay/scenario.h"
#include "support/temp_folder.h"

namespace {

constexpr std::int64_t kTimeBudgetMs = 10000;
constexpr std::int64_t kMaxSoundMs = 1000;
constexpr std::size_t kMaxCommands = 300;

void check(bool ok) {
  if (!ok) __builtin_trap();
}

std::string lineOf(const cw::Command& c) {
  std::string line = c.name;
  for (const std::string& a : c.args) line += " " + a;
  return line;
}

// The key file lies in a folder of its own, removed when the fuzzer exits.
const std::string& keyPath() {
  static const cw::TempFolder folder("cw-fuzz-replay");
  static const std::string path = (folder / "crateworks.key").string();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  cw::ParseResult parsed = cw::parseScenario(text);
  if (parsed.errorLine != 0) {
    check(parsed.commands.empty() && !parsed.error.empty() && parsed.errorLine > 0);
    return 0;
  }
  for (const cw::Command& c : parsed.commands) {
    // A line's last CR is its line end, so a time text ending in CR has no line of its own.
    if (c.name == "time" && !c.args[0].empty() && c.args[0].back() == '\r') continue;
    cw::ParseResult again = cw::parseScenario(lineOf(c));
    check(again.errorLine == 0 && again.commands.size() == 1);
    check(again.commands[0].name == c.name && again.commands[0].args == c.args);
  }

  if (parsed.commands.size() > kMaxCommands) parsed.commands.resize(kMaxCommands);
  std::int64_t budget = kTimeBudgetMs;
  for (cw::Command& c : parsed.commands) {
    if (c.name == "wait") {
      const std::int64_t ms = std::min<std::int64_t>(std::stoll(c.args[0]), budget);
      budget -= ms;
      c.args[0] = std::to_string(ms);
    } else if (c.name == "soundlength") {
      c.args[1] = std::to_string(std::min<std::int64_t>(std::stoll(c.args[1]), kMaxSoundMs));
    }
  }
  ::unlink(keyPath().c_str());  // every input starts from no key file
  cw::ReplayOptions options{std::string(), keyPath()};
  std::ostream null(nullptr);
  check(cw::runScenario(parsed.commands, options, null) == 0);
  return 0;
}
