#include "sdl/window/dialog_window.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "live/key_names.h"

#include "sdl/window/desktop.h"
#include "sdl/window/renderer.h"
#include "sdl/window/x11_desktop.h"

namespace cw {
namespace {

// The classic dialog colours.
constexpr SDL_Color kFace{212, 208, 200, 255};
constexpr SDL_Color kShadow{128, 128, 128, 255};
constexpr SDL_Color kDarkShadow{64, 64, 64, 255};
constexpr SDL_Color kHighlight{255, 255, 255, 255};
constexpr SDL_Color kText{0, 0, 0, 255};
constexpr SDL_Color kTipFace{255, 255, 225, 255};
constexpr SDL_Color kSelection{10, 36, 106, 255};  // a selected item's ground
constexpr SDL_Color kSelectedText{255, 255, 255, 255};

void setColor(SDL_Renderer* r, SDL_Color c) {
  SDL_SetRenderDrawColor(r, c.r, c.g, c.b, c.a);
}

SDL_Rect sdlRect(const Rect& r) {
  return {r.x, r.y, r.w, r.h};
}

// The font's size at 8 points is its size at 96 dpi; other sizes are that at another dpi.
constexpr int kPoints = 8;
constexpr int kDpi = 96;

}  // namespace

// ---------------------------------------------------------------- the window

Status DialogWindow::open(TTF_Font* font, SDL_Surface* icon, SDL_Window* owner, double scale) {
  close();
  font_ = font;
  scaler_ = Scaler(scale);
  const int w = scaler_.px(kDialogWidth), h = scaler_.px(kDialogHeight);
  if (!window_) {
    // Hidden until the window manager has been told what it is: it reads that as the window
    // maps. On Wayland drawn in the output's own pixels, as the game window is.
    const Uint32 flags = SDL_WINDOW_UTILITY | SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_HIDDEN |
                         (onWayland() ? SDL_WINDOW_ALLOW_HIGHDPI : 0);
    window_.reset(
        SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h, flags));
    if (!window_) return failure(SDL_GetError());
    if (icon) SDL_SetWindowIcon(window_.get(), icon);
    renderer_ = makeRenderer(window_.get());
    if (!renderer_) {
      Failure why = failure(SDL_GetError());
      window_.reset();
      return why;
    }
    unit_ = pixelsPerUnit(window_.get(), renderer_.get());
  }
  // In the window's units (a kept window may have been opened at another scale).
  const int units[2] = {static_cast<int>(std::ceil(w / unit_)),
                        static_cast<int>(std::ceil(h / unit_))};
  int now[2] = {0, 0};
  SDL_GetWindowSize(window_.get(), &now[0], &now[1]);
  if (now[0] != units[0] || now[1] != units[1])
    SDL_SetWindowSize(window_.get(), units[0], units[1]);
  // Only now that the renderer is made: making one may make the window anew under SDL.
  // Transient for the game window (X11 only): kept with it, above it and out of the taskbar.
  if (owner) SDL_SetWindowModalFor(window_.get(), owner);
  askForPlainDialog(window_.get());
  fitLabels();
  closePressed_ = false;
  tooltips_ = Tooltips{};
  dirty_ = true;
  restoreAt_ = -1;
  open_ = true;
  SDL_ShowWindow(window_.get());
  takeFocus();
  return {};
}

void DialogWindow::takeFocus() {
  if (!open_) return;
  // A window manager does not always give a new window the keyboard; raising it asks for it,
  // and the input focus (X11) makes sure a key pressed at once reaches the dialog.
  SDL_RaiseWindow(window_.get());
  SDL_SetWindowInputFocus(window_.get());
}

void DialogWindow::minimised(Millis now) {
  if (!open_) return;
  askToRestore(window_.get());
  restoreAt_ = now + kRestoreAgainMs;
}

void DialogWindow::restored() {
  if (!open_) return;
  restoreAt_ = -1;
  takeFocus();
  dirty_ = true;
}

