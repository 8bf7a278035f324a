// The game window's picture: the casing with every shown segment laid over it.
#pragma once

#include <SDL.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "base/result.h"
#include "display/display.h"

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

// Where two pictures differ: the place of each segment's old and new picture, or when that
// makes many rectangles, the one that holds them all.
std::vector<SDL_Rect> differences(const FrameState& a, const FrameState& b);

class GameFrame {
 public:
  GameFrame() = default;
  GameFrame(const GameFrame&) = delete;
  GameFrame& operator=(const GameFrame&) = delete;
  ~GameFrame();

  // Loads the casing and every segment picture from `assetsDir` into textures of `renderer`.
  // The failure names the file that is missing or unusable and why; nothing is kept then.
  Status load(SDL_Renderer* renderer, const std::string& assetsDir);
  bool loaded() const { return casing_ != nullptr; }
  // Draws the whole window, or only what lies within `clip` when given. Draws nothing while no
  // pictures are loaded.
  void draw(SDL_Renderer* renderer, const FrameState& frame, const SDL_Rect* clip = nullptr) const;
  // Destroys the textures. Destroying the renderer frees them too, so this must come first.
  void release();

 private:
  SDL_Texture* casing_ = nullptr;
  bool casingOpaque_ = false;                   // where the window shows it
  std::vector<SDL_Texture*> textures_;          // one per distinct picture file
  std::array<int, kSegmentCount> textureOf_{};  // segment index to textures_ index
};

// The casing buttons that take the mouse: ButtonA, ButtonB, ButtonTime and ACL, where shown.
std::optional<Group> mouseSegmentAt(const Display& display, int x, int y);
// Whether (x, y) lies on one of those four buttons, shown or not: the window is dragged by
// everything else.
bool onCasingButton(int x, int y);

}  // namespace cw
