// Tells from the game window's pixels which segments show, for the end-to-end tests.
//
// A segment is judged only by its telling pixels: those where its picture laid on the casing
// differs clearly from the casing alone (the glass carries a faint ghost of every segment, so a
// lit segment is the near-black ink over that ghost). A telling pixel votes "shown" when the
// window there is nearer the picture than the casing. Whole screenshots are never compared with
// a stored picture, which any change of the artwork would break.
//
//   seg_check ASSETS (--window ID [--within SECONDS] [--ready FILE] | --image FILE)
//             [--scale S] [--view casing|screens] [--size WxH]
//             [--save FILE.bmp] [--lit GROUP] [--report] EXPECTATION...
//
// Expectations:
//   NAME=lit, NAME:MEMBER=lit     the segment shows
//   NAME=dark, NAME:MEMBER=dark   it does not
//   NAME:FIRST-LAST=some          at least one of those members shows
//   PLACE=D                       a digit place (Ora, Centinaia, Decina, Unita) shows the digit
//                                 D, or "blank"
//   power-on                      every segment that can be seen shows, but the colon
// --within looks again and again, for up to SECONDS, until every expectation holds: the game
// changes its window many times a second, and a look costs a few milliseconds once the pictures
// are loaded. --ready creates FILE once the pictures are loaded, before the first look, so that
// a test can start the checker before the change it waits for. --save keeps the last look. --lit
// GROUP prints the members of GROUP that show in it, on one line; --report prints how much of every
// segment shows and what each place reads. --scale and --view say how the game shows the device
// (as its own options do): the checker lays the pictures out as the game does (live/view_layout),
// from the same picture set, resized the same way when the scale is not the set's; --size gives
// the window's size when it is not the view's own at that scale (fullscreen). Exit status: 0 when
// every expectation holds, 1 when one does not (each is named on stdout), 2 when there is nothing
// to look at (no window, an unreadable picture, a bad expectation).

// Ours first: the X headers define macros (Status among them) that would break them.
#include "core/display/layout.h"
#include "live/resample.h"
#include "live/view_layout.h"
#include "sdl/window/casing_pictures.h"

#include <SDL.h>
#include <SDL_image.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using cw::Group;
using cw::SegmentInfo;

// A pixel tells when the picture moves it at least this far (sum of the three channels) from
// the casing; the ghost under a lit segment is far lighter than that.
constexpr int kTelling = 90;
// Below this many telling pixels a verdict would rest on noise.
constexpr int kFewest = 6;
// Shares of the telling pixels that vote "shown".
constexpr double kLitShare = 0.75;
constexpr double kDarkShare = 0.2;
// Mean distance per pixel under which a digit place reads as a digit picture.
constexpr double kDigitMatch = 24.0;

struct Rgba {
  std::uint8_t r = 0, g = 0, b = 0, a = 255;
};

int distance(const Rgba& p, const Rgba& q) {
  return std::abs(p.r - q.r) + std::abs(p.g - q.g) + std::abs(p.b - q.b);
}

// p laid over q with p's alpha.
Rgba over(const Rgba& p, const Rgba& q) {
  auto mix = [&](int a, int b) {
    return static_cast<std::uint8_t>((a * p.a + b * (255 - p.a) + 127) / 255);
  };
  return {mix(p.r, q.r), mix(p.g, q.g), mix(p.b, q.b), 255};
}

struct Image {
  int w = 0, h = 0;
  std::vector<Rgba> px;
  const Rgba& at(int x, int y) const { return px[static_cast<std::size_t>(y) * w + x]; }
};

std::optional<Image> loadPicture(const std::string& path) {
  SDL_Surface* loaded = IMG_Load(path.c_str());
  if (!loaded) {
    std::printf("cannot read %s: %s\n", path.c_str(), IMG_GetError());
    return std::nullopt;
  }
  SDL_Surface* s = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
  SDL_FreeSurface(loaded);
  if (!s) return std::nullopt;
  Image img;
  img.w = s->w;
  img.h = s->h;
  img.px.resize(static_cast<std::size_t>(s->w) * s->h);
  for (int y = 0; y < s->h; ++y) {
    const auto* row = static_cast<const Uint8*>(s->pixels) + static_cast<std::size_t>(y) * s->pitch;
    for (int x = 0; x < s->w; ++x)
      img.px[static_cast<std::size_t>(y) * s->w + x] = {row[4 * x], row[4 * x + 1], row[4 * x + 2],
                                                        row[4 * x + 3]};
  }
  SDL_FreeSurface(s);
  return img;
}

