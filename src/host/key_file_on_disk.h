// The key file on disk, replaced whole and atomically.
#pragma once

#include <string>

#include "base/seams.h"

namespace cw {

class KeyFileOnDisk : public KeyFilePort {
 public:
  // A store with nowhere to keep the file: it reads nothing and every write fails saying why.
  explicit KeyFileOnDisk(Result<std::string> path)
      : path_(path ? *path : std::string()), nowhere_(path ? std::string() : path.error()) {}
  // What read() gives, or why the file there cannot be read (read() then gives nothing).
  Result<std::optional<std::string>> readWithReason() const;
  std::optional<std::string> read() override;
  // Writes a new file beside the old one and renames it over it, so the file on disk is always
  // either the old whole file or the new whole one.
  Status write(std::string_view content) override;
  // Removes the file; one that is not there is no failure.
  Status remove();
  const std::string& path() const { return path_; }

 private:
  // A key file is four short lines; anything far larger is not one, and is not read whole.
  static constexpr std::size_t kMaxRead = 4096;

  std::string path_;
  std::string nowhere_;  // why there is no path, when there is none
};

// Where the game keeps its key file: $XDG_CONFIG_HOME/crateworks, else ~/.config/crateworks.
// Nothing is made here: the folder is made when the file is first written.
Result<std::string> userKeyFilePath();

}  // namespace cw
