#include "host/key_file_store.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace cw {
namespace {

// A key file is four short lines; anything far larger is not one, and is not read whole.
constexpr std::size_t kMaxRead = 4096;

// Makes the folders above `path` that are missing; a failure shows when the file is opened.
void makeParents(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1))
    ::mkdir(path.substr(0, slash).c_str(), 0755);
}

}  // namespace

std::optional<std::string> FileKeyStore::read() {
  if (path_.empty()) return std::nullopt;
  // Without O_NONBLOCK a FIFO in the file's place would hold the open until someone writes.
  int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return std::nullopt;
  }
  std::string text(kMaxRead, '\0');
  std::size_t got = 0;
  while (got < kMaxRead) {
    ssize_t n = ::read(fd, text.data() + got, kMaxRead - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  text.resize(got);
  return text;
}

Status FileKeyStore::write(std::string_view content) {
  if (path_.empty()) return failure(nowhere_.empty() ? "no key file named" : nowhere_);
  makeParents(path_);
  const std::string temp = path_ + ".new";
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return failure(temp + ": " + std::strerror(errno));
  std::size_t done = 0;
  while (done < content.size()) {
    ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      std::string why = temp + ": " + std::strerror(n < 0 ? errno : ENOSPC);
      ::close(fd);
      ::unlink(temp.c_str());
      return failure(why);
    }
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    std::string why = temp + ": " + std::strerror(errno);
    ::unlink(temp.c_str());
    return failure(why);
  }
  if (::rename(temp.c_str(), path_.c_str()) != 0) {
    std::string why = path_ + ": " + std::strerror(errno);
    ::unlink(temp.c_str());
    return failure(why);
  }
  return {};
}

Result<std::string> userKeyFilePath() {
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg == '/') {
    base = xdg;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    base = std::string(home) + "/.config";
  } else {
    return failure("nowhere to keep it: neither XDG_CONFIG_HOME nor HOME is set");
  }
  return base + "/crateworks/crateworks.key";
}

}  // namespace cw
