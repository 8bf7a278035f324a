#include "host/data_files.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "host/files.h"
#include "host/folders.h"

namespace cw {
namespace {

// ASCII letters alike whatever their case; other bytes only themselves.
bool sameIgnoringCase(std::string_view a, std::string_view b) {
  const auto lower = [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

std::string findEntry(const std::string& dir, const std::string& part) {
  std::string found;
  for (const std::string& name : folderEntries(dir)) {
    if (sameIgnoringCase(name, part)) {
      found = name;
      if (found == part) break;  // an exact match wins over one that differs in case
    }
  }
  return found;
}

std::uint32_t le32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::uint16_t le16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// Far longer than any sound of the game.
constexpr std::size_t kMaxSoundBytes = std::size_t{16} << 20;

}  // namespace

Result<std::string> dataDirectory() {
  std::string lookedIn;
  for (const std::string& place : dataFolderPlaces()) {
    if (isFolder(place + "/assets")) return place;
    lookedIn += (lookedIn.empty() ? "" : ", ") + place;
  }
  return failure("no data folder (with assets/ and audio/) in " + lookedIn);
}

std::string resolveDataFile(const std::string& dataDir, std::string_view name) {
  if (dataDir.empty()) return {};
  std::string path = dataDir;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = name.size();
    std::string part(name.substr(start, end - start));
    if (part.empty() || part == "." || part == "..") return {};
    std::string entry = findEntry(path, part);
    if (entry.empty()) return {};
    path += "/" + entry;
    start = end + 1;
  }
  return path;
}

std::optional<Millis> wavLengthMs(const std::string& path) {
  // Only a plain file can be a sound (readSmallFile reads no other): a FIFO would hold the
  // open until someone writes, and a device may never end.
  const Result<std::optional<std::string>> file = readSmallFile(path, kMaxSoundBytes);
  if (!file || !*file) return std::nullopt;
  const std::string& bytes = **file;
  const auto at = [&](std::size_t offset, std::size_t size) {
    return offset <= bytes.size() && size <= bytes.size() - offset;
  };
  const auto u8 = [&](std::size_t offset) {
    return reinterpret_cast<const unsigned char*>(bytes.data() + offset);
  };
  if (!at(0, 12) || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0)
    return std::nullopt;
  std::uint32_t byteRate = 0;
  std::uint16_t format = 0;
  bool haveFormat = false;
  std::size_t pos = 12;
  for (int chunks = 0; chunks < 64; ++chunks) {
    if (!at(pos, 8)) return std::nullopt;
    const std::string_view id(bytes.data() + pos, 4);
    const std::uint32_t size = le32(u8(pos + 4));
    pos += 8;
    if (id == "fmt ") {
      if (size < 16 || !at(pos, 16)) return std::nullopt;
      format = le16(u8(pos));
      byteRate = le32(u8(pos + 8));
      haveFormat = true;
    } else if (id == "data") {
      // Only plain PCM and float are played; a data chunk before its format is malformed.
      if (!haveFormat || byteRate == 0 || (format != 1 && format != 3)) return std::nullopt;
      const std::uint64_t available = bytes.size() - pos;
      // A truncated file plays what it has.
      const std::uint64_t played = size < available ? size : available;
      if (played == 0) return std::nullopt;
      return static_cast<Millis>((played * 1000 + byteRate - 1) / byteRate);
    }
    pos += static_cast<std::size_t>(size) + (size & 1);
  }
  return std::nullopt;
}

}  // namespace cw
