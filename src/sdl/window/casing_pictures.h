// The casing's pictures as textures of one renderer, and the drawing of a frame from them: the
// casing with every shown segment laid over it, at any scale and in either view.
#pragma once

#include <SDL.h>

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "base/result.h"
#include "live/frame_state.h"
#include "live/view_layout.h"
#include "sdl/handles/sdl_handles.h"

namespace cw {

class CasingPictures {
 public:
  CasingPictures() = default;
  CasingPictures(const CasingPictures&) = delete;
  CasingPictures& operator=(const CasingPictures&) = delete;

  // What a load did: the failure names the 1x file that is missing or unusable and why, and
  // nothing is kept then; `note` says why a larger set gave way to a smaller one.
  struct Loaded {
    Status status;
    std::string note;
  };
  // Loads the casing and every segment picture from `assetsDir` into textures of `renderer`,
  // sized for drawing at `scale`: from pictureSetFor(scale), resized once here when the scale
  // is not the set's own. A larger set that cannot be used gives way to the next smaller one.
  // `seeThrough`: the window shows the desktop where the casing is clear (around the shell's
  // rounded corners and in its hinge gap), as a compositor does with the picture's
  // transparency; otherwise the casing's backdrop fills those parts.
  Loaded load(SDL_Renderer* renderer, const std::string& assetsDir, double scale,
              bool seeThrough = false);
  bool loaded() const { return casing_ != nullptr; }
  double scale() const { return scale_; }
  // Draws the whole window as `layout` places the picture, at the scale the pictures were
  // loaded for, or only what lies within `clip` (window pixels) when given. Draws nothing while
  // no pictures are loaded.
  void draw(SDL_Renderer* renderer, const FrameState& frame, const ViewLayout& layout,
            const SDL_Rect* clip = nullptr) const;
  // Frees the textures, which must go before their renderer.
  void release();
  // The shell's shape at the loaded scale, as rectangles of the whole casing's picture within
  // the part the window shows: the window's shape where a platform cuts windows to shapes.
  const std::vector<Rect>& outline() const { return outline_; }

 private:
  Status loadSet(SDL_Renderer* renderer, const std::string& dir, int set);

  double scale_ = 1;
  TextureHandle casing_;
  bool casingOpaque_ = false;  // where the window shows it
  bool seeThrough_ = false;    // the casing keeps its transparency
  std::vector<Rect> outline_;
  std::vector<TextureHandle> textures_;         // one per distinct picture file
  std::vector<std::pair<int, int>> sizes_;      // their sizes in pixels
  std::array<int, kSegmentCount> textureOf_{};  // segment index to textures_ index
};

}  // namespace cw
