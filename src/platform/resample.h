// Pictures resized with a good filter, for drawing the device at scales that have no pictures
// of their own: each picture is resized once, when it is loaded, never while drawing.
#pragma once

#include <cstdint>
#include <vector>

namespace cw {

// 8-bit RGBA, straight (not premultiplied) alpha, rows without padding.
struct Picture {
  int w = 0, h = 0;
  std::vector<std::uint8_t> rgba;
};

// `in` resized to w x h (each at least 1) with a Mitchell-Netravali filter, widened when
// shrinking so that every source pixel counts. Colours are weighted by their alpha, so that
// transparent pixels lend no colour to the edges of what is drawn.
Picture resample(const Picture& in, int w, int h);

}  // namespace cw
