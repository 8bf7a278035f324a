// crateworks-soak: plays random sessions until enough virtual time has passed, each in a child
// process, so that a crash is caught like any other fault. On a fault it prints the seed,
// shrinks the session and writes it out as a replay scenario.
//
//   crateworks-soak [--seed N] [--hours H] [--sessions N] [--out DIR] [--shrink-seconds S]
//   crateworks-soak --check SCENARIO [--key KEYFILE]   plays a scenario under the checks
//   crateworks-soak --shrink SCENARIO [--key KEYFILE]  shrinks a scenario that fails them
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "soak.h"

namespace fs = std::filesystem;
using namespace cw;
using namespace cw::soak;

namespace {

// A session that takes longer than this in real time is hung.
constexpr unsigned kSessionTimeoutSeconds = 300;

std::string scenarioText(const std::vector<std::string>& lines, const std::string& header) {
  std::string text = header;
  for (const std::string& l : lines) text += l + "\n";
  // What the checks looked at, as the replay prints it at the end.
  for (const char* p :
       {"time", "shown Bepo", "shown Nando", "shown Blocco", "CrateActive", "CratePos",
        "LoadSegment", "TruckLoad", "Score", "ShownScore", "readout", "timers"})
    text += std::string("print ") + p + "\n";
  return text;
}

// Shrinks a failing session and writes it out as NAME.scn (and NAME.key) in `outDir`.
int shrinkAndWrite(const Outcome& failure, const std::optional<std::string>& keyFile,
                   const std::string& name, const std::string& origin, const fs::path& outDir,
                   int shrinkSeconds) {
  std::cerr << "soak: shrinking " << failure.lines.size() << " lines for at most " << shrinkSeconds
            << " s...\n";
  auto fails = [&](const std::vector<std::string>& candidate) {
    Outcome o = playIsolated(candidate, keyFile, kSessionTimeoutSeconds);
    return o.failed && o.signature == failure.signature;
  };
  std::vector<std::string> lines = failure.lines;
  if (!fails(lines)) {
    std::cerr << "soak: the recorded lines do not fail again on their own; writing them whole\n";
  } else {
    lines = shrink(lines, fails, Clock::now() + std::chrono::seconds(shrinkSeconds));
  }
  fs::create_directories(outDir);
  const fs::path scn = outDir / (name + ".scn");
  std::ostringstream header;
  header << "# Soak fault: " << failure.signature << "\n# " << origin << "\n";
  if (keyFile) {
    std::ofstream(outDir / (name + ".key"), std::ios::binary) << *keyFile;
    header << "# Before running, copy " << name
           << ".key to crateworks.key in the working folder.\n";
  }
  std::ofstream(scn) << scenarioText(lines, header.str());
  std::cerr << "soak: " << lines.size() << " lines reproduce it: " << fs::absolute(scn).string()
            << "\n  (cd \"$(mktemp -d)\""
            << (keyFile ? " && cp " + fs::absolute(outDir / (name + ".key")).string() +
                              " crateworks.key"
                        : std::string())
            << " && crateworks-replay " << fs::absolute(scn).string() << ")\n";
  std::cerr << "----\n" << scenarioText(lines, "") << "----\n";
  return 1;
}

std::optional<std::vector<std::string>> readScenario(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::cerr << "soak: cannot read " << path << "\n";
    return std::nullopt;
  }
  std::vector<std::string> lines;
  for (std::string l; std::getline(in, l);) {
    if (l.rfind("print", 0) == 0 || l.rfind("#", 0) == 0) continue;  // they change nothing
    lines.push_back(l);
  }
  return lines;
}

int check(const std::string& scenario, const std::optional<std::string>& keyFile) {
  auto lines = readScenario(scenario);
  if (!lines) return 2;
  Outcome o = playIsolated(*lines, keyFile, kSessionTimeoutSeconds);
  if (o.failed) {
    std::cout << "FAULT: " << o.message << "\n";
    return 1;
  }
  std::cout << "ok: " << o.result.virtualMs << " ms, " << o.result.coverage.handlers
            << " handlers checked\n";
  return 0;
}

int shrinkFile(const std::string& scenario, const std::optional<std::string>& keyFile,
               const fs::path& outDir, int shrinkSeconds) {
  auto lines = readScenario(scenario);
  if (!lines) return 2;
  Outcome o = playIsolated(*lines, keyFile, kSessionTimeoutSeconds);
  if (!o.failed) {
    std::cout << "ok: nothing to shrink, the scenario passes the checks\n";
    return 0;
  }
  std::cerr << "soak: " << o.message << "\n";
  return shrinkAndWrite(o, keyFile, fs::path(scenario).stem().string() + "-small",
                        "shrunk from " + scenario, outDir, shrinkSeconds);
}

