#include "platform/dialog_window.h"

#include <algorithm>

#include "platform/x11_windows.h"

namespace cw {
namespace {

// The classic dialog colours.
constexpr SDL_Color kFace{212, 208, 200, 255};
constexpr SDL_Color kShadow{128, 128, 128, 255};
constexpr SDL_Color kDarkShadow{64, 64, 64, 255};
constexpr SDL_Color kHighlight{255, 255, 255, 255};
constexpr SDL_Color kText{0, 0, 0, 255};
constexpr SDL_Color kTipFace{255, 255, 225, 255};

// Unicode of the Windows-1252 codes 0x80..0x9F; 0 where the set leaves a code undefined.
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

bool inside(const SDL_Rect& r, int x, int y) {
  return x >= r.x && x < r.x + r.w && y >= r.y && y < r.y + r.h;
}

void setColor(SDL_Renderer* r, SDL_Color c) {
  SDL_SetRenderDrawColor(r, c.r, c.g, c.b, c.a);
}

SDL_Rect sdlRect(const Rect& r) {
  return {r.x, r.y, r.w, r.h};
}

Rect rectOf(const SDL_Rect& r) {
  return {r.x, r.y, r.w, r.h};
}

// The font's size at 8 points is its size at 96 dpi; other sizes are that at another dpi.
constexpr int kPoints = 8;
constexpr int kDpi = 96;

}  // namespace

const std::array<DialogControl, 4> kDialogLabels{{
    {{8, 16, 65, 17}, "Nando's key up"},
    {{8, 40, 97, 17}, "Nando's key down"},
    {{8, 64, 73, 17}, "Bepo's key up"},
    {{8, 88, 105, 17}, "Bepo's key down"},
}};
const std::array<DialogControl, 4> kDialogBoxes{{
    {{136, 16, 17, 19}, "Nando's up key"},
    {{136, 40, 17, 19}, "Nando's down key"},
    {{136, 64, 17, 19}, "Bepo's up key"},
    {{136, 88, 17, 19}, "Bepo's down key"},
}};

int dialogLabelAt(int x, int y) {
  for (int i = 0; i < 4; ++i)
    if (inside(kDialogLabels[i].rect, x, y)) return i + 1;
  return 0;
}

int dialogBoxAt(int x, int y) {
  for (int i = 0; i < 4; ++i)
    if (inside(kDialogBoxes[i].rect, x, y)) return i + 1;
  return 0;
}

std::string windows1252ToUtf8(int code) {
  if (code < 32 || code > 255) return {};
  const unsigned u = code >= 0x80 && code < 0xA0 ? kHigh[code - 0x80] : static_cast<unsigned>(code);
  std::string s;
  if (u == 0) return s;
  if (u < 0x80) {
    s += static_cast<char>(u);
  } else if (u < 0x800) {
    s += static_cast<char>(0xC0 | (u >> 6));
    s += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (u >> 12));
    s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (u & 0x3F));
  }
  return s;
}

// ---------------------------------------------------------------- tooltips

void Tooltips::pointerAt(int box, Millis now) {
  if (box == box_) return;
  box_ = box;
  since_ = now;
  dismissed_ = false;
}

void Tooltips::dismiss() {
  dismissed_ = true;
}

int Tooltips::shown(Millis now) const {
  if (box_ == 0 || dismissed_) return 0;
  return now >= since_ + kDelayMs && now < since_ + kDelayMs + kShowMs ? box_ : 0;
}

Millis Tooltips::nextChange(Millis now) const {
  if (box_ == 0 || dismissed_) return -1;
  if (now < since_ + kDelayMs) return since_ + kDelayMs;
  if (now < since_ + kDelayMs + kShowMs) return since_ + kDelayMs + kShowMs;
  return -1;
}

// ---------------------------------------------------------------- the window

Status DialogWindow::open(TTF_Font* font, SDL_Surface* icon, SDL_Window* owner, double scale) {
  close();
  font_ = font;
  scaler_ = Scaler(scale);
  // Hidden until the window manager has been told what it is: it reads that as the window maps.
  window_ = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                             scaler_.px(kDialogWidth), scaler_.px(kDialogHeight),
                             SDL_WINDOW_UTILITY | SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_HIDDEN);
  if (!window_) return failure(SDL_GetError());
  if (icon) SDL_SetWindowIcon(window_, icon);
  renderer_ = SDL_CreateRenderer(window_, -1, 0);
  if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (!renderer_) {
    Failure why = failure(SDL_GetError());
    close();
    return why;
  }
  // Only now that the renderer is made: making one may make the window anew under SDL.
  // Transient for the game window (X11 only): kept with it, above it and out of the taskbar.
  if (owner) SDL_SetWindowModalFor(window_, owner);
  askForPlainDialog(window_);
  fitLabels();
  focus_ = 0;
  tooltips_ = Tooltips{};
  dirty_ = true;
  restoreAt_ = -1;
  SDL_ShowWindow(window_);
  takeFocus();
  return {};
}

