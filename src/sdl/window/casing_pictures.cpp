#include "sdl/window/casing_pictures.h"

#include <SDL_image.h>

#include <algorithm>
#include <map>

#include "live/resample.h"

namespace cw {
namespace {

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
SurfaceHandle resized(SDL_Surface* s, int w, int h) {
  SurfaceHandle r(SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGBA32));
  if (!r) return r;
  SDL_LockSurface(s);
  SDL_LockSurface(r.get());
  resample(PixelRows{s->w, s->h, s->pitch, static_cast<const std::uint8_t*>(s->pixels)},
           static_cast<std::uint8_t*>(r->pixels), w, h, r->pitch);
  SDL_UnlockSurface(r.get());
  SDL_UnlockSurface(s);
  return r;
}

// Loads one picture of set `set`, checks it is `set` times the size the layout gives it, and
// makes it the size it has at `scale`, as RGBA32.
Result<SurfaceHandle> loadPicture(const std::string& path, int w, int h, int set,
                                  const Scaler& scale) {
  const SurfaceHandle loaded(IMG_Load(path.c_str()));
  if (!loaded) return failure(describe(path, IMG_GetError()));
  if (loaded->w != w * set || loaded->h != h * set)
    return failure(describe(path, "it is " + std::to_string(loaded->w) + "x" +
                                      std::to_string(loaded->h) + ", not " +
                                      std::to_string(w * set) + "x" + std::to_string(h * set)));
  SurfaceHandle s(SDL_ConvertSurfaceFormat(loaded.get(), SDL_PIXELFORMAT_RGBA32, 0));
  if (s && (scale.size(w) != s->w || scale.size(h) != s->h))
    s = resized(s.get(), scale.size(w), scale.size(h));
  if (!s) return failure(describe(path, SDL_GetError()));
  return s;
}

// The colour the window shows around the shell where it cannot show the desktop through its
// corners and its hinge gap: the casing art's backdrop.
constexpr SDL_Color kBackdrop{0x24, 0x21, 0x1e, 255};

// `s` (RGBA32) laid over the backdrop: opaque, drawn without blending.
void flatten(SDL_Surface* s) {
  SDL_LockSurface(s);
  for (int y = 0; y < s->h; ++y) {
    Uint8* p = static_cast<Uint8*>(s->pixels) + y * s->pitch;
    for (int x = 0; x < s->w; ++x, p += 4) {
      const int a = p[3];
      p[0] = static_cast<Uint8>((p[0] * a + kBackdrop.r * (255 - a) + 127) / 255);
      p[1] = static_cast<Uint8>((p[1] * a + kBackdrop.g * (255 - a) + 127) / 255);
      p[2] = static_cast<Uint8>((p[2] * a + kBackdrop.b * (255 - a) + 127) / 255);
      p[3] = 255;
    }
  }
  SDL_UnlockSurface(s);
}

// The pixels of `s` (RGBA32) within `r` that are more opaque than not, as rectangles: each row's
// runs, with the same runs on rows that follow one another made one rectangle.
std::vector<Rect> opaqueArea(SDL_Surface* s, const SDL_Rect& r) {
  std::vector<Rect> area;
  std::vector<Rect> row, open;  // this row's runs; the rectangles the row before extended
  SDL_LockSurface(s);
  for (int y = r.y; y < r.y + r.h && y < s->h; ++y) {
    const Uint8* p = static_cast<const Uint8*>(s->pixels) + y * s->pitch;
    row.clear();
    for (int x = r.x; x < r.x + r.w && x < s->w;) {
      if (p[4 * x + 3] < 128) {
        ++x;
        continue;
      }
      const int x0 = x;
      while (x < r.x + r.w && x < s->w && p[4 * x + 3] >= 128) ++x;
      row.push_back({x0, y, x - x0, 1});
    }
    const bool same = row.size() == open.size() && std::equal(row.begin(), row.end(), open.begin(),
                                                              [](const Rect& a, const Rect& b) {
                                                                return a.x == b.x && a.w == b.w;
                                                              });
    if (same) {
      for (Rect& o : open) ++o.h;
      continue;
    }
    area.insert(area.end(), open.begin(), open.end());
    open = row;
  }
  SDL_UnlockSurface(s);
  area.insert(area.end(), open.begin(), open.end());
  return area;
}

Result<TextureHandle> textureOf(SDL_Renderer* renderer, SDL_Surface* s, bool opaque,
                                const std::string& path) {
  TextureHandle t(SDL_CreateTextureFromSurface(renderer, s));
  if (!t) return failure(describe(path, SDL_GetError()));
  SDL_SetTextureBlendMode(t.get(), opaque ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
  return t;
}

}  // namespace

void CasingPictures::release() {
  casing_.reset();
  outline_.clear();
  textures_.clear();
  sizes_.clear();
}

CasingPictures::Loaded CasingPictures::load(SDL_Renderer* renderer, const std::string& assetsDir,
                                            double scale, bool seeThrough) {
  Loaded result;
  scale_ = scale;  // each set's loading releases what was there first
  seeThrough_ = seeThrough;
  for (int set = pictureSetFor(scale);; --set) {
    result.status = loadSet(renderer, pictureSetDir(assetsDir, set), set);
    if (result.status || set == 1) return result;
    if (result.note.empty())
      result.note = result.status.error() + "; drawing from the smaller pictures instead";
  }
}

Status CasingPictures::loadSet(SDL_Renderer* renderer, const std::string& dir, int set) {
  release();
  const Scaler scale(scale_);
  const std::string casingPath = dir + "/" + std::string(kCasingPicture);
  Result<SurfaceHandle> casing = loadPicture(casingPath, kCasingWidth, kCasingHeight, set, scale);
  if (!casing) return failure(casing.error());
  SDL_Surface* surface = casing->get();
  const SDL_Rect shown{0, 0, scale.px(kWindowWidth), scale.px(kWindowHeight)};
  std::vector<Rect> outline = opaqueArea(surface, shown);
  // Where the window cannot show the desktop through the casing, the backdrop fills its clear
  // parts once here, and the casing is copied as it is at each frame.
  if (!seeThrough_) flatten(surface);
  casingOpaque_ = opaqueWithin(surface, shown);
  Result<TextureHandle> casingTexture = textureOf(renderer, surface, casingOpaque_, casingPath);
  if (!casingTexture) return failure(casingTexture.error());
  // Segments that share a picture share one texture.
  std::vector<TextureHandle> textures;
  std::vector<std::pair<int, int>> sizes;
  std::map<std::string_view, int> byFile;
  const auto all = segments();
  for (int i = 0; i < kSegmentCount; ++i) {
    const SegmentInfo& s = all[i];
    auto [it, fresh] = byFile.emplace(s.picture, static_cast<int>(textures.size()));
    if (fresh) {
      const std::string path = dir + "/" + std::string(s.picture);
      Result<SurfaceHandle> picture = loadPicture(path, s.w, s.h, set, scale);
      if (!picture) return failure(picture.error());
      Result<TextureHandle> t = textureOf(renderer, picture->get(), false, path);
      if (!t) return failure(t.error());
      textures.push_back(std::move(t).value());
      sizes.emplace_back(scale.size(s.w), scale.size(s.h));
    }
    textureOf_[i] = it->second;
  }
  casing_ = std::move(casingTexture).value();
  outline_ = std::move(outline);
  textures_ = std::move(textures);
  sizes_ = std::move(sizes);
  return {};
}

void CasingPictures::draw(SDL_Renderer* renderer, const FrameState& frame, const ViewLayout& layout,
                          const SDL_Rect* clip) const {
  if (!loaded()) return;
  // An opaque casing that fills the window is copied over it as it is: nothing to clear,
  // nothing to blend (the two cost as much as the rest of a frame).
  if (!casingOpaque_ || !layout.fillsWindow()) {
    // Around the shell the desktop shows through, where it can and the whole casing shows.
    const bool clear = seeThrough_ && layout.fillsWindow() && layout.paneCount() == 1;
    const SDL_Color c = clear ? SDL_Color{0, 0, 0, 0} : kBackdrop;
    SDL_SetRenderDrawColor(renderer, c.r, c.g, c.b, c.a);
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
    SDL_RenderCopy(renderer, casing_.get(), &src, &dst);
    for (int i = 0; i < kSegmentCount; ++i) {
      const int source = frame.picture[i];
      if (source < 0) continue;
      // A digit place shows its source's picture at its own place.
      const SegmentInfo& at = all[i];
      if (!Rect{at.x, at.y, all[source].w, all[source].h}.overlaps(pane.from)) continue;
      const auto [w, h] = sizes_[textureOf_[source]];
      const SDL_Rect d{to.x + scale.px(at.x) - from.x, to.y + scale.px(at.y) - from.y, w, h};
      if (cut && !SDL_HasIntersection(&d, &area)) continue;
      SDL_RenderCopy(renderer, textures_[textureOf_[source]].get(), nullptr, &d);
    }
  }
  SDL_RenderSetClipRect(renderer, nullptr);
}

}  // namespace cw