// A BMP: writing a PNG costs more than a look.
bool savePicture(const Image& img, const std::string& path) {
  SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, img.w, img.h, 32, SDL_PIXELFORMAT_RGBA32);
  if (!s) return false;
  for (int y = 0; y < img.h; ++y) {
    auto* row = static_cast<Uint8*>(s->pixels) + static_cast<std::size_t>(y) * s->pitch;
    for (int x = 0; x < img.w; ++x) {
      const Rgba& p = img.at(x, y);
      row[4 * x] = p.r;
      row[4 * x + 1] = p.g;
      row[4 * x + 2] = p.b;
      row[4 * x + 3] = 255;
    }
  }
  const bool ok = SDL_SaveBMP(s, path.c_str()) == 0;
  SDL_FreeSurface(s);
  return ok;
}

int xError = 0;
int onXError(Display*, XErrorEvent* e) {
  xError = e->error_code;
  return 0;
}

int shiftOf(unsigned long mask) {
  int s = 0;
  while (mask && !(mask & 1)) {
    mask >>= 1;
    ++s;
  }
  return s;
}

// Reads a window's own pixels from the X server.
class Grabber {
 public:
  Grabber() : display_(XOpenDisplay(nullptr)) { XSetErrorHandler(onXError); }
  ~Grabber() {
    if (display_) XCloseDisplay(display_);
  }
  Grabber(const Grabber&) = delete;
  Grabber& operator=(const Grabber&) = delete;

  // The pixels, or nullopt with why in problem().
  std::optional<Image> grab(unsigned long id) {
    if (!display_) return none("cannot open the X display");
    xError = 0;
    XWindowAttributes wa{};
    if (!XGetWindowAttributes(display_, id, &wa) || xError) return none("no such window");
    if (wa.map_state != IsViewable) return none("the window is not shown");
    XImage* xi = XGetImage(display_, id, 0, 0, wa.width, wa.height, AllPlanes, ZPixmap);
    XSync(display_, False);
    if (!xi || xError) {
      if (xi) XDestroyImage(xi);
      return none("cannot read the window's pixels");
    }
    const Visual* v = wa.visual;
    const int rs = shiftOf(v->red_mask), gs = shiftOf(v->green_mask), bs = shiftOf(v->blue_mask);
    const unsigned long rm = v->red_mask >> rs, gm = v->green_mask >> gs, bm = v->blue_mask >> bs;
    Image img;
    img.w = wa.width;
    img.h = wa.height;
    img.px.resize(static_cast<std::size_t>(img.w) * img.h);
    for (int y = 0; y < img.h; ++y) {
      for (int x = 0; x < img.w; ++x) {
        const unsigned long p = XGetPixel(xi, x, y);
        img.px[static_cast<std::size_t>(y) * img.w + x] = {
            static_cast<std::uint8_t>(((p >> rs) & rm) * 255 / rm),
            static_cast<std::uint8_t>(((p >> gs) & gm) * 255 / gm),
            static_cast<std::uint8_t>(((p >> bs) & bm) * 255 / bm), 255};
      }
    }
    XDestroyImage(xi);
    return img;
  }
  const std::string& problem() const { return problem_; }

 private:
  std::optional<Image> none(const char* why) {
    problem_ = why;
    return std::nullopt;
  }
  Display* display_;
  std::string problem_;
};

std::string nameOf(int index) {
  const SegmentInfo& s = cw::segments()[index];
  const cw::GroupInfo& g = cw::groupInfo(s.group);
  std::string n(g.name);
  if (!g.single) n += ":" + std::to_string(s.member);
  return n;
}

bool isDigitPlace(Group g) {
  return g == Group::Ora || g == Group::Centinaia || g == Group::Decina || g == Group::Unita;
}

// The window as the game lays it out: the casing under everything, and where each segment's
// picture lies, all in window pixels.
struct Scene {
  cw::ViewLayout layout;
  std::string pictures;  // the folder of the picture set drawn from
  Image casing;          // the window with no segment shown
  // Per segment: its picture's rectangle in the window, when the view shows it whole.
  std::vector<std::optional<cw::Rect>> place;
};
Scene scene;

// Segments that the window can show: a picture that depicts something, wholly in view.
bool visible(int index) {
  return cw::segments()[index].picture != cw::kBlankPicture && scene.place[index].has_value();
}

