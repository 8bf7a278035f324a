#include "platform/frame.h"

#include <SDL_image.h>

#include <algorithm>
#include <map>

#include "platform/resample.h"

namespace cw {
namespace {

constexpr Group kMouseSegments[] = {Group::ButtonA, Group::ButtonB, Group::ButtonTime, Group::ACL};

bool inside(const SegmentInfo& s, int x, int y) {
  return x >= s.x && x < s.x + s.w && y >= s.y && y < s.y + s.h;
}

std::string describe(const std::string& path, const std::string& why) {
  return "cannot use picture " + path + ": " + why;
}

// Whether every pixel of `s` (RGBA32) inside `r` is fully opaque.
bool opaqueWithin(SDL_Surface* s, const SDL_Rect& r) {
  SDL_LockSurface(s);
  bool opaque = true;
  for (int y = r.y; opaque && y < r.y + r.h && y < s->h; ++y) {
    const Uint8* row = static_cast<const Uint8*>(s->pixels) + y * s->pitch;
    for (int x = r.x; x < r.x + r.w && x < s->w; ++x) {
      if (row[4 * x + 3] != 255) {
        opaque = false;
        break;
      }
    }
  }
  SDL_UnlockSurface(s);
  return opaque;
}

// `s` (RGBA32) resized to w x h with a good filter; null when memory runs out.
SDL_Surface* resized(SDL_Surface* s, int w, int h) {
  SDL_Surface* r = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGBA32);
  if (!r) return nullptr;
  SDL_LockSurface(s);
  SDL_LockSurface(r);
  resample(PixelRows{s->w, s->h, s->pitch, static_cast<const std::uint8_t*>(s->pixels)},
           static_cast<std::uint8_t*>(r->pixels), w, h, r->pitch);
  SDL_UnlockSurface(r);
  SDL_UnlockSurface(s);
  return r;
}

// Loads one picture of set `set`, checks it is `set` times the size the layout gives it, and
// makes it the size it has at `scale`, as RGBA32. Null with `error` said on failure.
SDL_Surface* loadPicture(const std::string& path, int w, int h, int set, const Scaler& scale,
                         std::string& error) {
  SDL_Surface* loaded = IMG_Load(path.c_str());
  if (!loaded) {
    error = describe(path, IMG_GetError());
    return nullptr;
  }
  if (loaded->w != w * set || loaded->h != h * set) {
    error = describe(path, "it is " + std::to_string(loaded->w) + "x" + std::to_string(loaded->h) +
                               ", not " + std::to_string(w * set) + "x" + std::to_string(h * set));
    SDL_FreeSurface(loaded);
    return nullptr;
  }
  SDL_Surface* s = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_RGBA32, 0);
  SDL_FreeSurface(loaded);
  if (s && (scale.size(w) != s->w || scale.size(h) != s->h)) {
    SDL_Surface* r = resized(s, scale.size(w), scale.size(h));
    SDL_FreeSurface(s);
    s = r;
  }
  if (!s) error = describe(path, SDL_GetError());
  return s;
}

SDL_Texture* textureOf(SDL_Renderer* renderer, SDL_Surface* s, bool opaque, const std::string& path,
                       std::string& error) {
  SDL_Texture* t = SDL_CreateTextureFromSurface(renderer, s);
  if (!t) {
    error = describe(path, SDL_GetError());
    return nullptr;
  }
  SDL_SetTextureBlendMode(t, opaque ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
  return t;
}

bool overlaps(const Rect& a, const Rect& b) {
  return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

}  // namespace

int pictureSetFor(double scale) {
  for (int set : kPictureSets)
    if (set >= scale - 1e-9) return set;
  return kPictureSets.back();
}

std::string pictureSetDir(const std::string& assetsDir, int set) {
  return set == 1 ? assetsDir : assetsDir + "/" + std::to_string(set) + "x";
}

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
  sizes_.clear();
}

Status GameFrame::load(SDL_Renderer* renderer, const std::string& assetsDir, double scale,
                       std::string* note) {
  scale_ = scale;  // each set's loading releases what was there first
  for (int set = pictureSetFor(scale);; --set) {
    Status loaded = loadSet(renderer, pictureSetDir(assetsDir, set), set);
    if (loaded || set == 1) return loaded;
    if (note && note->empty())
      *note = loaded.error() + "; drawing from the smaller pictures instead";
  }
}

