// Windows speaks UTF-16 in its wide calls, which are the only ones that reach every file name;
// the programs keep paths and text as UTF-8 and convert at each call.
#pragma once

#include <string>
#include <string_view>

namespace cw {

std::wstring toUtf16(std::string_view utf8);
std::string toUtf8(std::wstring_view utf16);

// The system's own words for an error code (GetLastError's), in the user's language, without
// the full stop and line end it ends with.
std::string systemMessage(unsigned long error);

}  // namespace cw