// A picture resized as the game resizes one drawn at a scale that is not its set's own.
Image resized(const Image& img, int w, int h) {
  if (img.w == w && img.h == h) return img;
  cw::Picture in{img.w, img.h, {}};
  for (const Rgba& p : img.px) in.rgba.insert(in.rgba.end(), {p.r, p.g, p.b, p.a});
  const cw::Picture out = cw::resample(in, w, h);
  Image r;
  r.w = w;
  r.h = h;
  for (std::size_t i = 0; i < out.rgba.size(); i += 4)
    r.px.push_back({out.rgba[i], out.rgba[i + 1], out.rgba[i + 2], out.rgba[i + 3]});
  return r;
}

// Lays the scene out as the game does in a window of w x h; false when the casing cannot be
// read.
bool buildScene(const std::string& assets, cw::ViewKind view, double scale, int w, int h) {
  scene.layout = cw::ViewLayout::forWindow(view, scale, w, h);
  const cw::Scaler& s = scene.layout.scaler();
  scene.pictures = cw::pictureSetDir(assets, cw::pictureSetFor(s.scale()));
  const std::optional<Image> loaded =
      loadPicture(scene.pictures + "/" + std::string(cw::kCasingPicture));
  if (!loaded) return false;
  const Image full = resized(*loaded, s.size(cw::kCasingWidth), s.size(cw::kCasingHeight));
  // Around the panes, the casing's own backdrop.
  scene.casing.w = w;
  scene.casing.h = h;
  scene.casing.px.assign(static_cast<std::size_t>(w) * h, full.at(0, 0));
  scene.place.assign(cw::kSegmentCount, std::nullopt);
  for (int p = 0; p < scene.layout.paneCount(); ++p) {
    const cw::Rect to = scene.layout.paneRect(p), from = s.rect(scene.layout.pane(p).from);
    for (int y = 0; y < to.h; ++y)
      for (int x = 0; x < to.w; ++x)
        scene.casing.px[static_cast<std::size_t>(to.y + y) * w + to.x + x] =
            full.at(from.x + x, from.y + y);
    const cw::Rect& logical = scene.layout.pane(p).from;
    for (int i = 0; i < cw::kSegmentCount; ++i) {
      const SegmentInfo& seg = cw::segments()[i];
      if (seg.x < logical.x || seg.y < logical.y || seg.x + seg.w > logical.x + logical.w ||
          seg.y + seg.h > logical.y + logical.h)
        continue;
      scene.place[i] = cw::Rect{to.x + s.px(seg.x) - from.x, to.y + s.px(seg.y) - from.y,
                                s.size(seg.w), s.size(seg.h)};
    }
  }
  return true;
}

std::string digitName(int d) {
  return d < 0 ? "blank" : std::to_string(d);
}

struct Expectation {
  enum Kind { Lit, Dark, Some, Digit } kind;
  int index;      // into cw::segments(); the first of the range for Some
  int last = 0;   // the last of the range for Some
  int digit = 0;  // -1 for the blank
  std::string text;
};

bool parse(const std::string& arg, std::vector<Expectation>& out) {
  const auto all = cw::segments();
  if (arg == "power-on") {
    for (int i = 0; i < cw::kSegmentCount; ++i)
      if (visible(i) && all[i].group != Group::duepunti)
        out.push_back({Expectation::Lit, i, 0, 0, nameOf(i) + "=lit"});
    return true;
  }
  const auto eq = arg.find('=');
  if (eq == std::string::npos) return false;
  std::string name = arg.substr(0, eq);
  const std::string want = arg.substr(eq + 1);
  int member = 0, lastMember = 0;
  if (const auto colon = name.find(':'); colon != std::string::npos) {
    const std::string members = name.substr(colon + 1);
    member = lastMember = std::atoi(members.c_str());
    if (const auto dash = members.find('-'); dash != std::string::npos)
      lastMember = std::atoi(members.c_str() + dash + 1);
    name.resize(colon);
  }
  const std::optional<Group> g = cw::groupByName(name);
  if (!g) return false;
  const int index = cw::segmentIndex(*g, member);
  const int last = cw::segmentIndex(*g, lastMember);
  if (index < 0 || last < index) return false;
  if (want == "some") {
    out.push_back({Expectation::Some, index, last, 0, arg});
    return true;
  }
  if (last != index) return false;
  if (isDigitPlace(*g)) {
    if (want == "blank") {
      out.push_back({Expectation::Digit, index, 0, -1, arg});
      return true;
    }
    if (want.size() != 1 || want[0] < '0' || want[0] > '9') return false;
    out.push_back({Expectation::Digit, index, 0, want[0] - '0', arg});
    return true;
  }
  if ((want != "lit" && want != "dark") || !visible(index)) return false;
  out.push_back({want == "lit" ? Expectation::Lit : Expectation::Dark, index, 0, 0, arg});
  return true;
}