Status GameFrame::loadSet(SDL_Renderer* renderer, const std::string& dir, int set) {
  release();
  const Scaler scale(scale_);
  std::string error;
  const std::string casingPath = dir + "/" + std::string(kCasingPicture);
  SDL_Surface* casing = loadPicture(casingPath, kCasingWidth, kCasingHeight, set, scale, error);
  if (!casing) return failure(error);
  casingOpaque_ = opaqueWithin(casing, {0, 0, scale.px(kWindowWidth), scale.px(kWindowHeight)});
  // The casing's own backdrop continues around it; a casing with see-through parts lies on black.
  const Uint8* corner = static_cast<const Uint8*>(casing->pixels);
  backdrop_ =
      casingOpaque_ ? SDL_Color{corner[0], corner[1], corner[2], 255} : SDL_Color{0, 0, 0, 255};
  casing_ = textureOf(renderer, casing, casingOpaque_, casingPath, error);
  SDL_FreeSurface(casing);
  if (!casing_) return failure(error);
  // Segments that share a picture share one texture.
  std::map<std::string_view, int> byFile;
  const auto all = segments();
  for (int i = 0; i < kSegmentCount; ++i) {
    const SegmentInfo& s = all[i];
    auto [it, fresh] = byFile.emplace(s.picture, static_cast<int>(textures_.size()));
    if (fresh) {
      const std::string path = dir + "/" + std::string(s.picture);
      SDL_Surface* picture = loadPicture(path, s.w, s.h, set, scale, error);
      SDL_Texture* t = picture ? textureOf(renderer, picture, false, path, error) : nullptr;
      if (picture) SDL_FreeSurface(picture);
      if (!t) {
        release();
        return failure(error);
      }
      textures_.push_back(t);
      sizes_.emplace_back(scale.size(s.w), scale.size(s.h));
    }
    textureOf_[i] = it->second;
  }
  return {};
}

std::vector<Rect> differences(const FrameState& a, const FrameState& b) {
  // Beyond this many, one rectangle around them all costs less than drawing each.
  constexpr std::size_t kMostRects = 12;
  std::vector<Rect> rects;
  const auto all = segments();
  for (int i = 0; i < kSegmentCount; ++i) {
    if (a.picture[i] == b.picture[i]) continue;
    for (int source : {a.picture[i], b.picture[i]}) {
      if (source >= 0) rects.push_back({all[i].x, all[i].y, all[source].w, all[source].h});
    }
  }
  if (rects.size() > kMostRects) {
    int left = rects[0].x, top = rects[0].y, right = left, bottom = top;
    for (const Rect& r : rects) {
      left = std::min(left, r.x);
      top = std::min(top, r.y);
      right = std::max(right, r.x + r.w);
      bottom = std::max(bottom, r.y + r.h);
    }
    rects.assign(1, Rect{left, top, right - left, bottom - top});
  }
  return rects;
}

void GameFrame::draw(SDL_Renderer* renderer, const FrameState& frame, const ViewLayout& layout,
                     const SDL_Rect* clip) const {
  if (!loaded()) return;
  // An opaque casing that fills the window is copied over it as it is: nothing to clear,
  // nothing to blend (the two cost as much as the rest of a frame).
  if (!casingOpaque_ || !layout.fillsWindow()) {
    SDL_SetRenderDrawColor(renderer, backdrop_.r, backdrop_.g, backdrop_.b, 255);
    // A clear ignores the clip rectangle: within one, the background is filled instead.
    if (clip) {
      SDL_RenderSetClipRect(renderer, clip);
      SDL_RenderFillRect(renderer, clip);
    } else {
      SDL_RenderClear(renderer);
    }
  }
  const Scaler& scale = layout.scaler();
  const auto all = segments();
  for (int p = 0; p < layout.paneCount(); ++p) {
    const Pane& pane = layout.pane(p);
    const Rect to = layout.paneRect(p);
    const Rect from = scale.rect(pane.from);
    const SDL_Rect src{from.x, from.y, from.w, from.h}, dst{to.x, to.y, to.w, to.h};
    // Segments that reach over a pane's edge are cut there, not drawn onto the background; a
    // partial drawing stays within its clip.
    SDL_Rect area = dst;
    if (clip && !SDL_IntersectRect(&dst, clip, &area)) continue;
    const bool cut = clip || !layout.fillsWindow();
    if (cut) SDL_RenderSetClipRect(renderer, &area);
    SDL_RenderCopy(renderer, casing_, &src, &dst);
    for (int i = 0; i < kSegmentCount; ++i) {
      const int source = frame.picture[i];
      if (source < 0) continue;
      // A digit place shows its source's picture at its own place.
      const SegmentInfo& at = all[i];
      if (!overlaps({at.x, at.y, all[source].w, all[source].h}, pane.from)) continue;
      const auto [w, h] = sizes_[textureOf_[source]];
      const SDL_Rect d{to.x + scale.px(at.x) - from.x, to.y + scale.px(at.y) - from.y, w, h};
      if (cut && !SDL_HasIntersection(&d, &area)) continue;
      SDL_RenderCopy(renderer, textures_[textureOf_[source]], nullptr, &d);
    }
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
