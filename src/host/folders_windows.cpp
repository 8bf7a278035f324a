// Windows: the data beside the program, where the build and the installer both put it, and the
// player's files in the roaming application data, %APPDATA%\Crateworks.
#include <windows.h>
// After windows.h, which it needs.
#include <knownfolders.h>
#include <shlobj.h>

#include "host/folders.h"
#include "host/utf16_windows.h"

namespace cw {
namespace {

// The whole path of the running program, however long.
std::wstring programPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(2 * path.size());  // cut short: try again with more room
  }
}

bool isAbsolute(std::wstring_view path) {
  return (path.size() >= 3 && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) ||
         (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\');
}

// %APPDATA% when it names a folder (as the system sets it; a test may point it elsewhere),
// else the system's own answer for the roaming application data.
std::wstring appData() {
  const DWORD size = GetEnvironmentVariableW(L"APPDATA", nullptr, 0);
  if (size > 1) {
    std::wstring value(size, L'\0');
    const DWORD n = GetEnvironmentVariableW(L"APPDATA", value.data(), size);
    value.resize(n);
    if (n > 0 && n < size && isAbsolute(value)) return value;
  }
  wchar_t* known = nullptr;
  std::wstring path;
  if (SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DEFAULT, nullptr, &known) == S_OK)
    path = known;
  CoTaskMemFree(known);
  return path;
}

}  // namespace

std::vector<std::string> dataFolderPlaces() {
  std::vector<std::string> places;
  if (const std::wstring exe = programPath(); !exe.empty())
    places.push_back(toUtf8(exe.substr(0, exe.find_last_of(L"\\/"))));
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  std::wstring cwd(size, L'\0');
  if (const DWORD n = GetCurrentDirectoryW(size, cwd.data()); n > 0 && n < size) {
    cwd.resize(n);
    // Started from Explorer, the working directory is the program's own: once is enough.
    if (places.empty() || toUtf8(cwd) != places.front()) places.push_back(toUtf8(cwd));
  }
  return places;
}

Result<std::string> userConfigFile(std::string_view name) {
  const std::wstring base = appData();
  if (base.empty()) return failure("nowhere to keep it: no application data folder (APPDATA)");
  return toUtf8(base) + "\\Crateworks\\" + std::string(name);
}

std::string_view userConfigFolderHelp() {
  return "%APPDATA%\\Crateworks";
}

}  // namespace cw
