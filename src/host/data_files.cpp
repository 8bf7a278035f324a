#include "host/data_files.h"

#include "base/sound_names.h"
#include "base/wav_length.h"
#include "host/files.h"
#include "host/folders.h"

namespace cw {
namespace {

std::string findEntry(const std::string& dir, const std::string& part) {
  std::string found;
  for (const std::string& name : folderEntries(dir)) {
    // A part holds no slash: the sound names' comparison is the plain case-blind one.
    if (sameSoundName(name, part)) {
      found = name;
      if (found == part) break;  // an exact match wins over one that differs in case
    }
  }
  return found;
}

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
  return wavLengthOf(**file);
}

}  // namespace cw
