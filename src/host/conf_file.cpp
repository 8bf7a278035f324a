#include "host/conf_file.h"

#include "host/files.h"
#include "host/folders.h"

namespace cw {
namespace {

// A settings file is a few short lines; a larger one is not ours.
constexpr std::size_t kMaxSize = 4096;

std::string_view trimmed(std::string_view s) {
  const auto first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

bool isKeyChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-';
}

}  // namespace

Result<ConfValues> parseConf(std::string_view text) {
  ConfValues values;
  int number = 0;
  while (!text.empty()) {
    ++number;
    const auto end = text.find('\n');
    const std::string_view line = trimmed(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || line[0] == '#') continue;
    const std::string where = "line " + std::to_string(number) + ": ";
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) return failure(where + "not key = value");
    const std::string_view key = trimmed(line.substr(0, equals));
    const std::string_view value = trimmed(line.substr(equals + 1));
    if (key.empty()) return failure(where + "no key");
    for (char c : key)
      if (!isKeyChar(c)) return failure(where + "not key = value");
    if (!values.emplace(std::string(key), std::string(value)).second)
      return failure(where + std::string(key) + " given twice");
  }
  return values;
}

std::string formatConf(const ConfValues& values) {
  std::string text = "# Crateworks settings, written by the game.\n";
  for (const auto& [key, value] : values) text += key + " = " + value + "\n";
  return text;
}

Result<ConfValues> ConfFile::read() const {
  Result<std::optional<std::string>> text = readSmallFile(path_, kMaxSize + 1);
  if (!text) return failure(path_ + ": " + text.error());
  if (!*text) return ConfValues{};
  if ((*text)->size() > kMaxSize) return failure(path_ + ": too large to be ours");
  if ((*text)->find('\0') != std::string::npos) return failure(path_ + ": not text");
  Result<ConfValues> values = parseConf(**text);
  if (!values) return failure(path_ + ": " + values.error());
  return values;
}

Status ConfFile::write(const ConfValues& values) const {
  if (path_.empty()) return failure(nowhere_.empty() ? "no settings file named" : nowhere_);
  return replaceFile(path_, formatConf(values));
}

Result<std::string> userConfFilePath() {
  return userConfigFile("crateworks.conf");
}

}  // namespace cw