class Checker {
 public:
  explicit Checker(std::vector<Expectation> expected) : expected_(std::move(expected)) {}

  // Loads the pictures and works out which pixels each expectation is judged on; false when a
  // picture cannot be read.
  bool prepare() {
    const auto all = cw::segments();
    for (int i = 0; i < cw::kSegmentCount; ++i) {
      if (!visible(i)) continue;
      pictureOf_[i] = picture(all[i].picture, all[i].w, all[i].h);
      if (!pictureOf_[i]) return false;
    }
    const SegmentInfo& place = all[cw::segmentIndex(Group::Unita, 0)];
    for (int d = 0; d <= 9; ++d)
      if (!picture(cw::digitPicture(d), place.w, place.h)) return false;
    // Pixels that segments expected lit take for themselves: a segment expected dark is not
    // judged there, nor one expected lit where a segment drawn after it covers it differently.
    owner_.assign(static_cast<std::size_t>(width()) * height(), -1);
    for (const Expectation& e : expected_) {
      if (e.kind != Expectation::Lit) continue;
      const cw::Rect& r = *scene.place[e.index];
      for (int py = r.y; py < r.y + r.h; ++py)
        for (int px = r.x; px < r.x + r.w; ++px)
          if (telling(*pictureOf_[e.index], r, px, py)) {
            int& o = owner_[static_cast<std::size_t>(py) * width() + px];
            if (e.index > o) o = e.index;  // the one drawn last
          }
    }
    return true;
  }

  // The expectations that a look does not meet, each said in a line.
  std::vector<std::string> unmet(const Image& shot) {
    std::vector<std::string> out;
    if (shot.w != width() || shot.h != height()) {
      out.push_back("the window is " + std::to_string(shot.w) + "x" + std::to_string(shot.h) +
                    ", not " + std::to_string(width()) + "x" + std::to_string(height()));
      return out;
    }
    for (const Expectation& e : expected_) {
      if (e.kind == Expectation::Digit) {
        int nearest = 0;
        double mean = 0;
        const std::optional<int> d = digitAt(shot, e.index, nearest, mean);
        if (d == e.digit) continue;
        char why[128];
        if (d)
          std::snprintf(why, sizeof why, "the place shows %s", digitName(*d).c_str());
        else
          std::snprintf(why, sizeof why, "the place shows no digit (nearest %s, %.0f apart)",
                        digitName(nearest).c_str(), mean);
        out.push_back(e.text + " does not hold: " + why);
        continue;
      }
      if (e.kind == Expectation::Some) {
        bool any = false;
        for (int i = e.index; i <= e.last && !any; ++i) any = pictureOf_[i] && shows(shot, i);
        if (!any) out.push_back(e.text + " does not hold: none of them shows");
        continue;
      }
      const Vote v = vote(shot, e.index, [&](int px, int py) { return skip(e, px, py); });
      const int pct = static_cast<int>(v.share() * 100 + 0.5);
      const std::string counts =
          std::to_string(pct) + "% of its " + std::to_string(v.telling) + " telling pixels show it";
      if (v.telling < kFewest)
        out.push_back(e.text + " cannot be told: only " + std::to_string(v.telling) +
                      " telling pixels");
      else if (e.kind == Expectation::Lit && v.share() < kLitShare)
        out.push_back(e.text + " does not hold: " + counts);
      else if (e.kind == Expectation::Dark && v.share() > kDarkShare)
        out.push_back(e.text + " does not hold: " + counts);
    }
    return out;
  }

  // The members of a group that a look shows, judged each alone.
  std::string litMembers(const Image& shot, Group g) const {
    std::string line;
    const auto all = cw::segments();
    for (int i = 0; i < cw::kSegmentCount; ++i)
      if (all[i].group == g && pictureOf_[i] && shows(shot, i))
        line += (line.empty() ? "" : " ") + std::to_string(all[i].member);
    return line;
  }

