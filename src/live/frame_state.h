// What the game window shows, as every front end draws it: which picture each segment shows,
// where two such pictures differ, which picture set suits a scale, and which casing button a
// point lies on.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/display/display.h"
#include "live/view_layout.h"

namespace cw {

// What the window shows, kept apart from the live display so that the last picture presented
// can be drawn again (after an expose) while the core is in the middle of a hold.
struct FrameState {
  // Per segment, in drawing order: the index of the segment whose picture it shows, or -1 when
  // it is hidden.
  std::array<std::int16_t, kSegmentCount> picture{};
  static FrameState of(const Display& display);
  bool operator==(const FrameState&) const = default;
};

// The sets of pictures there are: assets/ holds 1x, assets/2x/ and assets/3x/ the larger ones.
inline constexpr std::array<int, 3> kPictureSets{1, 2, 3};
// The set to draw at `scale` from: the smallest no smaller than it, else the largest.
int pictureSetFor(double scale);
// The folder of a set under the assets folder.
std::string pictureSetDir(const std::string& assetsDir, int set);

// Where two pictures differ, in logical coordinates: the place of each segment's old and new
// picture, or when that makes many rectangles, the one that holds them all.
std::vector<Rect> differences(const FrameState& a, const FrameState& b);

// The casing buttons that take the mouse: ButtonA, ButtonB, ButtonTime and ACL, where shown.
// (x, y) is a logical point.
std::optional<Group> mouseSegmentAt(const Display& display, int x, int y);
// Whether logical (x, y) lies on one of those four buttons, shown or not: the window is dragged
// by everything else.
bool onCasingButton(int x, int y);

}  // namespace cw
