// Where the device's picture lies in the game window: at which scale, in which view (the whole
// casing, or the two LCD screens alone), and where each part goes. Logical coordinates are the
// casing picture's own, the design's; window coordinates are the window's pixels. Drawing,
// the mouse and the window drag all go through one ViewLayout, so they agree at every scale.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cw {

// The scales a player can choose.
inline constexpr std::array<double, 6> kScales{1, 1.5, 2, 2.5, 3, 4};

enum class ViewKind { Casing, Screens };

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
  bool contains(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
  bool overlaps(const Rect& o) const {
    return x < o.x + o.w && o.x < x + w && y < o.y + o.h && o.y < y + h;
  }
  bool operator==(const Rect&) const = default;
};

// The two LCD glasses of the casing picture, in logical pixels.
inline constexpr Rect kLeftScreen{36, 30, 316, 224};
inline constexpr Rect kRightScreen{450, 30, 314, 224};

// Logical lengths to window pixels at one scale. Logical unit v covers window pixels
// [px(v), px(v + 1)), so neighbouring units tile the window without gaps or overlaps.
class Scaler {
 public:
  explicit Scaler(double scale = 1) : scale_(scale) {}
  double scale() const { return scale_; }
  int px(int v) const;
  // The logical unit that covers window pixel p.
  int unitAt(int p) const;
  Rect rect(const Rect& r) const;
  // The size in pixels of a picture `n` logical pixels long, drawn at this scale.
  int size(int n) const { return px(n); }

 private:
  double scale_;
};

// A part of the picture: the logical rectangle `from`, its top-left corner drawn at window
// pixel (toX, toY).
struct Pane {
  Rect from;
  int toX = 0, toY = 0;
};

class ViewLayout {
 public:
  // The window that shows `view` at the chosen `scale` with nothing around it. The screens view
  // is as wide as the casing view, its panes enlarged to fill it.
  static std::pair<int, int> windowSize(ViewKind view, double scale);
  // The layout for a window of w x h pixels: the chosen scale when the window has that scale's
  // size, else the largest scale that fits, centred (fullscreen, or a window manager's say).
  static ViewLayout forWindow(ViewKind view, double scale, int w, int h);

  const Scaler& scaler() const { return scaler_; }
  int paneCount() const { return paneCount_; }
  const Pane& pane(int i) const { return panes_[i]; }
  // Pane i's rectangle in the window.
  Rect paneRect(int i) const;
  // Whether the panes fill the whole window, with no background showing.
  bool fillsWindow() const;
  // The logical point shown at window pixel (x, y), or nothing off every pane.
  std::optional<std::pair<int, int>> toLogical(int x, int y) const;
  // The window pixels that show the logical rectangle `r`, one rectangle per pane it lies in,
  // a pixel wider all round for the rounding of pictures' sizes.
  std::vector<Rect> toWindow(const Rect& r) const;

 private:
  static ViewLayout place(ViewKind view, double scale, int w, int h);

  Scaler scaler_;
  std::array<Pane, 2> panes_{};
  int paneCount_ = 0;
  int w_ = 0, h_ = 0;
};

// The sign of a pause over one screen, in window pixels: the screen dimmed under a veil, and
// two bars on it, so that a player coming back sees at once that the game waits for him. Both
// are drawn in kPauseInk, the veil kPauseVeilAlpha opaque (of 255) and the bars kPauseBarAlpha.
struct PauseMark {
  Rect veil;
  std::array<Rect, 2> bars;
};
inline constexpr std::array<int, 3> kPauseInk{24, 28, 24};
inline constexpr int kPauseVeilAlpha = 96;
inline constexpr int kPauseBarAlpha = 224;
// The marks of a pause in `layout`: one for each screen where the window shows it.
std::vector<PauseMark> pauseMarks(const ViewLayout& layout);

// The scale `steps` along kScales from `scale` (which is one of them), kept within the list.
double stepScale(double scale, int steps);
// The largest scale, no larger than `scale`, whose window fits w x h; the smallest when none.
double fittingScale(double scale, ViewKind view, int w, int h);
// The scale that makes the casing as large on a screen of `dpi` as at 96 dpi (1x when the dpi
// is unknown), no larger than fits a usable area of w x h.
double defaultScale(std::optional<double> dpi, ViewKind view, int w, int h);

// "2", "1.5": one of kScales, as given on the command line and in the settings file.
std::optional<double> parseScale(std::string_view text);
std::string scaleText(double scale);
std::optional<ViewKind> parseView(std::string_view text);  // "casing" or "screens"
std::string_view viewText(ViewKind view);

}  // namespace cw