  void report(const Image& shot) const {
    const auto all = cw::segments();
    for (int i = 0; i < cw::kSegmentCount; ++i) {
      if (isDigitPlace(all[i].group) && scene.place[i]) {
        int nearest = 0;
        double mean = 0;
        const std::optional<int> d = digitAt(shot, i, nearest, mean);
        std::printf("%-12s reads %s (%.1f apart)\n", nameOf(i).c_str(),
                    d ? digitName(*d).c_str() : "nothing", mean);
      } else if (pictureOf_[i]) {
        const Vote v = vote(shot, i, [](int, int) { return false; });
        std::printf("%-12s %3.0f%% of %d\n", nameOf(i).c_str(), v.share() * 100, v.telling);
      }
    }
  }

 private:
  struct Vote {
    int telling = 0;
    int shown = 0;
    double share() const { return telling ? static_cast<double>(shown) / telling : 0.0; }
  };

  static int width() { return scene.casing.w; }
  static int height() { return scene.casing.h; }

  // A picture of `w` x `h` logical pixels, as the game draws it at the scene's scale.
  const Image* picture(std::string_view file, int w, int h) {
    auto it = pictures_.find(std::string(file));
    if (it == pictures_.end()) {
      auto img = loadPicture(scene.pictures + "/" + std::string(file));
      if (!img) return nullptr;
      const cw::Scaler& s = scene.layout.scaler();
      it = pictures_.emplace(std::string(file), resized(*img, s.size(w), s.size(h))).first;
    }
    return &it->second;
  }

  // The composite of a picture at `at` on the casing, at window pixel (px, py).
  Rgba composite(const Image& pic, const cw::Rect& at, int px, int py) const {
    return over(pic.at(px - at.x, py - at.y), scene.casing.at(px, py));
  }

  bool telling(const Image& pic, const cw::Rect& at, int px, int py) const {
    return distance(composite(pic, at, px, py), scene.casing.at(px, py)) >= kTelling;
  }

  // Votes of a segment's telling pixels, leaving out those for which skip() is true.
  template <typename Skip>
  Vote vote(const Image& shot, int index, Skip skip) const {
    const cw::Rect& r = *scene.place[index];
    const Image& pic = *pictureOf_[index];
    Vote v;
    for (int py = r.y; py < r.y + r.h; ++py) {
      for (int px = r.x; px < r.x + r.w; ++px) {
        if (!telling(pic, r, px, py) || skip(px, py)) continue;
        ++v.telling;
        const Rgba e = composite(pic, r, px, py);
        const Rgba& t = shot.at(px, py);
        if (distance(t, e) < distance(t, scene.casing.at(px, py))) ++v.shown;
      }
    }
    return v;
  }

  bool shows(const Image& shot, int index) const {
    const Vote v = vote(shot, index, [](int, int) { return false; });
    return v.telling >= kFewest && v.share() >= kLitShare;
  }

  bool skip(const Expectation& e, int px, int py) const {
    const int o = owner_[static_cast<std::size_t>(py) * width() + px];
    if (o < 0 || o == e.index) return false;
    if (e.kind == Expectation::Dark) return true;
    if (o < e.index) return false;
    // Covered by a segment drawn later: only where that one looks different here.
    return distance(composite(*pictureOf_[o], *scene.place[o], px, py),
                    composite(*pictureOf_[e.index], *scene.place[e.index], px, py)) >= kTelling;
  }

  // The digit (0..9) the place of segment `index` shows, -1 for the blank, or nullopt when it
  // matches neither.
  std::optional<int> digitAt(const Image& shot, int index, int& nearest, double& mean) const {
    const cw::Rect& place = *scene.place[index];
    long best = -1;
    nearest = -2;
    for (int d = -1; d <= 9; ++d) {
      const Image* pic = d < 0 ? nullptr : &pictures_.at(std::string(cw::digitPicture(d)));
      long sum = 0;
      for (int py = place.y; py < place.y + place.h; ++py)
        for (int px = place.x; px < place.x + place.w; ++px) {
          const Rgba e = pic ? composite(*pic, place, px, py) : scene.casing.at(px, py);
          sum += distance(shot.at(px, py), e);
        }
      if (best < 0 || sum < best) {
        best = sum;
        nearest = d;
      }
    }
    mean = static_cast<double>(best) / (place.w * place.h);
    if (mean > kDigitMatch) return std::nullopt;
    return nearest;
  }

