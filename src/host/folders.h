// Where the programs find their data and keep their files, as each operating system has it. One
// file per operating system implements them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/result.h"

namespace cw {

// The folders that may hold the data (assets/ and audio/), in the order they are looked in:
// beside the running program (a build folder), then ../share/crateworks beside it (the
// installed layout), then the working directory. On Windows, where an installed game keeps its
// data beside itself too, beside the program and then the working directory.
std::vector<std::string> dataFolderPlaces();

// Where the game keeps a file of its own: $XDG_CONFIG_HOME/crateworks/NAME, else
// ~/.config/crateworks/NAME; on Windows %APPDATA%\Crateworks\NAME. Nothing is made here.
Result<std::string> userConfigFile(std::string_view name);
// That folder as the help names it to a player (the rule, not this user's path).
std::string_view userConfigFolderHelp();

}  // namespace cw
