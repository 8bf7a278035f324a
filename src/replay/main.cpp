// crateworks-replay: the game's core in virtual time, driven by a scenario.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "base/quoted.h"
#include "host/command_line.h"
#include "host/data_files.h"
#include "host/files.h"
#include "host/process.h"
#include "host/report.h"
#include "replay/replay_session.h"

namespace {

constexpr const char* kUsage = "Usage: crateworks-replay [OPTION]... [SCENARIO]";

// Options join this table; printHelp lists them, and docs/crateworks-replay.6 describes them.
constexpr cw::OptionSpec kOptions[] = {
    {"help", 'h', "", "show this help and exit"},
    {"version", 0, "", "show the version and exit"},
    {"check", 0, "", "stop with status 1 at the first expect line whose answer differs"},
    {"key-file", 0, "FILE", "read and write FILE as the game's key file"},
};

void printHelp() {
  std::printf(
      "%s\n"
      "Plays Crateworks' core in virtual time from a scenario (standard input when SCENARIO is\n"
      "missing or '-') and prints what the scenario asks. The key file crateworks.key in the\n"
      "working directory is read when the scenario starts; what the scenario then writes to it\n"
      "(the key dialog, keyfile lines) stays in memory, unless --key-file names the file to\n"
      "read and write as the game does.\n"
      "\n"
      "Options:\n%s"
      "\n"
      "A recording of a live game (crateworks --record FILE) ends with expect lines, the values\n"
      "the live game had; each prints whether the replay has the same. With --check the first\n"
      "that differs is named on stderr and the replay stops there.\n"
      "\n"
      "Exit status: 0 when the scenario ran, 1 when the output could not be written or, with\n"
      "--check, when a value differs or there is none to check, 2 for a bad command line, an\n"
      "unreadable scenario or a bad line in it.\n",
      kUsage, cw::optionsHelp(kOptions).c_str());
}

// The whole input, read with plain system calls so that every failure (a directory, a read
// error) has its reason rather than an exception or a silent end of file. An input larger than
// any scenario is refused as soon as it is seen to be.
cw::Result<std::string> readAll(int fd) {
  std::string text;
  char buf[65536];
  for (;;) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n > 0) {
      text.append(buf, static_cast<std::size_t>(n));
      if (text.size() > cw::kMaxScenarioBytes)
        return cw::failure(std::string(cw::kTooLargeForAScenario));
    } else if (n == 0) {
      return text;
    } else if (errno != EINTR) {
      return cw::failure(std::strerror(errno));
    }
  }
}

cw::Result<std::string> readScenario(const std::string& path) {
  if (path == "-") return readAll(STDIN_FILENO);
  const int fd = cw::openForReading(path);
  if (fd < 0) return cw::failure(std::strerror(errno));
  cw::Result<std::string> text = readAll(fd);
  close(fd);
  return text;
}

bool hasExpect(const cw::Script& script) {
  for (const cw::Command& c : script)
    if (std::holds_alternative<cw::cmd::Expect>(c)) return true;
  return false;
}

// Said beside a difference when another version of the game made the recording.
std::string versionNote(const std::string& text) {
  const std::optional<std::string> v = cw::recordedVersion(text);
  if (!v || *v == CW_VERSION) return {};
  return " (recorded by crateworks " + *v + ", replayed by " + CW_VERSION + ")";
}

int badCommandLine(const std::string& why) {
  return cw::usageError(kUsage, why);
}

}  // namespace

int main(int argc, char** argv) {
  cw::setProgramName("crateworks-replay");
  cw::prepareStandardStreams();
  const auto line = cw::parseCommandLine(kOptions, cw::programArguments(argc, argv));
  if (!line) return badCommandLine(line.error());
  if (line->operands().size() > 1)
    return badCommandLine("unexpected operand " + cw::quoted(line->operands()[1]));
  if (line->has("help")) {
    printHelp();
    return 0;
  }
  if (line->has("version")) {
    std::printf("crateworks-replay %s\n", CW_VERSION);
    return 0;
  }
  const std::string path = line->operands().empty() ? "-" : line->operands()[0];
  const cw::Result<std::string> text = readScenario(path);
  if (!text) {
    const std::string name = path == "-" ? "standard input" : path;
    cw::report("cannot read " + name + ": " + text.error());
    return 2;
  }
  std::vector<int> lines;
  const cw::Result<cw::Script> script = cw::parseScenario(*text, &lines);
  if (!script) {
    cw::report(script.error());
    return 2;
  }
  const bool check = line->has("check");
  if (check && !hasExpect(*script)) {
    cw::report("nothing to check: no expect line (a recording cut short?)");
    return 1;
  }
  cw::ReplayOptions options;
  if (const std::string* keyFile = line->value("key-file")) {
    options.keyFilePath = *keyFile;
  } else {
    options.keyFileInMemory = true;
  }
  // Without the data folder the sounds hold nothing unless the scenario gives their lengths.
  if (auto dir = cw::dataDirectory())
    options.dataDir = *dir;
  else
    cw::report(dir.error() + ": the sounds hold nothing unless the scenario gives their lengths");
  cw::ReplaySession session(options, std::cout);
  for (std::size_t i = 0; i < script->size(); ++i) {
    // A failure leaves the command done (the keys chosen hold though not saved): say so, go on.
    if (cw::Status s = session.execute((*script)[i]); !s) cw::report(s.error());
    if (check && session.differences() > 0) {
      std::cout.flush();
      cw::report("line " + std::to_string(lines[i]) + " differs: " + session.lastDifference() +
                 versionNote(*text));
      return 1;
    }
  }
  // What was printed must have reached its place: a full disk is a failure, not a success.
  errno = 0;
  if (!std::cout.flush() || std::fflush(stdout) != 0) {
    const char* why = errno != 0 ? std::strerror(errno) : "write error";
    cw::report(std::string("cannot write the output: ") + why);
    return 1;
  }
  return 0;
}
