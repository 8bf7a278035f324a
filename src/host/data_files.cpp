#include "host/data_files.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

#include "host/folders.h"

namespace cw {
namespace {

namespace fs = std::filesystem;

// Paths are UTF-8 inside the programs; std::filesystem takes them as such on every system (on
// Windows it turns them into the wide names the system's calls take).
fs::path pathOf(std::string_view utf8) {
  return fs::path(std::u8string(utf8.begin(), utf8.end()));
}
std::string utf8Of(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

bool isDirectory(const std::string& path) {
  std::error_code ignored;
  return fs::is_directory(pathOf(path), ignored);
}

// ASCII letters alike whatever their case; other bytes only themselves.
bool sameIgnoringCase(std::string_view a, std::string_view b) {
  const auto lower = [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return lower(x) == lower(y); });
}

std::string findEntry(const std::string& dir, const std::string& part) {
  std::error_code error;
  std::string found;
  for (fs::directory_iterator it(pathOf(dir), error), end; !error && it != end;
       it.increment(error)) {
    const std::string name = utf8Of(it->path().filename());
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

}  // namespace

Result<std::string> dataDirectory() {
  std::string lookedIn;
  for (const std::string& place : dataFolderPlaces()) {
    if (isDirectory(place + "/assets")) return place;
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
  // Only a plain file can be a sound: a FIFO would hold the open until someone writes, and a
  // device may never end.
  std::error_code error;
  if (!fs::is_regular_file(pathOf(path), error)) return std::nullopt;
  std::ifstream in(pathOf(path), std::ios::binary);
  if (!in) return std::nullopt;
  std::array<unsigned char, 12> riff{};
  if (!in.read(reinterpret_cast<char*>(riff.data()), 12)) return std::nullopt;
  if (std::string_view(reinterpret_cast<char*>(riff.data()), 4) != "RIFF" ||
      std::string_view(reinterpret_cast<char*>(riff.data() + 8), 4) != "WAVE")
    return std::nullopt;
  std::uint32_t byteRate = 0;
  std::uint16_t format = 0;
  bool haveFormat = false;
  for (int chunks = 0; chunks < 64; ++chunks) {
    std::array<unsigned char, 8> head{};
    if (!in.read(reinterpret_cast<char*>(head.data()), 8)) return std::nullopt;
    std::string_view id(reinterpret_cast<char*>(head.data()), 4);
    std::uint32_t size = le32(head.data() + 4);
    if (id == "fmt ") {
      if (size < 16) return std::nullopt;
      std::array<unsigned char, 16> fmt{};
      if (!in.read(reinterpret_cast<char*>(fmt.data()), 16)) return std::nullopt;
      format = le16(fmt.data());
      byteRate = le32(fmt.data() + 8);
      haveFormat = true;
      in.seekg(size - 16 + (size & 1), std::ios::cur);
    } else if (id == "data") {
      // Only plain PCM and float are played; a data chunk before its format is malformed.
      if (!haveFormat || byteRate == 0 || (format != 1 && format != 3)) return std::nullopt;
      std::streampos here = in.tellg();
      in.seekg(0, std::ios::end);
      std::uint64_t available = static_cast<std::uint64_t>(in.tellg() - here);
      std::uint64_t bytes =
          size < available ? size : available;  // a truncated file plays what it has
      if (bytes == 0) return std::nullopt;
      return static_cast<Millis>((bytes * 1000 + byteRate - 1) / byteRate);
    } else {
      in.seekg(size + (size & 1), std::ios::cur);
    }
    if (!in) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace cw
