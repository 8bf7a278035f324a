// The shipped pictures and sounds against the layout table and the sound rules: every
// picture has its place's size and is 8-bit RGBA, the blank picture shows nothing, LCD
// segments are dark ink on transparency, the casing shows each key pressed under its
// segment, the 2x and 3x sets hold every picture at their scale, and the four sounds are
// short mono 16-bit PCM without clicks or clipping.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/display/layout.h"

namespace {

const std::string kAssets = CW_SOURCE_DIR "/assets/";
const std::string kAudio = CW_SOURCE_DIR "/audio/";

std::vector<std::uint8_t> readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t be32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}
std::uint32_t le32(const std::uint8_t* p) {
  return std::uint32_t(p[3]) << 24 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[1]) << 8 | p[0];
}
std::uint16_t le16(const std::uint8_t* p) {
  return std::uint16_t(p[1] << 8 | p[0]);
}

// --- A small inflate (RFC 1951), enough to read the PNGs' pixels. ---
class Inflater {
 public:
  explicit Inflater(const std::vector<std::uint8_t>& z) : in_(z) {}

  std::vector<std::uint8_t> run() {
    if (in_.size() < 2 || (in_[0] & 0x0f) != 8) throw std::runtime_error("not a zlib stream");
    pos_ = 2;
    int last = 0;
    while (!last) {
      last = bits(1);
      int type = bits(2);
      if (type == 0)
        stored();
      else if (type == 1)
        fixedBlock();
      else if (type == 2)
        dynamicBlock();
      else
        throw std::runtime_error("bad deflate block");
    }
    return out_;
  }

 private:
  struct Huffman {
    std::array<short, 16> count{};
    std::vector<short> symbol;
  };

  int bits(int need) {
    std::uint64_t val = bitbuf_;
    while (bitcnt_ < need) {
      if (pos_ >= in_.size()) throw std::runtime_error("deflate data ends early");
      val |= std::uint64_t(in_[pos_++]) << bitcnt_;
      bitcnt_ += 8;
    }
    bitbuf_ = val >> need;
    bitcnt_ -= need;
    return int(val & ((1ull << need) - 1));
  }

  static Huffman build(const short* lengths, int n) {
    Huffman h;
    h.symbol.assign(n, 0);
    for (int i = 0; i < n; ++i) h.count[lengths[i]]++;
    h.count[0] = 0;
    std::array<short, 16> offs{};
    for (int len = 1; len < 15; ++len) offs[len + 1] = short(offs[len] + h.count[len]);
    for (int i = 0; i < n; ++i)
      if (lengths[i]) h.symbol[offs[lengths[i]]++] = short(i);
    return h;
  }

  int decode(const Huffman& h) {
    int code = 0, first = 0, index = 0;
    for (int len = 1; len <= 15; ++len) {
      code |= bits(1);
      int count = h.count[len];
      if (code - count < first) return h.symbol[index + (code - first)];
      index += count;
      first = (first + count) << 1;
      code <<= 1;
    }
    throw std::runtime_error("bad Huffman code");
  }

  void stored() {
    bitbuf_ = 0;
    bitcnt_ = 0;
    if (pos_ + 4 > in_.size()) throw std::runtime_error("stored block ends early");
    unsigned len = le16(&in_[pos_]);
    pos_ += 4;
    if (pos_ + len > in_.size()) throw std::runtime_error("stored block ends early");
    out_.insert(out_.end(), in_.begin() + long(pos_), in_.begin() + long(pos_ + len));
    pos_ += len;
  }

