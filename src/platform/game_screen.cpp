#include "platform/game_screen.h"

#include <SDL_image.h>

namespace cw {
namespace {

// The casing drags the window; the four buttons keep their own mouse input.
SDL_HitTestResult hitTest(SDL_Window*, const SDL_Point* p, void*) {
  return onCasingButton(p->x, p->y) ? SDL_HITTEST_NORMAL : SDL_HITTEST_DRAGGABLE;
}

SDL_Renderer* makeRenderer(SDL_Window* w) {
  // No vsync: presenting must never block the 2 ms timer.
  if (SDL_Renderer* r = SDL_CreateRenderer(w, -1, 0)) return r;
  return SDL_CreateRenderer(w, -1, SDL_RENDERER_SOFTWARE);
}

}  // namespace

GameScreen::~GameScreen() {
  close();
}

void GameScreen::close() {
  frame_.release();  // the textures go before their renderer, which would free them under it
  if (renderer_) SDL_DestroyRenderer(renderer_);
  if (window_) SDL_DestroyWindow(window_);
  renderer_ = nullptr;
  window_ = nullptr;
  visible_ = false;
}

Status GameScreen::open(const std::string& assets) {
  assets_ = assets;
  window_ =
      SDL_CreateWindow("Crateworks Sim", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                       kWindowWidth, kWindowHeight, SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
  if (window_) renderer_ = makeRenderer(window_);
  if (!renderer_) return failure(std::string("cannot open a window: ") + SDL_GetError());
  SDL_SetWindowHitTest(window_, hitTest, nullptr);
  SDL_RendererInfo info{};
  partial_ = SDL_GetRendererInfo(renderer_, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE);
  if (Status loaded = frame_.load(renderer_, assets_); !loaded) return loaded;
  const std::string iconPath = assets_ + "/" + std::string(kWindowIcon);
  SDL_Surface* icon = IMG_Load(iconPath.c_str());
  if (!icon) return failure("cannot use picture " + iconPath + ": " + IMG_GetError());
  SDL_SetWindowIcon(window_, icon);
  SDL_FreeSurface(icon);
  return {};
}

Status GameScreen::reload() {
  Status loaded = frame_.load(renderer_, assets_);
  dirty_ = true;
  return loaded;
}

void GameScreen::show(bool shown) {
  if (!window_ || shown == visible_) return;
  visible_ = shown;
  if (shown) {
    SDL_ShowWindow(window_);
    // Without a window manager nobody hands the focus back after the dialog closes.
    SDL_RaiseWindow(window_);
    SDL_SetWindowInputFocus(window_);
    dirty_ = true;
  } else {
    SDL_HideWindow(window_);
  }
}

GameScreen::Presented GameScreen::present(const Display& display, bool settled,
                                          std::int64_t (*now)()) {
  if (settled && shownVersion_ != display.version()) {
    shown_ = FrameState::of(display);
    shownVersion_ = display.version();
  }
  Presented p;
  p.version = shownVersion_.value_or(0);
  if (!visible_ || (!dirty_ && presented_ && shown_ == onScreen_)) return p;
  p.drawn = true;
  p.drawStartNs = now ? now() : 0;
  if (dirty_ || !partial_ || !presented_)
    drawAll();
  else
    drawChanges();
  onScreen_ = shown_;
  presented_ = true;
  dirty_ = false;
  return p;
}

void GameScreen::drawAll() {
  frame_.draw(renderer_, shown_);
  if (onFrame) onFrame(renderer_);
  SDL_RenderPresent(renderer_);
}

// Only the segments that changed, over the casing beneath them, and only those parts go to the
// display: a crate's step costs a few hundred pixels, not the whole window.
void GameScreen::drawChanges() {
  const std::vector<SDL_Rect> rects = differences(onScreen_, shown_);
  for (const SDL_Rect& r : rects) frame_.draw(renderer_, shown_, &r);
  if (onFrame) onFrame(renderer_);
  SDL_RenderFlush(renderer_);
  if (SDL_UpdateWindowSurfaceRects(window_, rects.data(), static_cast<int>(rects.size())) != 0)
    drawAll();  // the surface went (resized, lost): the whole picture afresh
}

void GameScreen::presentNow(const Display& display) {
  frame_.draw(renderer_, FrameState::of(display));
  SDL_RenderPresent(renderer_);
}

}  // namespace cw
