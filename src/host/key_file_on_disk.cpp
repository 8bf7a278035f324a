#include "host/key_file_on_disk.h"

#include "host/files.h"
#include "host/folders.h"

namespace cw {

Result<std::optional<std::string>> KeyFileOnDisk::readWithReason() const {
  return readSmallFile(path_, kMaxRead);
}

std::optional<std::string> KeyFileOnDisk::read() {
  Result<std::optional<std::string>> text = readWithReason();
  return text ? *text : std::nullopt;
}

Status KeyFileOnDisk::write(std::string_view content) {
  if (path_.empty()) return failure(nowhere_.empty() ? "no key file named" : nowhere_);
  return replaceFile(path_, content);
}

Status KeyFileOnDisk::remove() {
  if (path_.empty()) return failure(nowhere_.empty() ? "no key file named" : nowhere_);
  return removeFile(path_);
}

Result<std::string> userKeyFilePath() {
  return userConfigFile("crateworks.key");
}

}  // namespace cw
