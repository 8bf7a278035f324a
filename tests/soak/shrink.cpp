// Shrinking a failing session: fewer lines and shorter waits that still fail the same way.
#include <algorithm>

#include "soak.h"

namespace cw::soak {

std::vector<std::string> shrink(std::vector<std::string> lines,
                                const std::function<bool(const std::vector<std::string>&)>& fails,
                                Clock::time_point deadline) {
  auto timeLeft = [&deadline] { return Clock::now() < deadline; };
  // Two waits in a row are one wait: the same ticks run in the same order.
  auto merge = [&] {
    std::vector<std::string> merged;
    for (const std::string& l : lines) {
      if (l.rfind("wait ", 0) == 0 && !merged.empty() && merged.back().rfind("wait ", 0) == 0)
        merged.back() =
            "wait " + std::to_string(std::stoll(merged.back().substr(5)) + std::stoll(l.substr(5)));
      else
        merged.push_back(l);
    }
    if (merged.size() < lines.size() && fails(merged)) lines = std::move(merged);
  };
  bool progress = true;
  while (progress && timeLeft()) {
    progress = false;
    merge();
    // Drop runs of lines, long runs first.
    for (std::size_t chunk = std::max<std::size_t>(1, lines.size() / 2); timeLeft(); chunk /= 2) {
      for (std::size_t i = 0; i + chunk <= lines.size() && timeLeft();) {
        std::vector<std::string> candidate(lines.begin(), lines.begin() + i);
        candidate.insert(candidate.end(), lines.begin() + i + chunk, lines.end());
        if (fails(candidate)) {
          lines = std::move(candidate);
          progress = true;
        } else {
          i += chunk;
        }
      }
      if (chunk == 1) break;
    }
    // Shorten waits: halve each while the fault stays.
    for (std::size_t i = 0; i < lines.size() && timeLeft(); ++i) {
      if (lines[i].rfind("wait ", 0) != 0) continue;
      long long ms = std::stoll(lines[i].substr(5));
      while (ms > 1 && timeLeft()) {
        std::vector<std::string> candidate = lines;
        candidate[i] = "wait " + std::to_string(ms / 2);
        if (!fails(candidate)) break;
        lines = std::move(candidate);
        ms /= 2;
        progress = true;
      }
    }
  }
  return lines;
}

}  // namespace cw::soak
