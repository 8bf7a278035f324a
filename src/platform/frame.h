// The game window's picture: the casing with every shown segment laid over it, at any scale and
// in either view.
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "core/display/display.h"
#include "platform/view.h"

namespace cw {

// What the window shows, kept apart from the live display so that the last picture presented
// can be drawn again (after an expose) while the core is in the middle of a hold.
struct FrameState {
  // Per segment, in drawing order: the index of the segment whose picture it shows, or -1 when
  // it is hidden.
  std::array<std::int16_t, kSegmentCount> picture{};
  static FrameState of(const Display& display);
  bool operator==(const FrameState&) const = default;
};

// The sets of pictures there are: assets/ holds 1x, assets/2x/ and assets/3x/ the larger ones.
inline constexpr std::array<int, 3> kPictureSets{1, 2, 3};
// The set to draw at `scale` from: the smallest no smaller than it, else the largest.
int pictureSetFor(double scale);
// The folder of a set under the assets folder.
std::string pictureSetDir(const std::string& assetsDir, int set);

// Where two pictures differ, in logical coordinates: the place of each segment's old and new
// picture, or when that makes many rectangles, the one that holds them all.
std::vector<Rect> differences(const FrameState& a, const FrameState& b);

class GameFrame {
 public:
  GameFrame() = default;
  GameFrame(const GameFrame&) = delete;
  GameFrame& operator=(const GameFrame&) = delete;
  ~GameFrame();

  // Loads the casing and every segment picture from `assetsDir` into textures of `renderer`,
  // sized for drawing at `scale`: from pictureSetFor(scale), resized once here when the scale
  // is not the set's own. A larger set that cannot be used gives way to the next smaller one,
  // and `note` says why. The failure names the 1x file that is missing or unusable and why;
  // nothing is kept then.
  Status load(SDL_Renderer* renderer, const std::string& assetsDir, double scale,
              std::string* note = nullptr);
  bool loaded() const { return casing_ != nullptr; }
  double scale() const { return scale_; }
  // Draws the whole window as `layout` places the picture, at the scale the pictures were
  // loaded for, or only what lies within `clip` (window pixels) when given. Draws nothing while
  // no pictures are loaded.
  void draw(SDL_Renderer* renderer, const FrameState& frame, const ViewLayout& layout,
            const SDL_Rect* clip = nullptr) const;
  // Destroys the textures. Destroying the renderer frees them too, so this must come first.
  void release();

 private:
  Status loadSet(SDL_Renderer* renderer, const std::string& dir, int set);

  double scale_ = 1;
  SDL_Texture* casing_ = nullptr;
  bool casingOpaque_ = false;         // where the window shows it
  SDL_Color backdrop_{0, 0, 0, 255};  // shown around the picture where it does not fill the window
  std::vector<SDL_Texture*> textures_;          // one per distinct picture file
  std::vector<std::pair<int, int>> sizes_;      // their sizes in pixels
  std::array<int, kSegmentCount> textureOf_{};  // segment index to textures_ index
};

// The casing buttons that take the mouse: ButtonA, ButtonB, ButtonTime and ACL, where shown.
// (x, y) is a logical point.
std::optional<Group> mouseSegmentAt(const Display& display, int x, int y);
// Whether logical (x, y) lies on one of those four buttons, shown or not: the window is dragged
// by everything else.
bool onCasingButton(int x, int y);

}  // namespace cw
