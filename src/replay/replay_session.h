// The headless front end's session: a scenario's commands, parsed once into typed commands,
// played one at a time in virtual time.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "core/scenario/script.h"

namespace cw {

struct ReplayOptions {
  std::string dataDir;  // where audio/ lies; sounds there give their lengths
  std::string keyFilePath = "crateworks.key";
  // The key file at keyFilePath is read when the session starts and kept in memory from then
  // on, so that a scenario's dialog and `keyfile` lines never touch a file the replay did not
  // make; false reads and writes it there, as the game does.
  bool keyFileInMemory = false;
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

  // Plays one command, writing its answers and trace lines to `out`. A failure says what went
  // wrong although the replay can go on: the key file that `close` could not save, or that
  // `keyfile` could not set.
  Status execute(const Command& c);
  const Device& device() const;
  // How many `expect` lines found another answer so far, and the last such difference.
  int differences() const;
  const std::string& lastDifference() const;
  // Told after every handler the device runs.
  void setHandlerObserver(HandlerObserver* o);

  class Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace cw
