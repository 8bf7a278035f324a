#include "platform/frame.h"

#include <SDL_image.h>

#include <map>

namespace cw {
namespace {

constexpr Group kMouseSegments[] = {Group::ButtonA, Group::ButtonB, Group::ButtonTime, Group::ACL};

bool inside(const SegmentInfo& s, int x, int y) {
  return x >= s.x && x < s.x + s.w && y >= s.y && y < s.y + s.h;
}

std::string describe(const std::string& path, const std::string& why) {
  return "cannot use picture " + path + ": " + why;
}

// Whether every pixel of `s` inside `r` is fully opaque.
bool opaqueWithin(SDL_Surface* s, const SDL_Rect& r) {
  if (!s->format->Amask) return true;
  SDL_Surface* rgba = SDL_ConvertSurfaceFormat(s, SDL_PIXELFORMAT_RGBA32, 0);
  if (!rgba) return false;
  bool opaque = true;
  SDL_LockSurface(rgba);
  for (int y = r.y; opaque && y < r.y + r.h && y < rgba->h; ++y) {
    const Uint8* row = static_cast<const Uint8*>(rgba->pixels) + y * rgba->pitch;
    for (int x = r.x; x < r.x + r.w && x < rgba->w; ++x) {
      if (row[4 * x + 3] != 255) {
        opaque = false;
        break;
      }
    }
  }
  SDL_UnlockSurface(rgba);
  SDL_FreeSurface(rgba);
  return opaque;
}

// Loads one picture and checks it has the size the layout gives it. `opaque`, when given, is
// told whether the part of it the window shows is fully opaque.
SDL_Texture* loadPicture(SDL_Renderer* renderer, const std::string& path, int w, int h,
                         std::string& error, bool* opaque = nullptr) {
  SDL_Surface* surface = IMG_Load(path.c_str());
  if (!surface) {
    error = describe(path, IMG_GetError());
    return nullptr;
  }
  if (surface->w != w || surface->h != h) {
    error =
        describe(path, "it is " + std::to_string(surface->w) + "x" + std::to_string(surface->h) +
                           ", not " + std::to_string(w) + "x" + std::to_string(h));
    SDL_FreeSurface(surface);
    return nullptr;
  }
  if (opaque) *opaque = opaqueWithin(surface, {0, 0, kWindowWidth, kWindowHeight});
  SDL_Texture* texture = SDL_CreateTextureFromSurface(renderer, surface);
  SDL_FreeSurface(surface);
  if (!texture) {
    error = describe(path, SDL_GetError());
    return nullptr;
  }
  SDL_SetTextureBlendMode(texture, opaque && *opaque ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
  return texture;
}

}  // namespace

FrameState FrameState::of(const Display& display) {
  FrameState f;
  for (int i = 0; i < kSegmentCount; ++i)
    f.picture[i] = static_cast<std::int16_t>(display.shownAt(i) ? display.pictureSource(i) : -1);
  return f;
}

GameFrame::~GameFrame() {
  release();
}

void GameFrame::release() {
  if (casing_) SDL_DestroyTexture(casing_);
  casing_ = nullptr;
  for (SDL_Texture* t : textures_) SDL_DestroyTexture(t);
  textures_.clear();
}

Status GameFrame::load(SDL_Renderer* renderer, const std::string& assetsDir) {
  release();
  std::string error;
  casing_ = loadPicture(renderer, assetsDir + "/" + std::string(kCasingPicture), kCasingWidth,
                        kCasingHeight, error, &casingOpaque_);
  if (!casing_) return failure(error);
  // Segments that share a picture share one texture.
  std::map<std::string_view, int> byFile;
  const auto all = segments();
  for (int i = 0; i < kSegmentCount; ++i) {
    const SegmentInfo& s = all[i];
    auto [it, fresh] = byFile.emplace(s.picture, static_cast<int>(textures_.size()));
    if (fresh) {
      SDL_Texture* t =
          loadPicture(renderer, assetsDir + "/" + std::string(s.picture), s.w, s.h, error);
      if (!t) {
        release();
        return failure(error);
      }
      textures_.push_back(t);
    }
    textureOf_[i] = it->second;
  }
  return {};
}

std::vector<SDL_Rect> differences(const FrameState& a, const FrameState& b) {
  // Beyond this many, one rectangle around them all costs less than drawing each.
  constexpr std::size_t kMostRects = 12;
  std::vector<SDL_Rect> rects;
  const auto all = segments();
  for (int i = 0; i < kSegmentCount; ++i) {
    if (a.picture[i] == b.picture[i]) continue;
    for (int source : {a.picture[i], b.picture[i]}) {
      if (source >= 0) rects.push_back({all[i].x, all[i].y, all[source].w, all[source].h});
    }
  }
  if (rects.size() > kMostRects) {
    SDL_Rect box = rects[0];
    for (const SDL_Rect& r : rects) SDL_UnionRect(&box, &r, &box);
    rects.assign(1, box);
  }
  const SDL_Rect window{0, 0, kWindowWidth, kWindowHeight};
  for (SDL_Rect& r : rects) SDL_IntersectRect(&r, &window, &r);
  return rects;
}

void GameFrame::draw(SDL_Renderer* renderer, const FrameState& frame, const SDL_Rect* clip) const {
  if (!loaded()) return;
  // The window is the casing's top-left 802 x 448; the rest of the picture is never seen.
  const SDL_Rect visible{0, 0, kWindowWidth, kWindowHeight};
  const SDL_Rect& area = clip ? *clip : visible;
  SDL_RenderSetClipRect(renderer, clip);
  // An opaque casing is copied over the window as it is: nothing to clear, nothing to blend
  // (the two cost as much as the rest of a frame).
  if (!casingOpaque_) {
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    SDL_RenderFillRect(renderer, &area);
  }
  SDL_RenderCopy(renderer, casing_, &area, &area);
  const auto all = segments();
  for (int i = 0; i < kSegmentCount; ++i) {
    const int source = frame.picture[i];
    if (source < 0) continue;
    // A digit place shows its source's picture at its own place.
    const SegmentInfo& at = all[i];
    const SDL_Rect dst{at.x, at.y, all[source].w, all[source].h};
    if (clip && !SDL_HasIntersection(&dst, clip)) continue;
    SDL_RenderCopy(renderer, textures_[textureOf_[source]], nullptr, &dst);
  }
  SDL_RenderSetClipRect(renderer, nullptr);
}

std::optional<Group> mouseSegmentAt(const Display& display, int x, int y) {
  // The buttons do not overlap; the last one drawn would win if they did.
  std::optional<Group> hit;
  for (Group g : kMouseSegments) {
    const int i = segmentIndex(g, 0);
    if (display.shownAt(i) && inside(segments()[i], x, y)) hit = g;
  }
  return hit;
}

bool onCasingButton(int x, int y) {
  for (Group g : kMouseSegments)
    if (inside(segments()[segmentIndex(g, 0)], x, y)) return true;
  return false;
}

}  // namespace cw
