// The one way either program says something on its standard error: one line, after the
// program's name ("crateworks: no sound device ..."), so that a player who reads it knows who
// speaks.
#pragma once

#include <string_view>

namespace cw {

// The name every message starts with; set once, first thing in main().
void setProgramName(std::string_view name);
std::string_view programName();

// Writes "NAME: MESSAGE" and a line end. A message of several lines takes the name on its
// first only.
void report(std::string_view message);

}  // namespace cw
