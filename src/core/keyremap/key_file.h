// The key file: four lines, each one decimal virtual-key code (Nando up, Nando down, Bepo up,
// Bepo down), written with CR LF.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace cw {

class KeyFilePort;

using KeySet = std::array<int, 4>;

// The four codes, or nothing when the text does not hold four whole numbers 0..65535 on its
// first four lines (LF or CR LF, blanks around a number allowed). Anything after them is
// ignored.
std::optional<KeySet> parseKeyFile(std::string_view text);
std::string formatKeyFile(const KeySet& keys);
// Key codes are compared as the 16-bit values the key file and the keyboard deliver.
inline bool sameKey(int a, int b) {
  return (a & 0xFFFF) == (b & 0xFFFF);
}
// The keys in `store`, as the game takes them: nothing when it is missing or malformed.
std::optional<KeySet> keysIn(KeyFilePort& store);

}  // namespace cw