Millis DialogWindow::nextChange(Millis now) const {
  const Millis tip = tooltips_.nextChange(now);
  if (restoreAt_ < 0) return tip;
  return tip < 0 ? restoreAt_ : std::min(tip, restoreAt_);
}

void DialogWindow::close() {
  open_ = false;
  if (window_ && onWayland()) {
    // libdecor (0.1) may still hand SDL (2.26) an event of the frame of a window destroyed
    // after a click on its close box, and SDL then reads the freed window and crashes: on
    // Wayland the window is only hidden, and kept for the next opening.
    SDL_HideWindow(window_.get());
    return;
  }
  renderer_.reset();
  window_.reset();
}

// Points as the mouse reports them are in the window's units; the dialog is drawn in its
// output's pixels, `unit_` of them to a unit.
std::pair<int, int> DialogWindow::logicalAt(int x, int y) const {
  return {scaler_.unitAt(static_cast<int>(x * unit_)), scaler_.unitAt(static_cast<int>(y * unit_))};
}

int DialogWindow::rowAt(int x, int y) const {
  const auto [lx, ly] = logicalAt(x, y);
  return dialogRowAt(lx, ly);
}

bool DialogWindow::closeAt(int x, int y) const {
  const auto [lx, ly] = logicalAt(x, y);
  return kDialogClose.rect.contains(lx, ly);
}

void DialogWindow::pointerAt(int x, int y, bool leftHeld) {
  closePressed_ = leftHeld && closeAt(x, y);
}

int DialogWindow::boxAt(int x, int y) const {
  const auto [lx, ly] = logicalAt(x, y);
  return dialogBoxAt(lx, ly);
}

// Our font is wider than the one the dialog's places were made for: the labels take the
// largest size at which every text lies within its place, so that each visible letter is on
// the place that a click chooses its row by.
void DialogWindow::fitLabels() {
  textDpi_ = labelDpi_ = static_cast<int>(kDpi * scaler_.scale() + 0.5);
  if (!font_) return;
  for (; labelDpi_ > kDpi / 4; --labelDpi_) {
    useSize(labelDpi_);
    bool fits = TTF_FontHeight(font_) <= scaler_.size(kDialogLabels[0].rect.h);
    for (const DialogControl& l : kDialogLabels) {
      int w = 0, h = 0;
      fits = fits && TTF_SizeUTF8(font_, l.text, &w, &h) == 0 && w <= scaler_.size(l.rect.w);
    }
    if (fits) break;
  }
}

void DialogWindow::useSize(int dpi) {
  if (!font_ || dpi == fontDpi_) return;
  TTF_SetFontSizeDPI(font_, kPoints, dpi, dpi);
  fontDpi_ = dpi;
}

void DialogWindow::update(const KeyRemapDialog& dialog, Millis now) {
  if (!isOpen()) return;
  if (restoreAt_ >= 0 && now >= restoreAt_) minimised(now);
  View v;
  for (int row = 1; row <= 4; ++row) v.boxes[row - 1] = dialog.box(row);
  v.selected = dialog.state().SelectedKeyRow;
  v.tooltip = tooltips_.shown(now);
  v.closePressed = closePressed_;
  if (!dirty_ && v == drawn_) return;
  draw(dialog, v.tooltip);
  SDL_RenderPresent(renderer_.get());
  drawn_ = v;
  dirty_ = false;
}

// Text at window pixel (x, y).
void DialogWindow::text(const std::string& utf8, int x, int y, SDL_Color color) {
  if (utf8.empty() || !font_) return;
  const SurfaceHandle s(TTF_RenderUTF8_Blended(font_, utf8.c_str(), color));
  if (!s) return;
  if (const TextureHandle t{SDL_CreateTextureFromSurface(renderer_.get(), s.get())}) {
    const SDL_Rect dst{x, y, s->w, s->h};
    SDL_RenderCopy(renderer_.get(), t.get(), nullptr, &dst);
  }
}

