// Files as the programs keep them: small ones read whole without ever blocking and replaced
// whole and atomically (the key file, the settings), and a recording written as it grows. One
// file per operating system implements them. Paths are UTF-8 everywhere.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace cw {

// At most `limit` bytes of the regular file at `path`. Nothing, and no failure, when there is
// no file there; a failure saying why (not naming the path) when something else is there or it
// cannot be read.
Result<std::optional<std::string>> readSmallFile(const std::string& path, std::size_t limit);

// Writes a new file beside the old one, flushes it to the disk and renames it over the old one,
// so the file on disk is always either the old whole file or the new whole one. Makes the
// folders above it that are missing.
Status replaceFile(const std::string& path, std::string_view content);

// Removes the file at `path`; none there is no failure. The failure says why.
Status removeFile(const std::string& path);

// A descriptor for reading the file at `path` as bytes (read(), close()), or -1 with errno set.
int openForReading(const std::string& path);

// Whether a folder is at `path`.
bool isFolder(const std::string& path);
// The names in the folder at `path` (not "." and ".."); none when it cannot be read.
std::vector<std::string> folderEntries(const std::string& path);

// A new file written from start to end, as a recording is.
class AppendFile {
 public:
  // Makes the file at `path`; one that exists is kept (the failure says "PATH: it exists")
  // unless `replace`; a folder there is never replaced. The failure names the path.
  static Result<AppendFile> create(const std::string& path, bool replace);
  AppendFile(AppendFile&& other) noexcept : fd_(other.fd_), path_(std::move(other.path_)) {
    other.fd_ = -1;
  }
  AppendFile& operator=(AppendFile&&) = delete;
  AppendFile(const AppendFile&) = delete;
  ~AppendFile();

  const std::string& path() const { return path_; }
  // Appends `text` whole; the failure says why.
  Status write(std::string_view text);
  // Flushes what was written to the disk.
  Status sync();
  // Closes and removes the file (it was made for nothing).
  void discard();

 private:
  AppendFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  int fd_;
  std::string path_;
};

}  // namespace cw
