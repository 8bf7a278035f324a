// The files of a recorded session: a recording written as the game is played, and one read to
// be played back.
#pragma once

#include <memory>
#include <string>

#include "base/result.h"
#include "host/files.h"
#include "live/playback.h"
#include "live/recorder.h"

namespace cw {

// A recording written to a file as it grows.
class RecordingFile final : public RecordingSink {
 public:
  // Makes the file at `path`; one that exists is kept unless `replace` (the failure says so).
  static Result<std::unique_ptr<RecordingFile>> create(const std::string& path, bool replace);

  const std::string& name() const override { return file_.path(); }
  Status write(std::string_view text) override { return file_.write(text); }
  Status sync() override { return file_.sync(); }
  // The game never started: the file made for the recording goes.
  void discard() { file_.discard(); }

 private:
  explicit RecordingFile(AppendFile file) : file_(std::move(file)) {}
  AppendFile file_;
};

// Reads and checks the recording at `path` (Playback::parse). A recording of another version is
// said on stderr: it may play differently, which the end then tells.
Result<std::unique_ptr<Playback>> loadPlayback(const std::string& path);

}  // namespace cw
