// Finding the program's data (pictures and sounds) and reading sound lengths.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/millis.h"
#include "base/result.h"

namespace cw {

// The folder holding assets/ and audio/, found by one rule for pictures and sounds alike: the
// first of dataFolderPlaces (host/folders.h) that has them. The failure names each place
// looked in.
Result<std::string> dataDirectory();

// A name as the game gives it ("Audio\Enemy.wav"): backslashes separate folders and each part
// is matched without regard to case. Empty when nothing matches.
std::string resolveDataFile(const std::string& dataDir, std::string_view name);

// Far longer than any sound of the game: a bigger file is not one of ours.
inline constexpr std::size_t kMaxSoundBytes = std::size_t{16} << 20;

// How long a PCM WAV file plays, from its header; nothing when it is not a WAV we can play.
std::optional<Millis> wavLengthMs(const std::string& path);

}  // namespace cw
