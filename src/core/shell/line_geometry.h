// The crate line's geometry, named once: the steps a crate travels (members of the segment
// group Blocco), where each worker takes a crate over, the truck's places and the workers'
// poses (members of the groups Bepo and Nando). tests/scenarios/gen_long_games.py reads its
// numbers from this file too.
#pragma once

#include <array>

namespace cw {

// ---------------------------------------------------------------- steps

inline constexpr int kEntryStep = 0;  // a crate's step before it enters, and a free slot's
inline constexpr int kLastStep = 49;  // the last step on the belts; the next is the truck

// The hand-over steps, bottom to top: a crate there is lifted by the worker standing at the
// level of the same index, or breaks.
inline constexpr std::array<int, 3> kBepoHandovers{3, 21, 39};
inline constexpr std::array<int, 3> kNandoHandovers{12, 30, 48};

constexpr bool isBepoHandover(int step) {
  return step == kBepoHandovers[0] || step == kBepoHandovers[1] || step == kBepoHandovers[2];
}
constexpr bool isNandoHandover(int step) {
  return step == kNandoHandovers[0] || step == kNandoHandovers[1] || step == kNandoHandovers[2];
}

// A crate on one of these steps holds back every launch: it is three steps short of Bepo's
// middle or top hand-over, as a new crate is three steps short of his bottom one.
inline constexpr int kBlockingSteps[] = {18, 36};
constexpr bool isBlockingStep(int step) {
  return step == kBlockingSteps[0] || step == kBlockingSteps[1];
}

// The belt ends, cleared of crates when the line starts again after a miss or a break: the
// top belt past this step, and the bottom belt before this one.
inline constexpr int kTopBeltEndAfter = 43;
inline constexpr int kBottomBeltEndBefore = 5;

// ---------------------------------------------------------------- the truck

// Crates go onto the truck at its mouth, alternately the left column and the right one, and
// slide down from there; the truck's places are Blocco members 50 to 59.
inline constexpr int kTruckLeftMouth = 50;
inline constexpr int kTruckColumnStep = 5;  // from the left mouth to the right one
inline constexpr int kTruckLastPlace = 59;
inline constexpr int kTruckFull = 8;        // crates; the slide that finds them starts the break
inline constexpr int kTruckDriverFrom = 6;  // crates from which the driver waits, engine running
// The crates the break scene drives away with the truck.
inline constexpr int kTruckFirstLoaded = 51;
inline constexpr int kTruckLastLoaded = 58;

// ---------------------------------------------------------------- poses

// The levels a worker stands at, bottom to top, are the poses 1, 3 and 5; the pose after each
// (2, 4, 6) is the same level with a crate lifted.
inline constexpr int kBottomLevel = 1;
inline constexpr int kMiddleLevel = 3;
inline constexpr int kTopLevel = 5;
inline constexpr int kLevelStep = 2;  // from one level to the next
constexpr bool isLifted(int pose) {
  return pose == kBottomLevel + 1 || pose == kMiddleLevel + 1 || pose == kTopLevel + 1;
}
// The level each hand-over step of the same index asks for.
inline constexpr std::array<int, 3> kHandoverLevels{kBottomLevel, kMiddleLevel, kTopLevel};

// Where each worker starts a game and comes back to after a break.
inline constexpr int kBepoStartPose = kMiddleLevel;
inline constexpr int kNandoStartPose = kBottomLevel;

inline constexpr int kRestPose = 7;   // 7 and 8: resting, in turn, during the break scene
inline constexpr int kScoldPose = 9;  // 9 and 10: scolded, in turn
inline constexpr int kLastPose = 10;

}  // namespace cw