// A rectangle in the dialog's 1x pixels, filled at its scale.
void DialogWindow::fill(int x, int y, int w, int h, SDL_Color color) {
  setColor(renderer_.get(), color);
  const SDL_Rect r = sdlRect(scaler_.rect({x, y, w, h}));
  SDL_RenderFillRect(renderer_.get(), &r);
}

void DialogWindow::sunkenBox(const Rect& r) {
  const int x0 = r.x, y0 = r.y, x1 = r.x + r.w - 1, y1 = r.y + r.h - 1;
  fill(r.x, r.y, r.w, r.h, kHighlight);
  fill(x0, y0, x1 - x0, 1, kShadow);  // outer edge, lit from the top left
  fill(x0, y0, 1, y1 - y0, kShadow);
  fill(x0 + 1, y0 + 1, x1 - x0 - 2, 1, kDarkShadow);
  fill(x0 + 1, y0 + 1, 1, y1 - y0 - 2, kDarkShadow);
  fill(x0 + 1, y1 - 1, x1 - x0 - 1, 1, kFace);
  fill(x1 - 1, y0 + 1, 1, y1 - y0 - 1, kFace);
  fill(x0, y1, x1 - x0 + 1, 1, kHighlight);
  fill(x1, y0, 1, y1 - y0 + 1, kHighlight);
}

// A push button, lit from the top left, or pushed in.
void DialogWindow::raisedButton(const Rect& r, bool pressed) {
  const int x0 = r.x, y0 = r.y, x1 = r.x + r.w - 1, y1 = r.y + r.h - 1;
  fill(r.x, r.y, r.w, r.h, kFace);
  if (pressed) {
    fill(x0, y0, r.w, 1, kDarkShadow);
    fill(x0, y0, 1, r.h, kDarkShadow);
    fill(x0 + 1, y0 + 1, r.w - 2, 1, kShadow);
    fill(x0 + 1, y0 + 1, 1, r.h - 2, kShadow);
    fill(x0, y1, r.w, 1, kHighlight);
    fill(x1, y0, 1, r.h, kHighlight);
    return;
  }
  fill(x0, y0, r.w - 1, 1, kHighlight);
  fill(x0, y0, 1, r.h - 1, kHighlight);
  fill(x0 + 1, y1 - 1, r.w - 2, 1, kShadow);
  fill(x1 - 1, y0 + 1, 1, r.h - 2, kShadow);
  fill(x0, y1, r.w, 1, kDarkShadow);
  fill(x1, y0, 1, r.h, kDarkShadow);
}

void DialogWindow::focusFrame(const Rect& r) {
  const int x0 = r.x, y0 = r.y, x1 = r.x + r.w - 1, y1 = r.y + r.h - 1;
  for (int x = x0; x <= x1; x += 2) {
    fill(x, y0, 1, 1, kText);
    fill(x, y1, 1, 1, kText);
  }
  for (int y = y0; y <= y1; y += 2) {
    fill(x0, y, 1, 1, kText);
    fill(x1, y, 1, 1, kText);
  }
}

// The labels; the selected row's on the ground of a selected item, so that the player sees
// which row takes the next key.
void DialogWindow::labels(int selected) {
  useSize(labelDpi_);
  const int lineHeight = font_ ? TTF_FontHeight(font_) : 0;
  for (int i = 0; i < 4; ++i) {
    const Rect l = scaler_.rect(kDialogLabels[i].rect);
    const int y = l.y + (l.h - lineHeight) / 2;
    if (selected == i + 1 && font_) {
      int w = 0, h = 0;
      TTF_SizeUTF8(font_, kDialogLabels[i].text, &w, &h);
      const int margin = scaler_.px(2);
      setColor(renderer_.get(), kSelection);
      const SDL_Rect ground{l.x - margin, l.y, w + 2 * margin, l.h};
      SDL_RenderFillRect(renderer_.get(), &ground);
      text(kDialogLabels[i].text, l.x, y, kSelectedText);
    } else {
      text(kDialogLabels[i].text, l.x, y, kText);
    }
  }
}

