// A folder of its own for a test's files: made fresh and empty under the system's temporary
// folder (with a unique name, so that tests running at once never share one) and removed with
// all it holds when the object goes.
#pragma once

#include <filesystem>
#include <string_view>

namespace cw {

class TempFolder {
 public:
  // The folder's name starts with `prefix`. Throws when it cannot be made.
  explicit TempFolder(std::string_view prefix = "cw-test");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

}  // namespace cw
