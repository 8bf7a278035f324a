// Fuzz target: any bytes as a replay scenario (recordings of live games among the seeds). The
// parser either refuses the script with a line number and a reason or accepts every line; each
// accepted command written back as a line parses to itself; and an accepted script plays to its end
// (its waits and sound lengths capped so that one input stays fast) without a crash or a sanitizer
// report.
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <ostream>
#include <string>

#include "core/scenario/print.h"
#include "replay/replay_session.h"
#include "support/temp_folder.h"

namespace {

namespace cmd = cw::cmd;

constexpr std::int64_t kTimeBudgetMs = 10000;
constexpr std::int64_t kMaxSoundMs = 1000;
constexpr std::size_t kMaxCommands = 300;

void check(bool ok) {
  if (!ok) __builtin_trap();
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
  cw::Result<cw::Script> parsed = cw::parseScenario(text);
  if (!parsed) {
    const std::string& why = parsed.error();
    check(why.rfind("line ", 0) == 0 && why.size() > 5 && why[5] >= '1' && why[5] <= '9');
    return 0;
  }
  cw::Script script = std::move(parsed).value();
  for (const cw::Command& c : script) {
    // A line's last CR is its line end, so a time text ending in CR has no line of its own.
    const auto* time = std::get_if<cmd::Time>(&c);
    if (time && !time->text.empty() && time->text.back() == '\r') continue;
    const auto* timeAt = std::get_if<cmd::TimeAt>(&c);
    if (timeAt && !timeAt->text.empty() && timeAt->text.back() == '\r') continue;
    cw::Result<cw::Script> again = cw::parseScenario(cw::lineOf(c));
    check(again && again->size() == 1 && again->front() == c);
  }

  if (script.size() > kMaxCommands) script.resize(kMaxCommands);
  std::int64_t budget = kTimeBudgetMs;
  for (cw::Command& c : script) {
    if (auto* wait = std::get_if<cmd::Wait>(&c)) {
      wait->ms = std::min<std::int64_t>(wait->ms, budget);
      budget -= wait->ms;
    } else if (auto* stall = std::get_if<cmd::Stall>(&c)) {
      stall->ms = std::min<std::int64_t>(stall->ms, budget);
      budget -= stall->ms;
    } else if (auto* sound = std::get_if<cmd::SoundLength>(&c)) {
      sound->ms = std::min<std::int64_t>(sound->ms, kMaxSoundMs);
    }
  }
  ::unlink(keyPath().c_str());  // every input starts from no key file
  cw::ReplayOptions options{std::string(), keyPath()};
  std::ostream null(nullptr);
  cw::ReplaySession session(options, null);
  // Only `close` and `keyfile` can fail (the key file not saved), and say why; the replay goes
  // on.
  for (const cw::Command& c : script)
    if (cw::Status played = session.execute(c); !played)
      check((std::holds_alternative<cmd::Close>(c) || std::holds_alternative<cmd::KeyFile>(c)) &&
            !played.error().empty());
  return 0;
}
