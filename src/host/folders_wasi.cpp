#include <unistd.h>
#include <wasi/api.h>

#include <array>
#include <cstdlib>
#include <vector>

#include "host/folders.h"

namespace cw {
namespace {

// WASI has no /proc: the program's path is its first argument, as the runtime that started it
// gives it (tools/wasm-replay gives the module's own path).
std::string programPath() {
  __wasi_size_t count = 0, size = 0;
  if (__wasi_args_sizes_get(&count, &size) != 0 || count == 0) return {};
  std::vector<std::uint8_t*> argv(count);
  std::vector<std::uint8_t> text(size);
  if (__wasi_args_get(argv.data(), text.data()) != 0) return {};
  return reinterpret_cast<const char*>(argv[0]);
}

}  // namespace

std::vector<std::string> dataFolderPlaces() {
  std::vector<std::string> places;
  if (const std::string exe = programPath(); exe.find('/') != std::string::npos) {
    const std::string dir = exe.substr(0, exe.rfind('/'));
    places.push_back(dir);
    places.push_back(dir + "/../share/crateworks");
  }
  std::array<char, 4096> buf{};
  if (char* cwd = getcwd(buf.data(), buf.size())) places.emplace_back(cwd);
  return places;
}

Result<std::string> userConfigFile(std::string_view name) {
  if (const char* home = std::getenv("HOME"); home && *home)
    return std::string(home) + "/.config/crateworks/" + std::string(name);
  return failure("nowhere to keep it: HOME is not set");
}

}  // namespace cw
