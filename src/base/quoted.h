// A word from the user, fit to repeat in a one-line message: in single quotes, its control
// characters, bytes past ASCII, backslash and quote escaped, and cut after `limit` bytes so
// that a huge word does not make a huge line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace cw {

inline std::string quoted(std::string_view word, std::size_t limit = 40) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "'";
  for (std::size_t i = 0; i < word.size() && i < limit; ++i) {
    const unsigned char c = static_cast<unsigned char>(word[i]);
    if (c == '\\' || c == '\'') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c < 0x20 || c >= 0x7f) {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '\'';
  if (word.size() > limit) out += "...";
  return out;
}

}  // namespace cw
