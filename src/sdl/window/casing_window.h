// The casing's window on screen: the borderless window cut to the casing, its renderer and
// pictures, the picture it last presented, and how large it shows it: the scale, the view
// (the whole casing or the two screens alone) and fullscreen. It shows the core's game window
// (GameWindow), which knows nothing of it.
#pragma once

#include <SDL.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/result.h"
#include "host/conf_file.h"
#include "live/frame_state.h"
#include "live/input_router.h"
#include "live/view_layout.h"
#include "sdl/handles/sdl_handles.h"
#include "sdl/window/casing_pictures.h"

namespace cw {

struct ScreenOptions {
  // Asked on the command line for this run; the settings file's or the desktop's otherwise.
  std::optional<double> scale;
  // An asked scale too large for the screen gives way to the largest that fits, as a
  // remembered one does; otherwise it is taken as asked (tests on a display of a fixed size).
  bool fitAskedScale = false;
  std::optional<ViewKind> view;
  bool fullscreen = false;
  // Where the chosen scale and view are remembered.
  Result<std::string> confPath{failure("no settings file named")};
};

class CasingWindow final : public ScreenControls {
 public:
  CasingWindow() = default;
  CasingWindow(const CasingWindow&) = delete;
  CasingWindow& operator=(const CasingWindow&) = delete;

  // Creates the window, hidden until shown, sized for the scale and view, and loads the
  // pictures and the icon from `assets`. A settings file that cannot be used is said and left
  // for the defaults.
  Status open(const std::string& assets, const ScreenOptions& options = {});
  // Loads the pictures again from the same place (the render device lost them). On failure
  // nothing is drawn any more.
  Status reload();
  // Destroys the window and what it holds (before SDL quits).
  void close();

  SDL_Window* window() const { return window_.get(); }
  WindowId windowId() const override { return window_ ? SDL_GetWindowID(window_.get()) : 0; }
  bool visible() const { return visible_; }

  // Shows the window, raised and with the keyboard focus, or hides it.
  void show(bool shown);
  // The window must be drawn again (exposed, restored, its targets lost).
  void exposed() { dirty_ = true; }

  // The scale the player chose, which the key dialog follows too.
  double scale() const { return scale_; }
  // The logical point under the window's point (x, y) (in its units, as the mouse reports
  // it), or nothing where the picture is not.
  std::optional<std::pair<int, int>> toLogical(int x, int y) const override {
    return layout_.toLogical(static_cast<int>(x * unit_), static_cast<int>(y * unit_));
  }
  // The player's changes, which take effect from the next frame; the scale and view are
  // remembered. The scale steps along kScales as far as the window fits the screen, and only
  // in a window: fullscreen fills the screen whatever the scale.
  void stepScale(int steps) override;
  void toggleView() override;
  void toggleFullscreen() override;
  // The window's size changed: the picture is laid out afresh.
  void resized() { relayout_ = true; }

  struct Presented {
    bool drawn = false;            // a frame was drawn and presented
    std::int64_t drawStartNs = 0;  // when drawing it began, when drawn
    std::uint64_t version = 0;     // the display version the screen shows
    Status status;                 // fails when the pictures for a new size could not be loaded
  };
  // Takes the display's picture when `settled` (no hold is under way) and presents it when it
  // differs from the one on screen or the window needs drawing, with the pause's mark over it
  // while `paused`. `now` gives the steady clock.
  Presented present(const Display& display, bool settled, bool paused, std::int64_t (*now)());
  // Draws and presents `display` at once, whatever was on screen (before the window shows).
  void presentNow(const Display& display);

  // Called with each frame drawn, just before it is presented (tests read the pixels here).
  std::function<void(SDL_Renderer*)> onFrame;

 private:
  static SDL_HitTestResult hitTest(SDL_Window* window, const SDL_Point* p, void* self);
  void drawAll();
  void drawChanges();
  // Paused: the screens dimmed, each with two bars (pauseMarks).
  void drawPauseMark();
  void chooseSize(const ScreenOptions& options);
  void cutToCasing();
  Status layOut();
  void fitWindow(bool centred);
  void applyFullscreen();
  void remember();
  SDL_Rect usableArea() const;

  std::string assets_;
  // In the order they go: the pictures before their renderer, the renderer before its window.
  WindowHandle window_;
  RendererHandle renderer_;
  CasingPictures pictures_;
  ConfFile conf_{failure("no settings file named")};
  double scale_ = 1;
  ViewKind view_ = ViewKind::Casing;
  bool fullscreen_ = false;
  // Without a window manager fullscreen is a window of the screen's size, placed on it by us;
  // where the window was before.
  bool managed_ = true;
  // The renderer's pixels to one of the window's units (the output's scale on Wayland).
  double unit_ = 1;
  // The window shows the desktop through the casing's clear parts (a compositor's alpha).
  bool seeThrough_ = false;
  // The window is cut to the shell's shape (where the platform cuts windows so).
  bool shaped_ = false;
  int windowedX_ = 0, windowedY_ = 0;
  ViewLayout layout_ = ViewLayout::forWindow(ViewKind::Casing, 1, kWindowWidth, kWindowHeight);
  bool relayout_ = false;
  bool saidUnsaved_ = false;
  // The renderer draws into the window's own surface, which keeps its pixels between frames:
  // a change is drawn and sent to the display alone.
  bool partial_ = false;
  // The picture to show, and the display version it was taken from.
  FrameState shown_{};
  std::optional<std::uint64_t> shownVersion_;
  // The picture on screen, when there is one.
  FrameState onScreen_{};
  bool visible_ = false;
  bool pausedShown_ = false;  // the pause's mark is on screen
  // The whole window must be drawn again.
  bool dirty_ = true;
};

}  // namespace cw
