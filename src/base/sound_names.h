// The four sounds, named as the game names them: paths relative to the data folder, with
// backslashes and the case the game writes (the host finds them without regard to either).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/millis.h"

namespace cw {

inline constexpr const char* kSoundMove = "audio\\move.wav";
inline constexpr const char* kSoundDead = "audio\\dead.wav";
inline constexpr const char* kSoundEnemy = "Audio\\Enemy.wav";
inline constexpr const char* kSoundPoints = "Audio\\Points.wav";
inline constexpr const char* kAllSounds[] = {kSoundMove, kSoundDead, kSoundEnemy, kSoundPoints};

// Whether two names name the same sound, as the host finds them: without regard to case, and
// with '/' and '\\' alike.
constexpr bool sameSoundName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  auto fold = [](char c) {
    if (c == '/') return '\\';
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  };
  for (std::size_t i = 0; i < a.size(); ++i)
    if (fold(a[i]) != fold(b[i])) return false;
  return true;
}

// Holds told by a script or a recording ("soundlength"), which stand in for the files' own
// lengths: the first told for a name counts, wherever the game is played.
class ToldHolds {
 public:
  void tell(std::string_view name, Millis ms) { holds_.emplace_back(name, ms); }
  std::optional<Millis> find(std::string_view name) const {
    for (const auto& [n, ms] : holds_)
      if (sameSoundName(n, name)) return ms;
    return std::nullopt;
  }

 private:
  std::vector<std::pair<std::string, Millis>> holds_;
};

// Sound flags as the game uses them.
inline constexpr int kSoundWait = 2;   // play to the end, holding the window meanwhile
inline constexpr int kSoundAsync = 3;  // start at once, cutting off what still plays

}  // namespace cw
