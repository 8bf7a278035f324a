// Sessions in child processes: a crash, a sanitizer report or a hang of the core becomes a
// fault like a broken invariant, with the lines played up to it.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "soak.h"
#include "support/temp_folder.h"

namespace fs = std::filesystem;

namespace cw::soak {

std::uint64_t sessionSeed(std::uint64_t base, std::uint64_t i) {
  std::uint64_t z = base + 0x9E3779B97F4A7C15ull * (i + 1);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return (z ^ (z >> 31)) >> 1;
}

namespace {

void writeAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

std::string readAll(int fd) {
  std::string text;
  char buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    text.append(buf, static_cast<std::size_t>(n));
  }
  return text;
}

// The line of a crash report that says what went wrong, without addresses.
std::string faultLine(const std::string& log) {
  std::istringstream in(log);
  for (std::string line; std::getline(in, line);) {
    for (const char* mark : {"fault:", "runtime error:", "ERROR: AddressSanitizer:"}) {
      auto at = line.find(mark);
      if (at == std::string::npos) continue;
      std::string what = line.substr(at);
      if (auto addr = what.find(" on address"); addr != std::string::npos) what.resize(addr);
      return what;
    }
  }
  return {};
}

// The child streams "L line" for every replay line before it plays it, "F invariant\tdetail\tat"
// on a fault, and "E ms commands ..." when it ends well.
[[noreturn]] void runChild(const SessionBody& body, const std::string& keyPath, int out,
                           const std::string& errPath, unsigned timeoutSeconds) {
  const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ::dup2(err, 2);
  ::alarm(timeoutSeconds);
  auto record = [out](const std::string& line) { writeAll(out, "L " + line + "\n"); };
  auto report = [out](const Violation& v) {
    writeAll(out, "F " + v.invariant + "\t" + v.detail + "\t" + std::to_string(v.at) + "\n");
    ::_exit(1);
  };
  SessionResult r = body(keyPath, record, report);
  const Coverage& c = r.coverage;
  std::ostringstream end;
  end << "E " << r.virtualMs << ' ' << r.commands << ' ' << c.handlers << ' ' << c.gamesStarted
      << ' ' << c.lifts << ' ' << c.scoldings << ' ' << c.gameOvers << ' ' << c.trucksFilled << ' '
      << c.breakHeldByScolding << ' ' << c.loadsPastEighth << ' ' << c.doublePoints << ' '
      << c.scorePast1000 << ' ' << c.dialogsOpened << ' ' << c.programEnded << '\n';
  writeAll(out, end.str());
  ::_exit(0);
}

// The outcome as the child's stream tells it; `ended` says whether it came to its end line.
Outcome readStream(const std::string& stream, bool& ended) {
  Outcome o;
  ended = false;
  std::istringstream in(stream);
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("L ", 0) == 0) {
      o.lines.push_back(line.substr(2));
    } else if (line.rfind("F ", 0) == 0) {
      std::string rest = line.substr(2);
      auto tab = rest.find('\t');
      o.failed = true;
      o.signature = "invariant " + rest.substr(0, tab);
      std::string detail = rest.substr(tab + 1);
      auto tab2 = detail.rfind('\t');
      o.message = "invariant " + rest.substr(0, tab) + ": " + detail.substr(0, tab2) + " (at " +
                  detail.substr(tab2 + 1) + " ms)";
    } else if (line.rfind("E ", 0) == 0) {
      std::istringstream e(line.substr(2));
      Coverage& c = o.result.coverage;
      e >> o.result.virtualMs >> o.result.commands >> c.handlers >> c.gamesStarted >> c.lifts >>
          c.scoldings >> c.gameOvers >> c.trucksFilled >> c.breakHeldByScolding >>
          c.loadsPastEighth >> c.doublePoints >> c.scorePast1000 >> c.dialogsOpened >>
          c.programEnded;
      ended = true;
    }
  }
  return o;
}

}  // namespace

Outcome isolated(const std::optional<std::string>& keyFile, const SessionBody& body,
                 unsigned timeoutSeconds) {
  const TempFolder dir("cw-soak");
  const std::string keyPath = (dir / "crateworks.key").string();
  if (keyFile) std::ofstream(keyPath, std::ios::binary) << *keyFile;
  const std::string errPath = (dir / "stderr").string();

  int pipeFds[2];
  if (::pipe(pipeFds) != 0) std::abort();
  std::fflush(nullptr);
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(pipeFds[0]);
    runChild(body, keyPath, pipeFds[1], errPath, timeoutSeconds);
  }
  ::close(pipeFds[1]);
  const std::string stream = readAll(pipeFds[0]);
  ::close(pipeFds[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  std::string log;
  {
    std::ifstream in(errPath);
    log.assign(std::istreambuf_iterator<char>(in), {});
  }

  bool ended = false;
  Outcome o = readStream(stream, ended);
  if (!o.failed && (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !ended)) {
    o.failed = true;
    std::string what = faultLine(log);
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM) what = "hung";
    if (what.empty())
      what = WIFSIGNALED(status) ? std::string("killed by ") + strsignal(WTERMSIG(status))
                                 : "exit status " + std::to_string(WEXITSTATUS(status));
    o.signature = what;
    o.message = what + (log.empty() ? "" : "\n" + log);
  }
  return o;
}

Outcome playIsolated(const std::vector<std::string>& lines,
                     const std::optional<std::string>& keyFile, unsigned timeoutSeconds) {
  return isolated(
      keyFile,
      [&lines](const std::string& keyPath, const LineSink& record,
               const InvariantChecker::Report& report) {
        SessionResult r;
        for (const std::string& l : lines) record(l);
        if (!playLines(lines, keyPath, report, &r)) ::_exit(3);
        return r;
      },
      timeoutSeconds);
}

}  // namespace cw::soak
