#include "host/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
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
    return failure(std::strerror(errno));
  }
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return failure("not a regular file");
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
      std::string why = std::strerror(errno);
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

Status removeFile(const std::string& path) {
  if (std::remove(path.c_str()) != 0 && errno != ENOENT) return failure(std::strerror(errno));
  return {};
}

int openForReading(const std::string& path) {
  return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

Result<AppendFile> AppendFile::create(const std::string& path, bool replace) {
  // Neither kept nor replaced: a folder is no place for a file.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))
    return failure(path + ": it is a folder");
  const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (replace ? O_TRUNC : O_EXCL);
  const int fd = ::open(path.c_str(), flags, 0644);
  if (fd < 0) {
    const int e = errno;
    if (e == EEXIST) return failure(path + ": it exists");
    return failure(path + ": " + std::strerror(e));
  }
  return AppendFile(fd, path);
}

AppendFile::~AppendFile() {
  if (fd_ >= 0) ::close(fd_);
}

Status AppendFile::write(std::string_view text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd_, text.data() + done, text.size() - done);
    if (n >= 0)
      done += static_cast<std::size_t>(n);
    else if (errno != EINTR)
      return failure(std::strerror(errno));
  }
  return {};
}

Status AppendFile::sync() {
  // A recording may go to a pipe or a terminal, which cannot be flushed and need not be.
  if (::fsync(fd_) != 0 && errno != EINVAL) return failure(std::strerror(errno));
  return {};
}

void AppendFile::discard() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
  ::unlink(path_.c_str());
}

bool isFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> folderEntries(const std::string& path) {
  std::vector<std::string> names;
  DIR* d = ::opendir(path.c_str());
  if (!d) return names;
  while (const dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(d);
  return names;
}

}  // namespace cw
