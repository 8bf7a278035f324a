// Watches a running process for a while and prints what it cost, as NAME VALUE lines:
//   cpu_pct          CPU time of the whole process (every thread, those that ended too) over
//                    the wall time, in percent of one core, from its process CPU-time clock
//                    (nanoseconds, where /proc/PID/stat counts in hundredths of a second)
//   wakeups_per_s    voluntary context switches of all its threads per second: each is a
//                    sleep, so each is one wake-up (a thread that lives and ends between two
//                    looks, 100 ms apart, is missed)
//   audio_cpu_pct    the CPU of SDL's audio threads (named SDLAudio...), from their schedstat
//   audio_wakeups_per_s
// Usage: crateworks-proc-sample PID SECONDS
#include <dirent.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>

namespace {

struct Thread {
  bool audio = false;
  long long firstSwitches = -1, lastSwitches = 0;
  long long firstRunNs = -1, lastRunNs = 0;
};

std::string slurp(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void look(int pid, std::map<int, Thread>& threads, bool first) {
  const std::string dir = "/proc/" + std::to_string(pid) + "/task";
  DIR* d = opendir(dir.c_str());
  if (!d) return;
  while (dirent* e = readdir(d)) {
    if (e->d_name[0] == '.') continue;
    const std::string t = dir + "/" + e->d_name;
    const std::string status = slurp(t + "/status");
    const auto at = status.find("\nvoluntary_ctxt_switches:");
    if (at == std::string::npos) continue;
    const long long switches = std::atoll(status.c_str() + at + 25);
    const long long runNs = std::atoll(slurp(t + "/schedstat").c_str());
    Thread& th = threads[std::atoi(e->d_name)];
    // Born during the watch: all its life counts.
    if (th.firstSwitches < 0) {
      th.firstSwitches = first ? switches : 0;
      th.firstRunNs = first ? runNs : 0;
      th.audio = slurp(t + "/comm").rfind("SDLAudio", 0) == 0;
    }
    th.lastSwitches = switches;
    th.lastRunNs = runNs;
  }
  closedir(d);
}

double cpuNs(clockid_t c) {
  timespec ts{};
  if (clock_gettime(c, &ts) != 0) return -1;
  return ts.tv_sec * 1e9 + ts.tv_nsec;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: crateworks-proc-sample PID SECONDS\n");
    return 2;
  }
  const int pid = std::atoi(argv[1]);
  const double seconds = std::atof(argv[2]);
  clockid_t clock;
  if (clock_getcpuclockid(pid, &clock) != 0) {
    std::fprintf(stderr, "crateworks-proc-sample: no process %d\n", pid);
    return 1;
  }
  std::map<int, Thread> threads;
  const auto start = std::chrono::steady_clock::now();
  const double cpu0 = cpuNs(clock);
  look(pid, threads, true);
  const auto end = start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                               std::chrono::duration<double>(seconds));
  while (std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_until(
        std::min(end, std::chrono::steady_clock::now() + std::chrono::milliseconds(100)));
    look(pid, threads, false);
  }
  const double cpu1 = cpuNs(clock);
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  long long switches = 0, audioSwitches = 0, audioNs = 0;
  for (const auto& [tid, t] : threads) {
    switches += t.lastSwitches - t.firstSwitches;
    if (t.audio) {
      audioSwitches += t.lastSwitches - t.firstSwitches;
      audioNs += t.lastRunNs - t.firstRunNs;
    }
  }
  std::printf("cpu_pct %.4f\n", (cpu1 - cpu0) / 1e9 / wall * 100);
  std::printf("wakeups_per_s %.2f\n", switches / wall);
  std::printf("audio_cpu_pct %.4f\n", audioNs / 1e9 / wall * 100);
  std::printf("audio_wakeups_per_s %.2f\n", audioSwitches / wall);
  return 0;
}