void DialogWindow::takeFocus() {
  if (!window_) return;
  // A window manager does not always give a new window the keyboard; raising it asks for it,
  // and the input focus (X11) makes sure a key pressed at once reaches the dialog.
  SDL_RaiseWindow(window_);
  SDL_SetWindowInputFocus(window_);
}

void DialogWindow::minimised(Millis now) {
  if (!window_) return;
  askToRestore(window_);
  restoreAt_ = now + kRestoreAgainMs;
}

void DialogWindow::restored() {
  if (!window_) return;
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
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  renderer_ = nullptr;
  window_ = nullptr;
}

int DialogWindow::labelAt(int x, int y) const {
  return dialogLabelAt(scaler_.unitAt(x), scaler_.unitAt(y));
}

int DialogWindow::boxAt(int x, int y) const {
  return dialogBoxAt(scaler_.unitAt(x), scaler_.unitAt(y));
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
  v.focus = focus_;
  v.tooltip = tooltips_.shown(now);
  if (!dirty_ && v == drawn_) return;
  draw(dialog, v.tooltip);
  SDL_RenderPresent(renderer_);
  drawn_ = v;
  dirty_ = false;
}

// Text at window pixel (x, y).
void DialogWindow::text(const std::string& utf8, int x, int y, SDL_Color color) {
  if (utf8.empty() || !font_) return;
  SDL_Surface* s = TTF_RenderUTF8_Blended(font_, utf8.c_str(), color);
  if (!s) return;
  if (SDL_Texture* t = SDL_CreateTextureFromSurface(renderer_, s)) {
    const SDL_Rect dst{x, y, s->w, s->h};
    SDL_RenderCopy(renderer_, t, nullptr, &dst);
    SDL_DestroyTexture(t);
  }
  SDL_FreeSurface(s);
}

// A rectangle in the dialog's 1x pixels, filled at its scale.
void DialogWindow::fill(int x, int y, int w, int h, SDL_Color color) {
  setColor(renderer_, color);
  const SDL_Rect r = sdlRect(scaler_.rect({x, y, w, h}));
  SDL_RenderFillRect(renderer_, &r);
}

void DialogWindow::sunkenBox(const SDL_Rect& r) {
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

void DialogWindow::focusFrame(const SDL_Rect& r) {
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

void DialogWindow::labels() {
  useSize(labelDpi_);
  const int lineHeight = font_ ? TTF_FontHeight(font_) : 0;
  for (int i = 0; i < 4; ++i) {
    const Rect l = scaler_.rect(rectOf(kDialogLabels[i].rect));
    text(kDialogLabels[i].text, l.x, l.y + (l.h - lineHeight) / 2, kText);
    if (focus_ == 4 + i) focusFrame(kDialogLabels[i].rect);
  }
}

void DialogWindow::draw(const KeyRemapDialog& dialog, int tooltip) {
  setColor(renderer_, kFace);
  SDL_RenderClear(renderer_);
  labels();
  useSize(textDpi_);
  for (int i = 0; i < 4; ++i) {
    const SDL_Rect& b = kDialogBoxes[i].rect;
    sunkenBox(b);
    const Rect at = scaler_.rect(rectOf(b));
    const std::string ch = windows1252ToUtf8(dialog.box(i + 1));
    int w = 0, h = 0;
    if (!ch.empty() && font_) TTF_SizeUTF8(font_, ch.c_str(), &w, &h);
    text(ch, at.x + (at.w - w) / 2, at.y + (at.h - h) / 2, kText);
    if (focus_ == i) focusFrame({b.x + 3, b.y + 3, b.w - 6, b.h - 6});
  }
  if (tooltip >= 1 && tooltip <= 4 && font_) this->tooltip(tooltip);
}

// The tooltip of key box `row`, below it (above when there is no room), at the right edge.
void DialogWindow::tooltip(int row) {
  const DialogControl& box = kDialogBoxes[row - 1];
  const Scaler& s = scaler_;
  int w = 0, h = 0;
  TTF_SizeUTF8(font_, box.text, &w, &h);
  SDL_Rect tip{0, 0, w + s.px(8), h + s.px(4)};
  const int width = s.px(kDialogWidth), height = s.px(kDialogHeight);
  tip.x = std::max(s.px(1), width - tip.w - s.px(1));
  tip.y = s.px(box.rect.y + box.rect.h + 2);
  if (tip.y + tip.h > height) tip.y = s.px(box.rect.y - 2) - tip.h;
  setColor(renderer_, kText);  // a one-pixel frame at 1x, thicker as the dialog grows
  SDL_RenderFillRect(renderer_, &tip);
  const int edge = s.px(1);
  const SDL_Rect face{tip.x + edge, tip.y + edge, tip.w - 2 * edge, tip.h - 2 * edge};
  setColor(renderer_, kTipFace);
  SDL_RenderFillRect(renderer_, &face);
  text(box.text, tip.x + s.px(4), tip.y + s.px(2), kText);
}

}  // namespace cw
