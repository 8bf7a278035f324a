#include "live/frame_state.h"

#include <algorithm>

namespace cw {
namespace {

constexpr Group kMouseSegments[] = {Group::ButtonA, Group::ButtonB, Group::ButtonTime, Group::ACL};

bool inside(const SegmentInfo& s, int x, int y) {
  return x >= s.x && x < s.x + s.w && y >= s.y && y < s.y + s.h;
}

}  // namespace

int pictureSetFor(double scale) {
  for (int set : kPictureSets)
    if (set >= scale - 1e-9) return set;
  return kPictureSets.back();
}

std::string pictureSetDir(const std::string& assetsDir, int set) {
  return set == 1 ? assetsDir : assetsDir + "/" + std::to_string(set) + "x";
}

FrameState FrameState::of(const Display& display) {
  FrameState f;
  for (int i = 0; i < kSegmentCount; ++i)
    f.picture[i] = static_cast<std::int16_t>(display.shownAt(i) ? display.pictureSource(i) : -1);
  return f;
}

std::vector<Rect> differences(const FrameState& a, const FrameState& b) {
  // Beyond this many, one rectangle around them all costs less than drawing each.
  constexpr std::size_t kMostRects = 12;
  std::vector<Rect> rects;
  const auto all = segments();
  for (int i = 0; i < kSegmentCount; ++i) {
    if (a.picture[i] == b.picture[i]) continue;
    for (int source : {a.picture[i], b.picture[i]}) {
      if (source >= 0) rects.push_back({all[i].x, all[i].y, all[source].w, all[source].h});
    }
  }
  if (rects.size() > kMostRects) {
    int left = rects[0].x, top = rects[0].y, right = left, bottom = top;
    for (const Rect& r : rects) {
      left = std::min(left, r.x);
      top = std::min(top, r.y);
      right = std::max(right, r.x + r.w);
      bottom = std::max(bottom, r.y + r.h);
    }
    rects.assign(1, Rect{left, top, right - left, bottom - top});
  }
  return rects;
}

std::optional<Group> mouseSegmentAt(const Display& display, int x, int y) {
  // The buttons do not overlap; the last one drawn would win if they did.
  std::optional<Group> hit;
  for (Group g : kMouseSegments) {
    const int i = segmentIndex(g, 0);
    if (display.shownAt(i) && inside(segments()[i], x, y)) hit = g;
  }
  return hit;
}

bool onCasingButton(int x, int y) {
  for (Group g : kMouseSegments)
    if (inside(segments()[segmentIndex(g, 0)], x, y)) return true;
  return false;
}

}  // namespace cw
