// How long a WAV file plays, from its bytes: the one measure every front end holds the game
// for, so that a hold lasts as long live, headless and in the page.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "base/millis.h"

namespace cw {

// Whole milliseconds, rounded up; nothing when it is not a PCM or float WAV we can play.
inline std::optional<Millis> wavLengthOf(std::string_view bytes) {
  const auto at = [&](std::size_t offset, std::size_t size) {
    return offset <= bytes.size() && size <= bytes.size() - offset;
  };
  const auto byte = [&](std::size_t offset) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[offset]));
  };
  const auto le16 = [&](std::size_t p) { return byte(p) | byte(p + 1) << 8; };
  const auto le32 = [&](std::size_t p) { return le16(p) | le16(p + 2) << 16; };
  if (!at(0, 12) || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE")
    return std::nullopt;
  std::uint32_t byteRate = 0;
  std::uint32_t format = 0;
  bool haveFormat = false;
  std::size_t pos = 12;
  for (int chunks = 0; chunks < 64; ++chunks) {
    if (!at(pos, 8)) return std::nullopt;
    const std::string_view id = bytes.substr(pos, 4);
    const std::uint32_t size = le32(pos + 4);
    pos += 8;
    if (id == "fmt ") {
      if (size < 16 || !at(pos, 16)) return std::nullopt;
      format = le16(pos);
      byteRate = le32(pos + 8);
      haveFormat = true;
    } else if (id == "data") {
      // Only plain PCM and float are played; a data chunk before its format is malformed.
      if (!haveFormat || byteRate == 0 || (format != 1 && format != 3)) return std::nullopt;
      const std::uint64_t available = bytes.size() - pos;
      // A truncated file plays what it has.
      const std::uint64_t played = size < available ? size : available;
      if (played == 0) return std::nullopt;
      return static_cast<Millis>((played * 1000 + byteRate - 1) / byteRate);
    }
    pos += static_cast<std::size_t>(size) + (size & 1);
  }
  return std::nullopt;
}

}  // namespace cw
