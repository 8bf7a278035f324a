#include "live/view_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/display/layout.h"

namespace cw {
namespace {

// How the screens view lays the two LCD glasses side by side: a margin around and a gap
// between, in logical pixels.
constexpr int kMargin = 6;
constexpr int kGap = 10;
constexpr int kScreensWidth = kMargin + kLeftScreen.w + kGap + kRightScreen.w + kMargin;
constexpr int kScreensHeight = kMargin + kLeftScreen.h + kMargin;

std::pair<int, int> logicalSize(ViewKind view) {
  return view == ViewKind::Casing ? std::pair{kWindowWidth, kWindowHeight}
                                  : std::pair{kScreensWidth, kScreensHeight};
}

// The screens view enlarged so that it is as wide as the casing view at `scale`.
double screensScale(double scale) {
  return Scaler(scale).px(kWindowWidth) / static_cast<double>(kScreensWidth);
}

bool sameScale(double a, double b) {
  return std::fabs(a - b) < 1e-9;
}

}  // namespace

int Scaler::px(int v) const {
  return static_cast<int>(std::floor(v * scale_ + 0.5));
}

int Scaler::unitAt(int p) const {
  int v = static_cast<int>(std::floor((p + 0.5) / scale_));
  while (px(v) > p) --v;
  while (px(v + 1) <= p) ++v;
  return v;
}

Rect Scaler::rect(const Rect& r) const {
  return {px(r.x), px(r.y), px(r.x + r.w) - px(r.x), px(r.y + r.h) - px(r.y)};
}

std::pair<int, int> ViewLayout::windowSize(ViewKind view, double scale) {
  if (view == ViewKind::Casing) {
    const Scaler s(scale);
    return {s.px(kWindowWidth), s.px(kWindowHeight)};
  }
  const Scaler s(screensScale(scale));
  return {s.px(kScreensWidth), s.px(kScreensHeight)};
}

ViewLayout ViewLayout::forWindow(ViewKind view, double scale, int w, int h) {
  if (windowSize(view, scale) == std::pair{w, h})
    return place(view, view == ViewKind::Casing ? scale : screensScale(scale), w, h);
  const auto [lw, lh] = logicalSize(view);
  double fit = std::min(static_cast<double>(w) / lw, static_cast<double>(h) / lh);
  // The largest scale whose picture is no larger than the window, after rounding.
  while (fit > 0.01 && (Scaler(fit).px(lw) > w || Scaler(fit).px(lh) > h)) fit *= 0.9999;
  return place(view, std::max(fit, 0.01), w, h);
}

ViewLayout ViewLayout::place(ViewKind view, double scale, int w, int h) {
  ViewLayout l;
  l.scaler_ = Scaler(scale);
  l.w_ = w;
  l.h_ = h;
  const auto [lw, lh] = logicalSize(view);
  const int x0 = (w - l.scaler_.px(lw)) / 2, y0 = (h - l.scaler_.px(lh)) / 2;
  if (view == ViewKind::Casing) {
    l.panes_[0] = {{0, 0, kWindowWidth, kWindowHeight}, x0, y0};
    l.paneCount_ = 1;
  } else {
    const int right = kMargin + kLeftScreen.w + kGap;
    l.panes_[0] = {kLeftScreen, x0 + l.scaler_.px(kMargin), y0 + l.scaler_.px(kMargin)};
    l.panes_[1] = {kRightScreen, x0 + l.scaler_.px(right), y0 + l.scaler_.px(kMargin)};
    l.paneCount_ = 2;
  }
  return l;
}

Rect ViewLayout::paneRect(int i) const {
  const Pane& p = panes_[i];
  const Rect r = scaler_.rect(p.from);
  return {p.toX, p.toY, r.w, r.h};
}

bool ViewLayout::fillsWindow() const {
  return paneCount_ == 1 && paneRect(0) == Rect{0, 0, w_, h_};
}

std::vector<Rect> ViewLayout::toWindow(const Rect& r) const {
  std::vector<Rect> out;
  for (int i = 0; i < paneCount_; ++i) {
    const Rect& f = panes_[i].from;
    const int x0 = std::max(r.x, f.x), y0 = std::max(r.y, f.y);
    const int x1 = std::min(r.x + r.w, f.x + f.w), y1 = std::min(r.y + r.h, f.y + f.h);
    if (x0 >= x1 || y0 >= y1) continue;
    const Rect to = paneRect(i);
    const Rect from = scaler_.rect(f);
    const int left = std::max(to.x, to.x + scaler_.px(x0) - from.x - 1);
    const int top = std::max(to.y, to.y + scaler_.px(y0) - from.y - 1);
    const int right = std::min(to.x + to.w, to.x + scaler_.px(x1) - from.x + 1);
    const int bottom = std::min(to.y + to.h, to.y + scaler_.px(y1) - from.y + 1);
    out.push_back({left, top, right - left, bottom - top});
  }
  return out;
}

std::vector<PauseMark> pauseMarks(const ViewLayout& layout) {
  std::vector<PauseMark> marks;
  for (const Rect& lcd : {kLeftScreen, kRightScreen}) {
    for (const Rect& at : layout.toWindow(lcd)) {
      const int barW = std::max(2, at.w / 18), barH = std::max(6, at.h / 3);
      const int x = at.x + at.w / 2 - barW - barW / 2, y = at.y + (at.h - barH) / 2;
      marks.push_back({at, {Rect{x, y, barW, barH}, Rect{x + 2 * barW, y, barW, barH}}});
    }
  }
  return marks;
}

std::optional<std::pair<int, int>> ViewLayout::toLogical(int x, int y) const {
  for (int i = 0; i < paneCount_; ++i) {
    if (!paneRect(i).contains(x, y)) continue;
    const Pane& p = panes_[i];
    return std::pair{scaler_.unitAt(x - p.toX + scaler_.px(p.from.x)),
                     scaler_.unitAt(y - p.toY + scaler_.px(p.from.y))};
  }
  return std::nullopt;
}

double stepScale(double scale, int steps) {
  int at = 0;
  for (int i = 0; i < static_cast<int>(kScales.size()); ++i)
    if (std::fabs(kScales[i] - scale) < std::fabs(kScales[at] - scale)) at = i;
  at = std::clamp(at + steps, 0, static_cast<int>(kScales.size()) - 1);
  return kScales[at];
}

double fittingScale(double scale, ViewKind view, int w, int h) {
  double s = stepScale(scale, 0);
  while (s > kScales.front()) {
    const auto [ww, wh] = ViewLayout::windowSize(view, s);
    if (ww <= w && wh <= h) break;
    s = stepScale(s, -1);
  }
  return s;
}

double defaultScale(std::optional<double> dpi, ViewKind view, int w, int h) {
  // The nearest scale (of two as near, the smaller) that fits.
  return fittingScale(dpi ? *dpi / 96 : 1, view, w, h);
}

std::optional<double> parseScale(std::string_view text) {
  const std::string s(text);
  char* end = nullptr;
  const double v = std::strtod(s.c_str(), &end);
  if (s.empty() || s[0] < '0' || s[0] > '9' || end != s.c_str() + s.size()) return std::nullopt;
  for (double k : kScales)
    if (sameScale(v, k)) return k;
  return std::nullopt;
}

std::string scaleText(double scale) {
  return sameScale(scale, std::floor(scale)) ? std::to_string(static_cast<int>(scale))
                                             : std::to_string(static_cast<int>(scale)) + ".5";
}

std::optional<ViewKind> parseView(std::string_view text) {
  if (text == "casing") return ViewKind::Casing;
  if (text == "screens") return ViewKind::Screens;
  return std::nullopt;
}

std::string_view viewText(ViewKind view) {
  return view == ViewKind::Casing ? "casing" : "screens";
}

}  // namespace cw