void DialogWindow::draw(const KeyRemapDialog& dialog, int tooltip) {
  const int selected = dialog.state().SelectedKeyRow;
  setColor(renderer_.get(), kFace);
  SDL_RenderClear(renderer_.get());
  labels(selected);
  useSize(textDpi_);
  for (int i = 0; i < 4; ++i) {
    const Rect& b = kDialogBoxes[i].rect;
    sunkenBox(b);
    const Rect at = scaler_.rect(b);
    const std::string ch = windows1252ToUtf8(dialog.box(i + 1));
    int w = 0, h = 0;
    if (!ch.empty() && font_) TTF_SizeUTF8(font_, ch.c_str(), &w, &h);
    text(ch, at.x + (at.w - w) / 2, at.y + (at.h - h) / 2, kText);
    // The focus frame marks the box the next key goes to, and no other.
    if (selected == i + 1) focusFrame({b.x + 3, b.y + 3, b.w - 6, b.h - 6});
  }
  const Rect& c = kDialogClose.rect;
  raisedButton(c, closePressed_);
  if (font_) {
    const Rect at = scaler_.rect(c);
    const int shift = closePressed_ ? scaler_.px(1) : 0;
    int w = 0, h = 0;
    TTF_SizeUTF8(font_, kDialogClose.text, &w, &h);
    text(kDialogClose.text, at.x + (at.w - w) / 2 + shift, at.y + (at.h - h) / 2 + shift, kText);
  }
  if (tooltip >= 1 && tooltip <= 4 && font_) this->tooltip(tooltip, dialog.keys()[tooltip - 1]);
}

// The tooltip of key box `row`, which holds `code`: what the box is and the key's name, on one
// line or, when that is wider than the dialog, on two. Below the box (above when there is no
// room), at the right edge.
void DialogWindow::tooltip(int row, int code) {
  const DialogControl& box = kDialogBoxes[row - 1];
  const Scaler& s = scaler_;
  const int width = s.px(kDialogWidth), height = s.px(kDialogHeight);
  std::vector<std::string> lines{boxTooltip(row, code)};
  int w = 0, h = 0;
  TTF_SizeUTF8(font_, lines[0].c_str(), &w, &h);
  if (w + s.px(10) > width) {
    lines = {std::string(box.text) + ":", keyName(code)};
    w = 0;
    for (const std::string& line : lines) {
      int lw = 0;
      TTF_SizeUTF8(font_, line.c_str(), &lw, &h);
      w = std::max(w, lw);
    }
  }
  const int lineHeight = TTF_FontLineSkip(font_);
  SDL_Rect tip{0, 0, w + s.px(8), h + lineHeight * static_cast<int>(lines.size() - 1) + s.px(4)};
  tip.x = std::max(s.px(1), width - tip.w - s.px(1));
  tip.y = s.px(box.rect.y + box.rect.h + 2);
  if (tip.y + tip.h > height) tip.y = s.px(box.rect.y - 2) - tip.h;
  setColor(renderer_.get(), kText);  // a one-pixel frame at 1x, thicker as the dialog grows
  SDL_RenderFillRect(renderer_.get(), &tip);
  const int edge = s.px(1);
  const SDL_Rect face{tip.x + edge, tip.y + edge, tip.w - 2 * edge, tip.h - 2 * edge};
  setColor(renderer_.get(), kTipFace);
  SDL_RenderFillRect(renderer_.get(), &face);
  for (std::size_t i = 0; i < lines.size(); ++i)
    text(lines[i], tip.x + s.px(4), tip.y + s.px(2) + lineHeight * static_cast<int>(i), kText);
}

}  // namespace cw
