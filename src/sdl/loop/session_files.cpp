#include "sdl/loop/session_files.h"

#include "host/report.h"

namespace cw {

Result<std::unique_ptr<RecordingFile>> RecordingFile::create(const std::string& path,
                                                             bool replace) {
  Result<AppendFile> made = AppendFile::create(path, replace);
  if (!made) {
    const bool exists = made.error() == path + ": it exists";
    return failure("cannot record to " + made.error() + (exists ? " (--force replaces it)" : ""));
  }
  return std::unique_ptr<RecordingFile>(new RecordingFile(std::move(made).value()));
}

Result<std::unique_ptr<Playback>> loadPlayback(const std::string& path) {
  // One byte past the limit tells a file too large from one of just that size.
  const Result<std::optional<std::string>> read = readSmallFile(path, kMaxScenarioBytes + 1);
  if (!read) return failure("cannot play " + path + ": " + read.error());
  if (!*read) return failure("cannot play " + path + ": no such file");
  if ((*read)->size() > kMaxScenarioBytes)
    return failure("cannot play " + path + ": " + std::string(kTooLargeForAScenario));
  Result<std::unique_ptr<Playback>> playback = Playback::parse(**read, path);
  if (playback) {
    if (const std::string note = (*playback)->versionNote(); !note.empty()) report(note);
  }
  return playback;
}

}  // namespace cw
