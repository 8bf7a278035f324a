#include "live/resample.h"

#include <algorithm>
#include <cmath>

namespace cw {
namespace {

// The Mitchell-Netravali cubic with B = C = 1/3: sharp, with little ringing.
double mitchell(double x) {
  constexpr double B = 1.0 / 3, C = 1.0 / 3;
  x = std::fabs(x);
  if (x < 1)
    return ((12 - 9 * B - 6 * C) * x * x * x + (-18 + 12 * B + 6 * C) * x * x + (6 - 2 * B)) / 6;
  if (x < 2)
    return ((-B - 6 * C) * x * x * x + (6 * B + 30 * C) * x * x + (-12 * B - 48 * C) * x +
            (8 * B + 24 * C)) /
           6;
  return 0;
}

// For each output pixel along one axis, the source pixels it takes and their weights.
struct Taps {
  int first = 0;
  std::vector<float> weight;
};

std::vector<Taps> tapsFor(int from, int to) {
  const double scale = static_cast<double>(to) / from;
  const double stretch = std::min(1.0, scale);  // the kernel widens by 1/scale when shrinking
  const double support = 2 / stretch;
  std::vector<Taps> out(to);
  for (int i = 0; i < to; ++i) {
    const double centre = (i + 0.5) / scale - 0.5;
    const int first = static_cast<int>(std::ceil(centre - support));
    const int last = static_cast<int>(std::floor(centre + support));
    Taps& t = out[i];
    t.first = std::clamp(first, 0, from - 1);
    t.weight.assign(std::clamp(last, 0, from - 1) - t.first + 1, 0.0f);
    double sum = 0;
    for (int j = first; j <= last; ++j) {
      const double w = mitchell((j - centre) * stretch);
      t.weight[std::clamp(j, 0, from - 1) - t.first] += static_cast<float>(w);  // edges repeat
      sum += w;
    }
    for (float& w : t.weight) w = static_cast<float>(w / sum);
  }
  return out;
}

// Source row y filtered across into `dst` (w premultiplied RGBA floats).
void across(const PixelRows& in, int y, const std::vector<Taps>& taps, std::vector<float>& row,
            float* dst) {
  const std::uint8_t* src = in.data + static_cast<std::ptrdiff_t>(y) * in.pitch;
  for (int x = 0; x < in.w; ++x) {
    const float a = src[4 * x + 3] / 255.0f;
    row[4 * x] = src[4 * x] * a;
    row[4 * x + 1] = src[4 * x + 1] * a;
    row[4 * x + 2] = src[4 * x + 2] * a;
    row[4 * x + 3] = src[4 * x + 3];
  }
  for (std::size_t x = 0; x < taps.size(); ++x) {
    const Taps& t = taps[x];
    float acc[4] = {0, 0, 0, 0};
    for (std::size_t k = 0; k < t.weight.size(); ++k) {
      const float* p = &row[(t.first + k) * 4];
      for (int c = 0; c < 4; ++c) acc[c] += p[c] * t.weight[k];
    }
    std::copy(acc, acc + 4, dst + 4 * x);
  }
}

}  // namespace

void resample(const PixelRows& in, std::uint8_t* out, int outW, int outH, int outPitch) {
  const std::vector<Taps> cols = tapsFor(in.w, outW), rows = tapsFor(in.h, outH);
  std::size_t span = 1;
  for (const Taps& t : rows) span = std::max(span, t.weight.size());
  // The source rows filtered across, kept in a ring as the output rows move down the source.
  const std::size_t width = static_cast<std::size_t>(outW) * 4;
  std::vector<float> ring(span * width), acc(width), row(static_cast<std::size_t>(in.w) * 4);
  std::vector<int> held(span, -1);  // which source row each ring slot holds
  for (int y = 0; y < outH; ++y) {
    const Taps& t = rows[y];
    std::fill(acc.begin(), acc.end(), 0.0f);
    for (std::size_t k = 0; k < t.weight.size(); ++k) {
      const int source = t.first + static_cast<int>(k);
      const std::size_t slot = static_cast<std::size_t>(source) % span;
      if (held[slot] != source) {
        across(in, source, cols, row, &ring[slot * width]);
        held[slot] = source;
      }
      const float* src = &ring[slot * width];
      const float wk = t.weight[k];
      for (std::size_t i = 0; i < width; ++i) acc[i] += src[i] * wk;
    }
    std::uint8_t* dst = out + static_cast<std::ptrdiff_t>(y) * outPitch;
    for (int x = 0; x < outW; ++x) {  // back to straight alpha
      const float a = std::clamp(acc[4 * x + 3], 0.0f, 255.0f);
      dst[4 * x + 3] = static_cast<std::uint8_t>(a + 0.5f);
      for (int c = 0; c < 3; ++c) {
        const float v = a > 0 ? acc[4 * x + c] / (a / 255.0f) : 0.0f;
        dst[4 * x + c] = static_cast<std::uint8_t>(std::clamp(v, 0.0f, 255.0f) + 0.5f);
      }
    }
  }
}

Picture resample(const Picture& in, int w, int h) {
  Picture out{w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w) * h * 4)};
  resample(PixelRows{in.w, in.h, in.w * 4, in.rgba.data()}, out.rgba.data(), w, h, w * 4);
  return out;
}

}  // namespace cw
