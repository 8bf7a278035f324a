// The four sounds, named as the game names them: paths relative to the data folder, with
// backslashes and the case the game writes (the host finds them without regard to either).
#pragma once

namespace cw {

inline constexpr const char* kSoundMove = "audio\\move.wav";
inline constexpr const char* kSoundDead = "audio\\dead.wav";
inline constexpr const char* kSoundEnemy = "Audio\\Enemy.wav";
inline constexpr const char* kSoundPoints = "Audio\\Points.wav";
inline constexpr const char* kAllSounds[] = {kSoundMove, kSoundDead, kSoundEnemy, kSoundPoints};

// Sound flags as the game uses them.
inline constexpr int kSoundWait = 2;   // play to the end, holding the window meanwhile
inline constexpr int kSoundAsync = 3;  // start at once, cutting off what still plays

}  // namespace cw
