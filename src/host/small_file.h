// The small files the game keeps under the user's configuration folder: read whole without
// ever blocking, replaced whole and atomically.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "base/result.h"

namespace cw {

// At most `limit` bytes of the regular file at `path`. Nothing, and no failure, when there is
// no file there; a failure saying why when something else is there or it cannot be read.
Result<std::optional<std::string>> readSmallFile(const std::string& path, std::size_t limit);

// Writes a new file beside the old one and renames it over it, so the file on disk is always
// either the old whole file or the new whole one. Makes the folders above it that are missing.
Status replaceFile(const std::string& path, std::string_view content);

// Where the game keeps a file of its own: $XDG_CONFIG_HOME/crateworks/NAME, else
// ~/.config/crateworks/NAME. Nothing is made here.
Result<std::string> userConfigFile(std::string_view name);

}  // namespace cw
