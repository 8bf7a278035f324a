#include "sdl/window/casing_window.h"

#include <SDL_image.h>

#include <climits>
#include <cmath>

#include "host/report.h"
#include "sdl/window/casing_clicks.h"
#include "sdl/window/desktop.h"
#include "sdl/window/renderer.h"
#include "sdl/window/view_choice.h"
#include "sdl/window/x11_desktop.h"

namespace cw {

// The casing drags the window; the four buttons keep their own mouse input. The screens view
// has no buttons, and a fullscreen window is not dragged.
SDL_HitTestResult CasingWindow::hitTest(SDL_Window*, const SDL_Point* p, void* self) {
  const CasingWindow& screen = *static_cast<const CasingWindow*>(self);
  if (screen.fullscreen_) return SDL_HITTEST_NORMAL;
  const auto at = screen.toLogical(p->x, p->y);
  if (at && screen.view_ == ViewKind::Casing && onCasingButton(at->first, at->second))
    return SDL_HITTEST_NORMAL;
  return SDL_HITTEST_DRAGGABLE;
}

void CasingWindow::close() {
  pictures_.release();
  renderer_.reset();
  window_.reset();
  visible_ = false;
}

Status CasingWindow::open(const std::string& assets, const ScreenOptions& options) {
  assets_ = assets;
  conf_ = ConfFile(options.confPath);
  Uint32 flags = SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN;
  if (onWayland()) {
    // Drawn in the output's own pixels, not enlarged by the compositor; with an alpha channel
    // the compositor shows the desktop around the shell (SDL reads the hint at each configure
    // of a window, so it stays set).
    flags |= SDL_WINDOW_ALLOW_HIGHDPI;
    SDL_SetHintWithPriority(SDL_HINT_VIDEO_EGL_ALLOW_TRANSPARENCY, "1", SDL_HINT_OVERRIDE);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 8);
  }
  window_.reset(SDL_CreateWindow("Crateworks Sim", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                 kWindowWidth, kWindowHeight, flags));
  if (window_.get()) renderer_ = makeRenderer(window_.get());
  if (!renderer_) return failure(std::string("cannot open a window: ") + SDL_GetError());
  SDL_RendererInfo info{};
  partial_ =
      SDL_GetRendererInfo(renderer_.get(), &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE);
  seeThrough_ = drawsSeeThrough(renderer_.get());
  unit_ = pixelsPerUnit(window_.get(), renderer_.get());
  SDL_SetWindowHitTest(window_.get(), hitTest, this);
  keepCasingClicks(window_.get());
  // The window exists before its size is chosen: the desktop's scale is read through it.
  chooseSize(options);
  // Where no window manager runs, nobody acts on a request for fullscreen.
  managed_ = xWindowManagerRuns(window_.get());
  fitWindow(true);
  if (fullscreen_) applyFullscreen();
  if (Status loaded = layOut(); !loaded) return loaded;
  const std::string iconPath = assets_ + "/" + std::string(kWindowIcon);
  const SurfaceHandle icon(IMG_Load(iconPath.c_str()));
  if (!icon) return failure("cannot use picture " + iconPath + ": " + IMG_GetError());
  SDL_SetWindowIcon(window_.get(), icon.get());
  return {};
}

// The command line's choice, else the one remembered, else the casing at the desktop's scale;
// a remembered or default scale no larger than the screen has room for.
void CasingWindow::chooseSize(const ScreenOptions& options) {
  ViewChoice remembered;
  if (const Result<ConfValues> values = conf_.read(); !values) {
    report("settings ignored: " + values.error());
  } else if (const Result<ViewChoice> choice = viewChoiceOf(*values); !choice) {
    report("settings ignored: " + conf_.path() + ": " + choice.error());
  } else {
    remembered = *choice;
  }
  view_ = options.view.value_or(remembered.view.value_or(ViewKind::Casing));
  const SDL_Rect area = usableArea();
  // A scale asked for or remembered that the screen has no room for gives way to the largest
  // that fits, saying so: a window larger than the screen would be cut on every side.
  const auto fitted = [&](double asked) {
    const double fits = fittingScale(asked, view_, area.w, area.h);
    if (fits != asked)
      report("scale " + scaleText(asked) + " does not fit the screen: " + scaleText(fits) +
             " taken");
    return fits;
  };
  if (options.scale)
    scale_ = options.fitAskedScale ? fitted(*options.scale) : *options.scale;
  else if (remembered.scale)
    scale_ = fitted(*remembered.scale);
  else
    scale_ = defaultScale(desktopDpi(window_.get(), unit_), view_, area.w, area.h);
  fullscreen_ = options.fullscreen;
}

