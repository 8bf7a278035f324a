#include <unistd.h>

#include <array>
#include <cstdlib>

#include "host/folders.h"

namespace cw {

std::vector<std::string> dataFolderPlaces() {
  std::vector<std::string> places;
  std::array<char, 4096> buf{};
  if (ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1); n > 0) {
    const std::string exe(buf.data(), static_cast<std::size_t>(n));
    const std::string dir = exe.substr(0, exe.rfind('/'));
    places.push_back(dir);
    places.push_back(dir + "/../share/crateworks");
  }
  if (char* cwd = getcwd(buf.data(), buf.size())) places.emplace_back(cwd);
  return places;
}

Result<std::string> userConfigFile(std::string_view name) {
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::string(home) + "/.config";
  } else {
    return failure("nowhere to keep it: neither XDG_CONFIG_HOME nor HOME is set");
  }
  return base + "/crateworks/" + std::string(name);
}

std::string_view userConfigFolderHelp() {
  return "$XDG_CONFIG_HOME/crateworks/\n(~/.config/crateworks/ by default)";
}

}  // namespace cw
