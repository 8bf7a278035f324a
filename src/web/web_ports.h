// The browser behind the live game's ports: WebAudio, the page's clocks, localStorage's key
// file, the page's canvas and <dialog>, a recording kept in memory. Each passes the request
// to the page (page_imports.h) or answers from what the page told it.
#pragma once

#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "base/seams.h"
#include "core/display/layout.h"
#include "live/input_router.h"
#include "live/live_game.h"
#include "live/live_sound.h"
#include "live/recorder.h"
#include "live/view_layout.h"

namespace cw {

// Sounds play in the page; each hold is the WAV's length, as measured from the file the page
// fetched (or as a recording played back tells it). The page's audio is always ready once
// started: no device to open ahead of a sound or close after silence.
class WebSound final : public LiveSound {
 public:
  Millis play(std::string_view name, int flags) override;
  Millis holdLength(std::string_view name) override;
  void tellHolds(const ToldHolds& holds) override { told_ = holds; }
  void wake(std::int64_t) override {}
  bool deviceOpen() const override { return true; }
  bool canOpen() const override { return true; }
  std::int64_t closeWhenSilent(std::int64_t) override { return -1; }
  void setMuted(bool muted) override { muted_ = muted; }
  // The file of the sound `name`, as the page fetched it (none: it holds nothing).
  void setFile(std::string_view name, std::string_view bytes);

 private:
  std::vector<std::pair<std::string, Millis>> fileLengths_;
  ToldHolds told_;
  bool muted_ = false;
};

// The local time as the page formats it, at the wall-clock time core time `at` stands for.
class WebTimeText final : public TimeTextPort {
 public:
  void setOrigin(double wallMs) {
    originWallMs_ = wallMs;
    second_ = kNone;
  }
  const std::string& localTimeText(Millis at) override;

 private:
  double originWallMs_ = 0;
  static constexpr double kNone = std::numeric_limits<double>::quiet_NaN();
  double second_ = kNone;  // the wall clock's second the text is of (NaN: none yet)
  std::string text_;
};

// The key file in the page's storage, holding exactly the desktop's file text.
class WebKeyFile final : public KeyFilePort {
 public:
  std::optional<std::string> read() override;
  Status write(std::string_view content) override;
};

// The casing's canvas, w x h device pixels: the picture fitted to it at whatever scale fills it
// best, in the casing view or the screens view.
class WebScreen final : public ScreenControls {
 public:
  static constexpr WindowId kId = 1;
  void resize(int w, int h);
  const ViewLayout& layout() const { return layout_; }

  WindowId windowId() const override { return kId; }
  std::optional<std::pair<int, int>> toLogical(int x, int y) const override {
    return layout_.toLogical(x, y);
  }
  void stepScale(int) override {}  // the picture always fills the page
  void toggleView() override;
  void toggleFullscreen() override;

 private:
  ViewKind view_ = ViewKind::Casing;
  int w_ = kWindowWidth, h_ = kWindowHeight;
  ViewLayout layout_ = ViewLayout::forWindow(view_, 1, w_, h_);
};

// The page's <dialog>: it shows its own tooltips. Its rows and its close button reach the game
// as presses at their places in the dialog's layout.
class WebDialog final : public DialogControls {
 public:
  static constexpr WindowId kId = 2;
  bool isOpen() const override { return open_; }
  WindowId windowId() const override { return kId; }
  int rowAt(int x, int y) const override;
  bool closeAt(int x, int y) const override;
  void dismissTooltip() override {}

 private:
  friend class WebWindow;
  bool open_ = false;
};

// The game's requests of its windows, passed to the page.
class WebWindow final : public LiveWindows {
 public:
  explicit WebWindow(WebDialog& dialog) : dialog_(dialog) {}
  void showGameWindow(bool shown, bool enabled) override;
  void showDialog(bool open) override;

 private:
  WebDialog& dialog_;
};

// A recording kept in the page's memory until it is downloaded.
class MemorySink final : public RecordingSink {
 public:
  const std::string& name() const override { return name_; }
  Status write(std::string_view text) override {
    text_ += text;
    return {};
  }
  Status sync() override { return {}; }
  const std::string& text() const { return text_; }

 private:
  std::string name_ = "crateworks.rec";
  std::string text_;
};

}  // namespace cw
