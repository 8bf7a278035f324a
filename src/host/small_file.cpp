#include "host/small_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace cw {
namespace {

// Makes the folders above `path` that are missing; a failure shows when the file is opened.
void makeParents(const std::string& path) {
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
       slash = path.find('/', slash + 1))
    ::mkdir(path.substr(0, slash).c_str(), 0755);
}

}  // namespace

Result<std::optional<std::string>> readSmallFile(const std::string& path, std::size_t limit) {
  // Without O_NONBLOCK a FIFO in the file's place would hold the open until someone writes.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return std::optional<std::string>();  // none there
    return failure(path + ": " + std::strerror(errno));
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return failure(path + ": not a regular file");
  }
  // Room for what the file says it holds and one byte more, to see its end; grown when it
  // holds more than it said (as files under /proc do), never past the limit.
  std::string text(std::min(limit, static_cast<std::size_t>(st.st_size) + 1), '\0');
  std::size_t got = 0;
  while (got < limit) {
    if (got == text.size()) text.resize(std::min(limit, 2 * text.size()));
    ssize_t n = ::read(fd, text.data() + got, text.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      std::string why = path + ": " + std::strerror(errno);
      ::close(fd);
      return failure(why);
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  text.resize(got);
  return std::optional<std::string>(std::move(text));
}

Status replaceFile(const std::string& path, std::string_view content) {
  makeParents(path);
  const std::string temp = path + ".new";
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
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    std::string why = path + ": " + std::strerror(errno);
    ::unlink(temp.c_str());
    return failure(why);
  }
  return {};
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

}  // namespace cw
