// Pictures resized with a good filter, for drawing the device at scales that have no pictures
// of their own: each picture is resized once, when it is loaded, never while drawing.
#pragma once

#include <cstdint>
#include <vector>

namespace cw {

// Rows of 8-bit RGBA pixels, straight (not premultiplied) alpha, `pitch` bytes apart.
struct PixelRows {
  int w = 0, h = 0;
  int pitch = 0;
  const std::uint8_t* data = nullptr;
};

// Resizes `in` into `out` (out.w x out.h pixels, rows `outPitch` bytes apart) with a
// Mitchell-Netravali filter, widened when shrinking so that every source pixel counts. Colours
// are weighted by their alpha, so that transparent pixels lend no colour to the edges of what
// is drawn. Works through a few rows at a time: a large picture needs little more memory than
// itself and its result.
void resample(const PixelRows& in, std::uint8_t* out, int outW, int outH, int outPitch);

// The same for a picture held whole.
struct Picture {
  int w = 0, h = 0;
  std::vector<std::uint8_t> rgba;  // rows without padding
};
Picture resample(const Picture& in, int w, int h);

}  // namespace cw
