// The key file on disk, replaced whole and atomically.
#pragma once

#include <string>

#include "base/seams.h"

namespace cw {

class FileKeyStore : public KeyFileStore {
 public:
  explicit FileKeyStore(std::string path) : path_(std::move(path)) {}
  std::optional<std::string> read() override;
  // Writes a new file beside the old one and renames it over it, so the file on disk is always
  // either the old whole file or the new whole one.
  Status write(std::string_view content) override;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// Where the game keeps its key file: $XDG_CONFIG_HOME/crateworks, else ~/.config/crateworks.
// The folder is created when missing. Empty when no home can be found.
std::string userKeyFilePath();

}  // namespace cw
