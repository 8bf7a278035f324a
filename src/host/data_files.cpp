#include "host/data_files.h"

#include <dirent.h>

#include <strings.h>
#include <sys/stat.h>
#include <array>
#include <cstdint>
#include <fstream>
#include <vector>

#include "host/folders.h"

namespace cw {
namespace {

bool isDirectory(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string findEntry(const std::string& dir, const std::string& part) {
  DIR* d = opendir(dir.c_str());
  if (!d) return {};
  std::string found;
  while (dirent* e = readdir(d)) {
    if (strcasecmp(e->d_name, part.c_str()) == 0) {
      found = e->d_name;
      if (found == part) break;  // an exact match wins over one that differs in case
    }
  }
  closedir(d);
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
  struct stat st {};
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
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
