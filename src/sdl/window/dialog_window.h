// The key remap dialog on screen: four labels, four one-character key boxes, their tooltips, a
// close button and the marks of the row that takes the next key (its label highlighted, a focus
// frame in its box), drawn by us in a small window of its own, at the scale the game is shown
// at.
#pragma once

#include <SDL.h>
#include <SDL_ttf.h>

#include <array>
#include <string>
#include <utility>

#include "base/result.h"
#include "core/keyremap/key_remap_dialog.h"
#include "live/dialog_layout.h"
#include "live/input_router.h"
#include "live/view_layout.h"
#include "sdl/handles/sdl_handles.h"

namespace cw {

class DialogWindow final : public DialogControls {
 public:
  DialogWindow() = default;
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;

  // Opens the window centred on the screen, a dialog of `owner` (the game window, which may be
  // hidden), raised and with the keyboard focus: it takes every key while it is open.
  // Everything in it is `scale` times its size; the font's size is set here: the labels take
  // the largest that fits each text in its place.
  Status open(TTF_Font* font, SDL_Surface* icon, SDL_Window* owner, double scale = 1);
  void close();
  // The window manager minimised the window: with the game window hidden, nothing of the
  // program would be left to see. It is asked for back at once, and again every
  // kRestoreAgainMs until it is (a window manager still minimising it may ignore the ask).
  static constexpr Millis kRestoreAgainMs = 250;
  void minimised(Millis now);
  // It is back: raised and given the keyboard again.
  void restored();
  // When the dialog next needs the loop (a tooltip changes, or a restore is due), or -1.
  Millis nextChange(Millis now) const;
  bool isOpen() const override { return open_; }
  WindowId windowId() const override { return open_ ? SDL_GetWindowID(window_.get()) : 0; }
  SDL_Window* window() const { return open_ ? window_.get() : nullptr; }
  SDL_Renderer* renderer() const { return renderer_.get(); }
  const Scaler& scaler() const { return scaler_; }
  // The row (1..4) of the label or key box at the window's point (x, y) (in its units, as the
  // mouse reports it), or 0; whether the close button is there.
  int rowAt(int x, int y) const override;
  int boxAt(int x, int y) const;
  bool closeAt(int x, int y) const override;
  void dismissTooltip() override { tooltips_.dismiss(); }
  // Where the pointer is, and whether its left button is held: the close button looks pressed
  // while it is held on it.
  void pointerAt(int x, int y, bool leftHeld);
  Tooltips& tooltips() { return tooltips_; }
  void exposed() { dirty_ = true; }

  // Draws and presents the dialog when anything on it changed or the window was exposed.
  void update(const KeyRemapDialog& dialog, Millis now);
  // Draws the whole dialog with the tooltip of box `tooltip` (0: none), without presenting.
  void draw(const KeyRemapDialog& dialog, int tooltip);

 private:
  // The dialog's logical point under window point (x, y).
  std::pair<int, int> logicalAt(int x, int y) const;
  struct View {
    std::array<int, 4> boxes{};
    int selected = 0;
    int tooltip = 0;
    bool closePressed = false;
    bool operator==(const View&) const = default;
  };
  void fitLabels();
  void useSize(int dpi);
  void text(const std::string& utf8, int x, int y, SDL_Color color);
  void fill(int x, int y, int w, int h, SDL_Color color);
  void sunkenBox(const Rect& r);
  void raisedButton(const Rect& r, bool pressed);
  void focusFrame(const Rect& r);
  void labels(int selected);
  void tooltip(int row, int code);
  void takeFocus();

  // The renderer goes before its window.
  WindowHandle window_;
  RendererHandle renderer_;
  bool open_ = false;         // shown; a closed window may be kept hidden (on Wayland)
  TTF_Font* font_ = nullptr;  // the front end's
  Scaler scaler_;
  double unit_ = 1;    // the renderer's pixels to one of the window's units (Wayland's scale)
  int textDpi_ = 96;   // the font's 8 points at the dialog's scale
  int labelDpi_ = 96;  // as large as lets every label's text lie within its place
  int fontDpi_ = 0;    // the size the font has now
  Tooltips tooltips_;
  bool closePressed_ = false;
  View drawn_{};
  bool dirty_ = true;
  Millis restoreAt_ = -1;  // when to ask for the minimised window back, or -1
};

}  // namespace cw
