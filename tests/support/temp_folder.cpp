#include "support/temp_folder.h"

#include <random>
#include <string>
#include <system_error>

namespace cw {

TempFolder::TempFolder(std::string_view prefix) {
  // A name nobody holds: create_directory makes the folder only where none is, so two tests
  // that draw the same name never share it.
  std::random_device seed;
  std::mt19937_64 draw(seed());
  const std::filesystem::path base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name(prefix);
    name += '-';
    for (int i = 0; i < 8; ++i) name += "abcdefghijklmnopqrstuvwxyz0123456789"[draw() % 36];
    std::error_code error;
    if (std::filesystem::create_directory(base / name, error)) {
      path_ = base / name;
      return;
    }
    if (error) throw std::system_error(error, "cannot make a folder in " + base.string());
  }
  throw std::system_error(std::make_error_code(std::errc::file_exists),
                          "no free name for a folder in " + base.string());
}

TempFolder::~TempFolder() {
  // A test may have left the folder read-only; a destructor must not throw.
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace cw
