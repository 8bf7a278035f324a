#include "host/key_file_store.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "host/small_file.h"

namespace cw {
namespace {

// A key file is four short lines; anything far larger is not one, and is not read whole.
constexpr std::size_t kMaxRead = 4096;

}  // namespace

std::optional<std::string> FileKeyStore::read() {
  Result<std::optional<std::string>> text = readSmallFile(path_, kMaxRead);
  return text ? *text : std::nullopt;
}

Status FileKeyStore::write(std::string_view content) {
  if (path_.empty()) return failure(nowhere_.empty() ? "no key file named" : nowhere_);
  return replaceFile(path_, content);
}

Status FileKeyStore::remove() {
  if (path_.empty()) return failure(nowhere_.empty() ? "no key file named" : nowhere_);
  if (std::remove(path_.c_str()) != 0 && errno != ENOENT) return failure(std::strerror(errno));
  return {};
}

Result<std::string> userKeyFilePath() {
  return userConfigFile("crateworks.key");
}

}  // namespace cw
