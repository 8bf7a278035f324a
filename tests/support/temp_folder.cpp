#include "support/temp_folder.h"

#include <stdlib.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace cw {

TempFolder::TempFolder(std::string_view prefix) {
  std::string pattern = (std::filesystem::temp_directory_path() / prefix).string() + "-XXXXXX";
  if (!::mkdtemp(pattern.data()))
    throw std::system_error(errno, std::generic_category(), "cannot make " + pattern);
  path_ = pattern;
}

TempFolder::~TempFolder() {
  // A test may have left the folder read-only; a destructor must not throw.
  std::error_code ignored;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace cw
