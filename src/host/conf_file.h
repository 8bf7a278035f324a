// The game's settings file, crateworks.conf: lines "key = value", blank lines and "#" comments.
// Kept apart from the key file, whose format is fixed.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "base/result.h"

namespace cw {

using ConfValues = std::map<std::string, std::string, std::less<>>;

// The values of a file's text; the failure names the first line that is not one.
Result<ConfValues> parseConf(std::string_view text);
// The text of a file holding `values`, one line each, under a line saying who wrote it.
std::string formatConf(const ConfValues& values);

class ConfFile {
 public:
  // A file with nowhere to be kept: it reads as missing and every write fails saying why.
  explicit ConfFile(Result<std::string> path)
      : path_(path ? *path : std::string()), nowhere_(path ? std::string() : path.error()) {}
  // No values when there is no file; the failure says why the file there is unusable.
  Result<ConfValues> read() const;
  // Replaces the file atomically.
  Status write(const ConfValues& values) const;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  std::string nowhere_;
};

// $XDG_CONFIG_HOME/crateworks/crateworks.conf, else ~/.config/crateworks/crateworks.conf.
Result<std::string> userConfFilePath();

}  // namespace cw