SDL_Rect CasingWindow::usableArea() const {
  SDL_Rect r{0, 0, INT_MAX / 2, INT_MAX / 2};
  const int display = SDL_GetWindowDisplayIndex(window_.get());
  if (display >= 0 && SDL_GetDisplayUsableBounds(display, &r) != 0)
    return {0, 0, INT_MAX / 2, INT_MAX / 2};
  // In pixels, as the window's sizes are reckoned.
  return {r.x, r.y, static_cast<int>(r.w * unit_), static_cast<int>(r.h * unit_)};
}

// Gives the window the size of the view at the chosen scale, centred on the screen or about
// its old centre, and on the screen as far as it fits. Fullscreen keeps the screen's size.
void CasingWindow::fitWindow(bool centred) {
  if (fullscreen_) return;
  const auto [pw, ph] = ViewLayout::windowSize(view_, scale_);
  // The window's size is in its own units, so many pixels each.
  const int w = static_cast<int>(std::ceil(pw / unit_)),
            h = static_cast<int>(std::ceil(ph / unit_));
  int oldW = 0, oldH = 0, x = 0, y = 0;
  SDL_GetWindowSize(window_.get(), &oldW, &oldH);
  SDL_GetWindowPosition(window_.get(), &x, &y);
  if (w == oldW && h == oldH) return;
  SDL_SetWindowSize(window_.get(), w, h);
  relayout_ = true;
  if (centred) {
    const int display = std::max(0, SDL_GetWindowDisplayIndex(window_.get()));
    SDL_SetWindowPosition(window_.get(), SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                          SDL_WINDOWPOS_CENTERED_DISPLAY(display));
    return;
  }
  const SDL_Rect area = usableArea();
  x = std::max(area.x, std::min(x + (oldW - w) / 2, area.x + area.w - w));
  y = std::max(area.y, std::min(y + (oldH - h) / 2, area.y + area.h - h));
  SDL_SetWindowPosition(window_.get(), x, y);
}

// Lays the picture out in the window as it now is, and loads the pictures again when that
// takes another scale.
Status CasingWindow::layOut() {
  relayout_ = false;
  int w = 0, h = 0;
  if (SDL_GetRendererOutputSize(renderer_.get(), &w, &h) != 0 || w <= 0 || h <= 0)
    SDL_GetWindowSize(window_.get(), &w, &h);
  layout_ = ViewLayout::forWindow(view_, scale_, w, h);
  dirty_ = true;
  const double scale = layout_.scaler().scale();
  if (pictures_.loaded() && std::fabs(pictures_.scale() - scale) < 1e-9) {
    cutToCasing();
    return {};
  }
  Status loaded = reload();
  relayout_ = !loaded;  // tried again, and said, at the next present
  return loaded;
}

Status CasingWindow::reload() {
  CasingPictures::Loaded loaded =
      pictures_.load(renderer_.get(), assets_, layout_.scaler().scale(), seeThrough_);
  if (!loaded.note.empty()) report(loaded.note);
  dirty_ = true;
  if (loaded.status) cutToCasing();
  return loaded.status;
}

// Where the window cannot show the desktop through the casing's clear parts, it is cut to the
// shell's outline while it shows the whole casing in a window; otherwise it keeps its rectangle,
// the backdrop around the picture.
void CasingWindow::cutToCasing() {
  if (seeThrough_) return;
  std::vector<Rect> area;
  if (view_ == ViewKind::Casing && !fullscreen_ && layout_.fillsWindow() &&
      layout_.paneCount() == 1) {
    const Rect to = layout_.paneRect(0);
    const Rect from = layout_.scaler().rect(layout_.pane(0).from);
    for (Rect r : pictures_.outline()) {
      r.x += to.x - from.x;
      r.y += to.y - from.y;
      area.push_back(r);
    }
  }
  if (area.empty() && !shaped_) return;
  shaped_ = cutToShape(window_.get(), area) && !area.empty();
}

void CasingWindow::stepScale(int steps) {
  if (fullscreen_ || !window_ || steps == 0) return;
  const SDL_Rect area = usableArea();
  const double next = fittingScale(cw::stepScale(scale_, steps), view_, area.w, area.h);
  // Never a step the other way: a scale asked for on the command line may exceed the screen.
  if (steps > 0 ? next <= scale_ : next >= scale_) return;
  scale_ = next;
  fitWindow(false);
  remember();
}

void CasingWindow::toggleView() {
  if (!window_) return;
  view_ = view_ == ViewKind::Casing ? ViewKind::Screens : ViewKind::Casing;
  fitWindow(false);
  relayout_ = true;
  remember();
}

void CasingWindow::toggleFullscreen() {
  if (!window_) return;
  fullscreen_ = !fullscreen_;
  applyFullscreen();
}