  void codes(const Huffman& lens, const Huffman& dists) {
    static const short kLBase[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                     15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                     67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const short kLExt[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                    2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    static const short kDBase[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                     33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                     1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
    static const short kDExt[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                    6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
    for (;;) {
      int sym = decode(lens);
      if (sym < 256) {
        out_.push_back(std::uint8_t(sym));
      } else if (sym == 256) {
        return;
      } else {
        sym -= 257;
        if (sym >= 29) throw std::runtime_error("bad length symbol");
        int len = kLBase[sym] + bits(kLExt[sym]);
        int d = decode(dists);
        if (d >= 30) throw std::runtime_error("bad distance symbol");
        std::size_t dist = std::size_t(kDBase[d] + bits(kDExt[d]));
        if (dist > out_.size()) throw std::runtime_error("distance too far back");
        for (int i = 0; i < len; ++i) out_.push_back(out_[out_.size() - dist]);
      }
    }
  }

  void fixedBlock() {
    short l[288], d[30];
    for (int i = 0; i < 288; ++i) l[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
    for (short& v : d) v = 5;
    codes(build(l, 288), build(d, 30));
  }

  void dynamicBlock() {
    static const short kOrder[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                     11, 4,  12, 3, 13, 2, 14, 1, 15};
    int nlen = bits(5) + 257, ndist = bits(5) + 1, ncode = bits(4) + 4;
    short lengths[320] = {};
    for (int i = 0; i < ncode; ++i) lengths[kOrder[i]] = short(bits(3));
    Huffman lencode = build(lengths, 19);
    std::fill(std::begin(lengths), std::end(lengths), 0);
    for (int i = 0; i < nlen + ndist;) {
      int sym = decode(lencode);
      if (sym < 16) {
        lengths[i++] = short(sym);
        continue;
      }
      short value = 0;
      int repeat;
      if (sym == 16) {
        if (i == 0) throw std::runtime_error("repeat with no previous length");
        value = lengths[i - 1];
        repeat = 3 + bits(2);
      } else if (sym == 17) {
        repeat = 3 + bits(3);
      } else {
        repeat = 11 + bits(7);
      }
      if (i + repeat > nlen + ndist) throw std::runtime_error("too many lengths");
      while (repeat--) lengths[i++] = value;
    }
    codes(build(lengths, nlen), build(lengths + nlen, ndist));
  }

  const std::vector<std::uint8_t>& in_;
  std::size_t pos_ = 0;
  std::uint64_t bitbuf_ = 0;
  int bitcnt_ = 0;
  std::vector<std::uint8_t> out_;
};

struct Png {
  int width = 0, height = 0, depth = 0, colour = 0, interlace = 0;
  std::vector<std::uint8_t> rgba;  // filled by decode(), 8-bit RGBA only

  const std::uint8_t* at(int x, int y) const { return &rgba[(std::size_t(y) * width + x) * 4]; }
};

// Header only: width and height from IHDR.
Png readHeader(const std::string& path, std::vector<std::uint8_t>* idat = nullptr) {
  static const std::uint8_t kSig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
  std::vector<std::uint8_t> f = readFile(path);
  if (f.size() < 33 || !std::equal(kSig, kSig + 8, f.begin()))
    throw std::runtime_error(path + " is not a PNG");
  Png png;
  for (std::size_t p = 8; p + 8 <= f.size();) {
    std::uint32_t len = be32(&f[p]);
    std::string type(f.begin() + long(p + 4), f.begin() + long(p + 8));
    if (p + 12 + len > f.size()) throw std::runtime_error(path + ": chunk runs past the end");
    const std::uint8_t* data = &f[p + 8];
    if (type == "IHDR") {
      png.width = int(be32(data));
      png.height = int(be32(data + 4));
      png.depth = data[8];
      png.colour = data[9];
      png.interlace = data[12];
      if (!idat) return png;
    } else if (type == "IDAT" && idat) {
      idat->insert(idat->end(), data, data + len);
    } else if (type == "IEND") {
      break;
    }
    p += 12 + len;
  }
  if (png.width == 0) throw std::runtime_error(path + " has no IHDR");
  return png;
}

Png decode(const std::string& path) {
  std::vector<std::uint8_t> z;
  Png png = readHeader(path, &z);
  if (png.depth != 8 || png.colour != 6 || png.interlace != 0)
    throw std::runtime_error(path + " is not plain 8-bit RGBA");
  std::vector<std::uint8_t> raw = Inflater(z).run();
  const std::size_t stride = std::size_t(png.width) * 4;
  if (raw.size() != (stride + 1) * std::size_t(png.height))
    throw std::runtime_error(path + ": pixel data has the wrong length");
  png.rgba.assign(stride * std::size_t(png.height), 0);
  for (int y = 0; y < png.height; ++y) {
    const std::uint8_t filter = raw[y * (stride + 1)];
    const std::uint8_t* src = &raw[y * (stride + 1) + 1];
    std::uint8_t* row = &png.rgba[y * stride];
    const std::uint8_t* up = y ? row - stride : nullptr;
    for (std::size_t i = 0; i < stride; ++i) {
      int a = i >= 4 ? row[i - 4] : 0, b = up ? up[i] : 0, c = (up && i >= 4) ? up[i - 4] : 0;
      int pred = 0;
      switch (filter) {
        case 0:
          break;
        case 1:
          pred = a;
          break;
        case 2:
          pred = b;
          break;
        case 3:
          pred = (a + b) / 2;
          break;
        case 4: {
          int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
          pred = (pa <= pb && pa <= pc) ? a : pb <= pc ? b : c;
          break;
        }
        default:
          throw std::runtime_error(path + ": bad filter type");
      }
      row[i] = std::uint8_t(src[i] + pred);
    }
  }
  return png;
}

double luma(const std::uint8_t* p) {
  return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
}

bool isLcdInk(cw::Group g) {
  using G = cw::Group;
  return g != G::ButtonA && g != G::ButtonB && g != G::ButtonTime && g != G::ACL;
}

// Pictures whose ink is a figure or a mark, drawn on transparency (the crates fill their place).
bool isOpenDrawing(cw::Group g) {
  using G = cw::Group;
  return g == G::Bepo || g == G::Nando || g == G::CapoBepo || g == G::CapoNando || g == G::Omino ||
         g == G::Fumo || g == G::Fumo2 || g == G::Crash1 || g == G::Crash2 || g == G::Crash3 ||
         g == G::Vita || g == G::IMGameA || g == G::IMGameB || g == G::Punti || g == G::duepunti ||
         g == G::Camion;
}

// --- Pictures ---

TEST(AssetPictures, EverySegmentPictureHasItsPlacesSizeAndIsRgba) {
  for (const cw::SegmentInfo& s : cw::segments()) {
    const std::string name(s.picture);
    SCOPED_TRACE(name);
    Png png = readHeader(kAssets + name);
    EXPECT_EQ(png.width, s.w);
    EXPECT_EQ(png.height, s.h);
    EXPECT_EQ(png.depth, 8);
    EXPECT_EQ(png.colour, 6) << "colour type 6 is RGBA";
  }
}

TEST(AssetPictures, CasingAndIconsHaveTheirSizes) {
  const std::map<std::string, std::pair<int, int>> sizes = {
      {std::string(cw::kCasingPicture), {cw::kCasingWidth, cw::kCasingHeight}},
      {std::string(cw::kWindowIcon), {48, 64}},
      {std::string(cw::kDialogIcon), {15, 26}},
  };
  for (const auto& [name, size] : sizes) {
    SCOPED_TRACE(name);
    Png png = readHeader(kAssets + name);
    EXPECT_EQ(png.width, size.first);
    EXPECT_EQ(png.height, size.second);
    EXPECT_EQ(png.colour, 6);
  }
}

// The larger sets the front end draws from when it shows the device larger: each picture
// exactly N times its 1x size (the front end refuses any other), in any PNG colour type.
TEST(AssetPictures, TheLargerSetsHoldEveryPictureAtExactlyTheirScale) {
  for (int scale : {2, 3}) {
    const std::string dir = kAssets + std::to_string(scale) + "x/";
    SCOPED_TRACE(dir);
    std::map<std::string, std::pair<int, int>> sizes = {
        {std::string(cw::kCasingPicture), {cw::kCasingWidth, cw::kCasingHeight}}};
    for (const cw::SegmentInfo& s : cw::segments()) sizes[std::string(s.picture)] = {s.w, s.h};
    for (const auto& [name, size] : sizes) {
      Png png = readHeader(dir + name);
      EXPECT_EQ(png.width, size.first * scale) << name;
      EXPECT_EQ(png.height, size.second * scale) << name;
    }
  }
}

TEST(AssetPictures, BlankPictureIsFullyTransparent) {
  Png png = decode(kAssets + std::string(cw::kBlankPicture));
  for (int y = 0; y < png.height; ++y)
    for (int x = 0; x < png.width; ++x) ASSERT_EQ(png.at(x, y)[3], 0) << x << "," << y;
}

TEST(AssetPictures, EveryOtherPictureDepictsSomethingInDarkInk) {
  std::set<std::string> seen;
  for (const cw::SegmentInfo& s : cw::segments()) {
    const std::string name(s.picture);
    if (name == cw::kBlankPicture || !seen.insert(name).second) continue;
    SCOPED_TRACE(name);
    Png png = decode(kAssets + name);
    int solid = 0, clear = 0, darkSolid = 0;
    for (int y = 0; y < png.height; ++y) {
      for (int x = 0; x < png.width; ++x) {
        const std::uint8_t* p = png.at(x, y);
        if (p[3] < 48) ++clear;  // the faint drop shadow counts as clear
        if (p[3] >= 200) {
          ++solid;
          if (luma(p) < 70) ++darkSolid;
        }
      }
    }
    const int area = png.width * png.height;
    EXPECT_GT(solid, area / 20) << "too little is drawn";
    if (isLcdInk(s.group)) {
      EXPECT_GE(darkSolid, solid * 9 / 10) << "LCD ink must be near black";
    }
    if (isOpenDrawing(s.group)) {
      EXPECT_GE(clear, area / 4) << "should be transparent around it";
    }
  }
}

// The window shows the casing's top left kWindowWidth x kWindowHeight and takes the shell's
// shape from its transparency: in every set the shell's whole outline lies inside that
// rectangle (nothing beyond it is drawn, or the window would cut it), the shell is opaque, and
// its rounded corners and the gap between its halves are clear.
TEST(AssetPictures, TheShellLiesWithinTheWindowOpaqueWithClearCornersAndGap) {
  for (int k = 1; k <= 3; ++k) {
    SCOPED_TRACE(k);
    const std::string dir = k == 1 ? kAssets : kAssets + std::to_string(k) + "x/";
    const Png casing = decode(dir + std::string(cw::kCasingPicture));
    const int w = cw::kWindowWidth * k, h = cw::kWindowHeight * k;
    const auto alpha = [&](int x, int y) { return casing.at(x, y)[3]; };
    for (int y = 0; y < casing.height; ++y)
      for (int x = y < h ? w : 0; x < casing.width; ++x) ASSERT_EQ(alpha(x, y), 0) << x << "," << y;
    for (auto [x, y] : {std::pair{0, 0},
                        {w - 1, 0},
                        {0, h - 1},
                        {w - 1, h - 1},
                        {402 * k, 10 * k},
                        {402 * k, 156 * k},
                        {402 * k, h - 10 * k}})
      EXPECT_EQ(alpha(x, y), 0) << x << "," << y;
    // Each half, less its rounded corners and its rim's outer pixels.
    for (int left : {0, 404}) {
      const int right = left == 0 ? 400 : 801;
      for (int y = 2 * k; y < h - 2 * k; ++y) {
        const bool inCornerRows = y < 21 * k || y >= h - 21 * k;
        const int x0 = (left + (inCornerRows ? 21 : 2)) * k;
        const int x1 = (right - (inCornerRows ? 21 : 2)) * k;
        for (int x = x0; x < x1; ++x) ASSERT_EQ(alpha(x, y), 255) << x << "," << y;
      }
    }
  }
}

TEST(AssetPictures, CasingShowsEachKeyPressedUnderItsSegment) {
  Png casing = decode(kAssets + std::string(cw::kCasingPicture));

  using G = cw::Group;
  for (G g : {G::ButtonA, G::ButtonB, G::ButtonTime, G::ACL}) {
    const cw::SegmentInfo& s = cw::segments()[cw::segmentIndex(g, 0)];
    SCOPED_TRACE(std::string(cw::groupInfo(g).name));
    Png raised = decode(kAssets + std::string(s.picture));
    double up = 0, down = 0;
    int n = 0;
    // Compare the middle of the key, where the key top is.
    for (int y = s.h / 4; y < s.h * 3 / 4; ++y) {
      for (int x = s.w / 4; x < s.w * 3 / 4; ++x) {
        ASSERT_EQ(raised.at(x, y)[3], 255) << "the raised key must hide the pressed one";
        up += luma(raised.at(x, y));
        down += luma(casing.at(s.x + x, s.y + y));
        ++n;
      }
    }
    EXPECT_LT(down / n + 25, up / n) << "the pressed key should look clearly darker";
  }
}

TEST(AssetPictures, GlassCarriesFaintGhostsOfTheSegments) {
  // Where a lit segment has solid ink, the unlit glass must be a little darker than the clear
  // glass beside the screen's printed scenery, but nowhere near as dark as the ink itself.
  Png casing = decode(kAssets + std::string(cw::kCasingPicture));
  const cw::SegmentInfo& digit = cw::segments()[cw::segmentIndex(cw::Group::Unita, 0)];
  Png eight = decode(kAssets + "digit_8.png");
  double ghost = 0, plain = 0;
  int nGhost = 0, nPlain = 0;
  for (int y = 0; y < digit.h; ++y) {
    for (int x = 0; x < digit.w; ++x) {
      const double l = luma(casing.at(digit.x + x, digit.y + y));
      if (eight.at(x, y)[3] >= 230) {
        ghost += l;
        ++nGhost;
      } else if (eight.at(x, y)[3] == 0) {
        plain += l;
        ++nPlain;
      }
    }
  }
  ASSERT_GT(nGhost, 0);
  ASSERT_GT(nPlain, 0);
  ghost /= nGhost;
  plain /= nPlain;
  EXPECT_LT(ghost + 3, plain) << "the digit place shows no ghost of an 8";
  EXPECT_GT(ghost, plain * 0.8) << "the ghost is too dark to pass for an unlit segment";
}

// --- Sounds ---

struct Wav {
  int format = 0, channels = 0, rate = 0, bits = 0;
  std::vector<std::int16_t> samples;
  double ms() const { return rate ? 1000.0 * double(samples.size()) / rate : 0; }
};

Wav readWav(const std::string& path) {
  std::vector<std::uint8_t> f = readFile(path);
  if (f.size() < 12 || std::string(f.begin(), f.begin() + 4) != "RIFF" ||
      std::string(f.begin() + 8, f.begin() + 12) != "WAVE")
    throw std::runtime_error(path + " is not a WAV file");
  Wav w;
  for (std::size_t p = 12; p + 8 <= f.size();) {
    std::string id(f.begin() + long(p), f.begin() + long(p + 4));
    std::uint32_t len = le32(&f[p + 4]);
    if (p + 8 + len > f.size()) throw std::runtime_error(path + ": chunk runs past the end");
    const std::uint8_t* d = &f[p + 8];
    if (id == "fmt ") {
      w.format = le16(d);
      w.channels = le16(d + 2);
      w.rate = int(le32(d + 4));
      w.bits = le16(d + 14);
    } else if (id == "data") {
      for (std::uint32_t i = 0; i + 1 < len; i += 2) w.samples.push_back(std::int16_t(le16(d + i)));
    }
    p += 8 + len + (len & 1);
  }
  return w;
}

TEST(AssetSounds, AreShortMono16BitPcmWithinTheirTimeLimits) {
  struct Rule {
    const char* file;
    double minMs, maxMs;
  };
  // move holds the window while it plays; the tick repeats every 750 ms.
  const Rule rules[] = {{"move.wav", 40, 80},
                        {"Points.wav", 10, 120},
                        {"Enemy.wav", 10, 150},
                        {"dead.wav", 200, 700}};
  for (const Rule& r : rules) {
    SCOPED_TRACE(r.file);
    Wav w = readWav(kAudio + r.file);
    EXPECT_EQ(w.format, 1) << "PCM";
    EXPECT_EQ(w.channels, 1);
    EXPECT_EQ(w.bits, 16);
    EXPECT_EQ(w.rate, 44100);
    EXPECT_GE(w.ms(), r.minMs);
    EXPECT_LE(w.ms(), r.maxMs);
  }
}

TEST(AssetSounds, AreAudibleUnclippedAndFadeInAndOut) {
  for (const char* file : {"move.wav", "Points.wav", "Enemy.wav", "dead.wav"}) {
    SCOPED_TRACE(file);
    Wav w = readWav(kAudio + file);
    ASSERT_GT(w.samples.size(), 100u);
    int peak = 0;
    for (std::int16_t s : w.samples) peak = std::max(peak, std::abs(int(s)));
    EXPECT_GT(peak, 32767 / 5) << "too quiet";
    EXPECT_LT(peak, 32767 * 9 / 10) << "too loud: leave headroom";
    // A sound that starts or stops at full swing clicks.
    EXPECT_LT(std::abs(int(w.samples.front())), peak / 10);
    EXPECT_LT(std::abs(int(w.samples.back())), peak / 10);
  }
}

}  // namespace
