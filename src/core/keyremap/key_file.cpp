#include "core/keyremap/key_file.h"

#include "base/seams.h"

namespace cw {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

std::optional<int> parseLine(std::string_view line) {
  while (!line.empty() && isBlank(line.front())) line.remove_prefix(1);
  while (!line.empty() && isBlank(line.back())) line.remove_suffix(1);
  if (line.empty() || line.size() > 5) return std::nullopt;
  int value = 0;
  for (char c : line) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value > 65535) return std::nullopt;
  return value;
}

}  // namespace

std::optional<KeySet> parseKeyFile(std::string_view text) {
  KeySet keys{};
  for (int& key : keys) {
    if (text.empty()) return std::nullopt;
    auto end = text.find('\n');
    auto value = parseLine(text.substr(0, end));
    if (!value) return std::nullopt;
    key = *value;
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
  }
  return keys;
}

std::string formatKeyFile(const KeySet& keys) {
  std::string out;
  for (int key : keys) {
    out += std::to_string(key);
    out += "\r\n";
  }
  return out;
}

std::optional<KeySet> keysIn(KeyFilePort& store) {
  const std::optional<std::string> text = store.read();
  return text ? parseKeyFile(*text) : std::nullopt;
}

}  // namespace cw
