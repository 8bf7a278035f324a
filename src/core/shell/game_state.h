// The game state record: every field the handlers share, under its own name.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/keyremap/key_file.h"

namespace cw {

// Fields start at 0 or empty text, as the window's load leaves those it does not set.
// Score and ShownScore have no upper bound in play, hence 64 bits.
struct GameState {
  // Game control
  int GameRunning = 0;
  std::string GameMode;
  int MovesLocked = 0;
  int LinePaused = 0;
  int BreakAllowed = 0;
  // Movement keys (virtual-key codes)
  int KeyNandoUp = 0;
  int KeyNandoDown = 0;
  int KeyBepoUp = 0;
  int KeyBepoDown = 0;
  // Crate line
  int CrateCount = 0;
  std::array<int, 7> CrateActive{};
  std::array<int, 7> CratePos{};
  std::array<int, 49> HandoverLevel{};
  int SpawnRange = 0;
  int SpawnRoll = 0;
  int ClearCount = 0;
  int LoopIndex = 0;
  // Truck and break scene
  int TruckLoad = 0;
  int LoadSegment = 0;
  int SlideSteps = 0;
  int SlideCount = 0;
  int ExhaustOn = 0;
  int ExhaustFrame = 0;
  int SceneStep = 0;
  int RestFrame = 0;
  int SceneLoopIndex = 0;
  // Workers, misses and scolding
  int BepoPose = 0;
  int NandoPose = 0;
  int BepoHand = 0;
  int NandoHand = 0;
  int Misses = 0;
  int ScoldTicks = 0;
  int BepoScoldFrame = 0;
  int NandoScoldFrame = 0;
  int BossPose = 0;
  // Score and readout
  std::int64_t Score = 0;
  std::int64_t ShownScore = 0;
  int AwardAmount = 0;
  int PointMultiplier = 0;
  int PointSoundTick = 0;
  int HundredsDigit = 0;
  int TensDigit = 0;
  int UnitsDigit = 0;
  // Clock
  int ClockDelay = 0;
  std::string ClockText;
  int ClockTextLength = 0;
  int ClockParseState = 0;
  int ClockCharIndex = 0;
  std::string ClockHour;
  int ClockMinuteStart = 0;
  std::string ClockMinute;
};

// The four movement keys, Nando's up and down then Bepo's, as the key file lists them.
inline KeySet movementKeys(const GameState& s) {
  return {s.KeyNandoUp, s.KeyNandoDown, s.KeyBepoUp, s.KeyBepoDown};
}

}  // namespace cw