// Asks the window manager for fullscreen, or out of it; with none, covers the screen itself.
// Back in a window, the window takes the view's size (the view may have changed meanwhile).
void CasingWindow::applyFullscreen() {
  relayout_ = true;
  if (managed_) {
    SDL_SetWindowFullscreen(window_.get(), fullscreen_ ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    fitWindow(false);
    return;
  }
  if (!fullscreen_) {
    const auto [w, h] = ViewLayout::windowSize(view_, scale_);
    SDL_SetWindowSize(window_.get(), w, h);
    SDL_SetWindowPosition(window_.get(), windowedX_, windowedY_);
    return;
  }
  SDL_Rect screen{0, 0, 0, 0};
  if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window_.get())), &screen) != 0)
    return;
  SDL_GetWindowPosition(window_.get(), &windowedX_, &windowedY_);
  SDL_SetWindowPosition(window_.get(), screen.x, screen.y);
  SDL_SetWindowSize(window_.get(), screen.w, screen.h);
}

void CasingWindow::remember() {
  Status saved = conf_.write(confOf(scale_, view_));
  if (saved || saidUnsaved_) return;
  report("scale and view not remembered: " + saved.error());
  saidUnsaved_ = true;
}

void CasingWindow::show(bool shown) {
  if (!window_ || shown == visible_) return;
  visible_ = shown;
  if (shown) {
    SDL_ShowWindow(window_.get());
    // Without a window manager nobody hands the focus back after the dialog closes.
    SDL_RaiseWindow(window_.get());
    SDL_SetWindowInputFocus(window_.get());
    dirty_ = true;
  } else {
    SDL_HideWindow(window_.get());
  }
}

CasingWindow::Presented CasingWindow::present(const Display& display, bool settled, bool paused,
                                              std::int64_t (*now)()) {
  Presented p;
  if (relayout_) {
    if (Status laid = layOut(); !laid) {
      p.status = laid;
      return p;
    }
  }
  if (settled && shownVersion_ != display.version()) {
    shown_ = FrameState::of(display);
    shownVersion_ = display.version();
  }
  p.version = shownVersion_.value_or(0);
  if (paused != pausedShown_) {
    pausedShown_ = paused;
    dirty_ = true;
  }
  if (!visible_ || (!dirty_ && shown_ == onScreen_)) return p;
  p.drawn = true;
  p.drawStartNs = now ? now() : 0;
  // The pause's mark lies over the screens: a change beneath it is drawn with it.
  if (dirty_ || !partial_ || pausedShown_)
    drawAll();
  else
    drawChanges();
  onScreen_ = shown_;
  dirty_ = false;
  return p;
}

void CasingWindow::drawAll() {
  pictures_.draw(renderer_.get(), shown_, layout_);
  if (pausedShown_) drawPauseMark();
  if (onFrame) onFrame(renderer_.get());
  SDL_RenderPresent(renderer_.get());
}

// Only the segments that changed, over the casing beneath them, and only those parts go to the
// display: a crate's step costs a few hundred pixels, not the whole window.
void CasingWindow::drawChanges() {
  std::vector<SDL_Rect> rects;
  for (const Rect& changed : differences(onScreen_, shown_))
    for (const Rect& r : layout_.toWindow(changed)) rects.push_back({r.x, r.y, r.w, r.h});
  for (const SDL_Rect& r : rects) pictures_.draw(renderer_.get(), shown_, layout_, &r);
  if (onFrame) onFrame(renderer_.get());
  SDL_RenderFlush(renderer_.get());
  if (SDL_UpdateWindowSurfaceRects(window_.get(), rects.data(), static_cast<int>(rects.size())) !=
      0)
    drawAll();  // the surface went (resized, lost): the whole picture afresh
}

void CasingWindow::drawPauseMark() {
  SDL_Renderer* r = renderer_.get();
  SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_BLEND);
  const auto ink = [r](int alpha) {
    SDL_SetRenderDrawColor(r, kPauseInk[0], kPauseInk[1], kPauseInk[2], alpha);
  };
  const auto sdl = [](const Rect& at) { return SDL_Rect{at.x, at.y, at.w, at.h}; };
  for (const PauseMark& mark : pauseMarks(layout_)) {
    ink(kPauseVeilAlpha);
    const SDL_Rect veil = sdl(mark.veil);
    SDL_RenderFillRect(r, &veil);
    ink(kPauseBarAlpha);
    const SDL_Rect bars[2] = {sdl(mark.bars[0]), sdl(mark.bars[1])};
    SDL_RenderFillRects(r, bars, 2);
  }
  SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);
}

void CasingWindow::presentNow(const Display& display) {
  if (relayout_) (void)layOut();  // a failure is said at the next present
  pictures_.draw(renderer_.get(), FrameState::of(display), layout_);
  SDL_RenderPresent(renderer_.get());
}

}  // namespace cw