struct Options {
  std::uint64_t base = 20261207;
  double hours = 10;
  std::uint64_t maxSessions = UINT64_MAX;
  fs::path outDir = ".";
  int shrinkSeconds = 120;
  bool verbose = false;
  std::string checkFile;
  std::string shrinkTarget;
  std::optional<std::string> checkKey;
};

// The options, or nothing (the usage printed) when they are not understood.
std::optional<Options> parseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    auto next = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::cerr << "soak: " << a << " needs a value\n";
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--seed") {
      std::string v = next();
      o.base =
          v == "random" ? static_cast<std::uint64_t>(::time(nullptr)) ^ ::getpid() : std::stoull(v);
    } else if (a == "--hours") {
      o.hours = std::stod(next());
    } else if (a == "--sessions") {
      o.maxSessions = std::stoull(next());
    } else if (a == "--out") {
      o.outDir = next();
    } else if (a == "--shrink-seconds") {
      o.shrinkSeconds = std::stoi(next());
    } else if (a == "--verbose") {
      o.verbose = true;
    } else if (a == "--check") {
      o.checkFile = next();
    } else if (a == "--shrink") {
      o.shrinkTarget = next();
    } else if (a == "--key") {
      std::ifstream in(next(), std::ios::binary);
      o.checkKey = std::string(std::istreambuf_iterator<char>(in), {});
    } else {
      std::cerr << "usage: crateworks-soak [--seed N|random] [--hours H] [--sessions N] "
                   "[--out DIR] [--shrink-seconds S] [--verbose] | --check SCENARIO [--key FILE] | "
                   "--shrink SCENARIO [--key FILE] [--out DIR] [--shrink-seconds S]\n";
      return std::nullopt;
    }
  }
  return o;
}

void printTotals(std::uint64_t sessions, Millis total, std::size_t commands, const Coverage& all,
                 double wall) {
  std::cout << "soak: " << sessions << " sessions, " << total / 3600000.0 << " virtual hours, "
            << commands << " commands, " << all.handlers << " handlers checked, in " << wall
            << " s\n"
            << "soak: games " << all.gamesStarted << ", lifts " << all.lifts << ", scoldings "
            << all.scoldings << ", game overs " << all.gameOvers << ", trucks filled "
            << all.trucksFilled << " (" << all.breakHeldByScolding
            << " held by a scolding), loads past the eighth " << all.loadsPastEighth
            << ", double points " << all.doublePoints << ", scores past 1000 " << all.scorePast1000
            << ", dialogs " << all.dialogsOpened << ", quits " << all.programEnded << "\n";
}

// Random sessions, each in a child, until the virtual hours are played or a fault is found.
int soakSessions(const Options& opt) {
  const Millis target = static_cast<Millis>(opt.hours * 3600.0 * 1000.0);
  Millis total = 0;
  Coverage all;
  std::uint64_t sessions = 0;
  std::size_t commands = 0;
  const auto began = Clock::now();
  std::cout << "soak: base seed " << opt.base << ", " << opt.hours << " virtual hours" << std::endl;
  for (std::uint64_t i = 0; total < target && i < opt.maxSessions; ++i) {
    const std::uint64_t seed = sessionSeed(opt.base, i);
    const Profile profile = drawProfile(seed);
    Outcome o = isolated(
        profile.keyFile,
        [&](const std::string& keyPath, const LineSink& record,
            const InvariantChecker::Report& report) {
          return playSession(seed, profile, keyPath, record, report);
        },
        kSessionTimeoutSeconds);
    if (o.failed) {
      std::cerr << "soak: FAULT in session " << i << " of base seed " << opt.base
                << " (session seed " << seed << "): " << o.message << "\n";
      return shrinkAndWrite(o, profile.keyFile, "soak-" + std::to_string(seed),
                            "base seed " + std::to_string(opt.base) + ", session " +
                                std::to_string(i) + ", session seed " + std::to_string(seed),
                            opt.outDir, opt.shrinkSeconds);
    }
    if (opt.verbose) {
      const Coverage& c = o.result.coverage;
      std::cout << "session " << i << " seed " << seed << ": skill " << profile.skill << " think "
                << profile.think << " chaos " << profile.chaos << " move " << profile.moveSound
                << " ms: " << o.result.virtualMs / 1000 << " s, games " << c.gamesStarted
                << ", lifts " << c.lifts << ", trucks " << c.trucksFilled << ", scoldings "
                << c.scoldings << "\n";
    }
    total += o.result.virtualMs;
    commands += o.result.commands;
    all += o.result.coverage;
    ++sessions;
  }
  printTotals(sessions, total, commands, all,
              std::chrono::duration<double>(Clock::now() - began).count());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::optional<Options> opt = parseOptions(argc, argv);
  if (!opt) return 2;
  if (!opt->checkFile.empty()) return check(opt->checkFile, opt->checkKey);
  if (!opt->shrinkTarget.empty())
    return shrinkFile(opt->shrinkTarget, opt->checkKey, opt->outDir, opt->shrinkSeconds);
  return soakSessions(*opt);
}
