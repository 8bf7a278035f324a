// Scenarios for the headless front end: parsing a script and playing it in virtual time.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace cw {

struct Command {
  int line = 0;
  std::string name;               // the command word
  std::vector<std::string> args;  // its arguments; `time` keeps the rest of the line as one
};

struct ParseResult {
  std::vector<Command> commands;
  int errorLine = 0;  // 0 when the whole script is valid
  std::string error;
};

// Checks every line before anything runs, so a bad script runs nothing.
ParseResult parseScenario(const std::string& text);

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
  ReplaySession(const ReplayOptions& options, std::ostream& out);
  ~ReplaySession();
  ReplaySession(const ReplaySession&) = delete;
  ReplaySession& operator=(const ReplaySession&) = delete;

  // The command must have passed parseScenario's checks.
  void execute(const Command& c);
  const Device& device() const;
  // Told after every handler the device runs.
  void setHandlerObserver(HandlerObserver* o);

  class Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

// Plays the commands, writing every answer to `out`. Returns the process exit status.
int runScenario(const std::vector<Command>& commands, const ReplayOptions& options,
                std::ostream& out);

}  // namespace cw