  std::vector<Expectation> expected_;
  std::map<std::string, Image> pictures_;
  std::vector<const Image*> pictureOf_ = std::vector<const Image*>(cw::kSegmentCount, nullptr);
  std::vector<int> owner_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr,
                 "usage: seg_check ASSETS (--window ID [--within SECONDS] [--ready FILE] | "
                 "--image FILE) [--scale S] [--view casing|screens] [--size WxH] [--save FILE.bmp] "
                 "[--lit GROUP] [--report] EXPECTATION...\n");
    return 2;
  }
  const std::string assets = argv[1];
  std::optional<unsigned long> window;
  std::string imageFile, saveFile, readyFile;
  double within = 0;
  bool report = false;
  std::optional<Group> litGroup;
  double scale = 1;
  cw::ViewKind view = cw::ViewKind::Casing;
  std::optional<std::pair<int, int>> size;
  std::vector<std::string> expectations;
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--window" && i + 1 < argc) {
      window = std::strtoul(argv[++i], nullptr, 0);
    } else if (a == "--within" && i + 1 < argc) {
      within = std::strtod(argv[++i], nullptr);
    } else if (a == "--ready" && i + 1 < argc) {
      readyFile = argv[++i];
    } else if (a == "--image" && i + 1 < argc) {
      imageFile = argv[++i];
    } else if (a == "--save" && i + 1 < argc) {
      saveFile = argv[++i];
    } else if (a == "--scale" && i + 1 < argc) {
      const std::optional<double> s = cw::parseScale(argv[++i]);
      if (!s) {
        std::printf("no scale %s\n", argv[i]);
        return 2;
      }
      scale = *s;
    } else if (a == "--view" && i + 1 < argc) {
      const std::optional<cw::ViewKind> v = cw::parseView(argv[++i]);
      if (!v) {
        std::printf("no view %s\n", argv[i]);
        return 2;
      }
      view = *v;
    } else if (a == "--size" && i + 1 < argc) {
      int w = 0, h = 0;
      if (std::sscanf(argv[++i], "%dx%d", &w, &h) != 2 || w <= 0 || h <= 0) {
        std::printf("not a size: %s\n", argv[i]);
        return 2;
      }
      size = {w, h};
    } else if (a == "--lit" && i + 1 < argc) {
      const std::optional<Group> g = cw::groupByName(argv[++i]);
      if (!g) {
        std::printf("no group %s\n", argv[i]);
        return 2;
      }
      litGroup = *g;
    } else if (a == "--report") {
      report = true;
    } else {
      expectations.push_back(a);
    }
  }
  if (window.has_value() == !imageFile.empty()) {
    std::printf("give one of --window and --image\n");
    return 2;
  }
  const auto [w, h] = size.value_or(cw::ViewLayout::windowSize(view, scale));
  if (!buildScene(assets, view, scale, w, h)) return 2;
  std::vector<Expectation> expected;
  for (const std::string& a : expectations) {
    if (!parse(a, expected)) {
      std::printf("not an expectation: %s\n", a.c_str());
      return 2;
    }
  }
  Checker check(std::move(expected));
  if (!check.prepare()) return 2;
  if (!readyFile.empty()) {
    std::FILE* f = std::fopen(readyFile.c_str(), "w");
    if (!f) {
      std::printf("cannot write %s\n", readyFile.c_str());
      return 2;
    }
    std::fclose(f);
  }

  using Clock = std::chrono::steady_clock;
  const Clock::time_point end =
      Clock::now() + std::chrono::microseconds(static_cast<long long>(within * 1e6));
  Grabber grabber;
  std::optional<Image> shot;
  std::vector<std::string> unmet;
  for (;;) {
    std::optional<Image> look = window ? grabber.grab(*window) : loadPicture(imageFile);
    if (look) {
      shot = std::move(look);
      unmet = check.unmet(*shot);
      if (unmet.empty()) break;
    }
    if (!window || Clock::now() >= end) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!shot) {
    if (window) std::printf("window 0x%lx: %s\n", *window, grabber.problem().c_str());
    return 2;
  }
  if (!saveFile.empty() && !savePicture(*shot, saveFile)) {
    std::printf("cannot write %s: %s\n", saveFile.c_str(), SDL_GetError());
    return 2;
  }
  for (const std::string& line : unmet) std::printf("%s\n", line.c_str());
  if (litGroup) std::printf("%s\n", check.litMembers(*shot, *litGroup).c_str());
  if (report) check.report(*shot);
  return unmet.empty() ? 0 : 1;
}
