// The game window on screen: the borderless window cut to the casing, its renderer and
// pictures, and the picture it last presented.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/result.h"
#include "platform/frame.h"

namespace cw {

class GameScreen {
 public:
  GameScreen() = default;
  GameScreen(const GameScreen&) = delete;
  GameScreen& operator=(const GameScreen&) = delete;
  ~GameScreen();

  // Creates the window, hidden until shown, and loads the pictures and the icon from `assets`.
  Status open(const std::string& assets);
  // Loads the pictures again from the same place (the render device lost them). On failure
  // nothing is drawn any more.
  Status reload();
  // Destroys the window and what it holds (before SDL quits).
  void close();

  SDL_Window* window() const { return window_; }
  SDL_Renderer* renderer() const { return renderer_; }
  Uint32 windowId() const { return window_ ? SDL_GetWindowID(window_) : 0; }
  bool visible() const { return visible_; }

  // Shows the window, raised and with the keyboard focus, or hides it.
  void show(bool shown);
  // The window must be drawn again (exposed, restored, its targets lost).
  void exposed() { dirty_ = true; }

  struct Presented {
    bool drawn = false;            // a frame was drawn and presented
    std::int64_t drawStartNs = 0;  // when drawing it began, when drawn
    std::uint64_t version = 0;     // the display version the screen shows
  };
  // Takes the display's picture when `settled` (no hold is under way) and presents it when it
  // differs from the one on screen or the window needs drawing. `now` gives the steady clock.
  Presented present(const Display& display, bool settled, std::int64_t (*now)());
  // Draws and presents `display` at once, whatever was on screen (before the window shows).
  void presentNow(const Display& display);

  // Called with each frame drawn, just before it is presented (tests read the pixels here).
  std::function<void(SDL_Renderer*)> onFrame;

 private:
  void drawAll();
  void drawChanges();

  std::string assets_;
  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  // The renderer draws into the window's own surface, which keeps its pixels between frames:
  // a change is drawn and sent to the display alone.
  bool partial_ = false;
  GameFrame frame_;
  // The picture to show, and the display version it was taken from.
  FrameState shown_{};
  std::optional<std::uint64_t> shownVersion_;
  // The picture on screen, when there is one.
  FrameState onScreen_{};
  bool presented_ = false;
  bool visible_ = false;
  // The whole window must be drawn again.
  bool dirty_ = true;
};

}  // namespace cw
