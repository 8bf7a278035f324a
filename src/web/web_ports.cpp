#include "web/web_ports.h"

#include <algorithm>
#include <cmath>

#include "base/wav_length.h"
#include "live/dialog_layout.h"
#include "web/page_imports.h"

namespace cw {

Millis WebSound::play(std::string_view name, int flags) {
  // Muted, nothing is heard; a waiting sound holds as long all the same.
  if (!muted_) pagePlaySound(name.data(), static_cast<int>(name.size()), flags);
  return flags == kSoundWait ? holdLength(name) : 0;
}

Millis WebSound::holdLength(std::string_view name) {
  if (const std::optional<Millis> told = told_.find(name)) return *told;
  for (const auto& [n, ms] : fileLengths_)
    if (sameSoundName(n, name)) return ms;
  return 0;  // a sound the page could not read holds nothing, as a missing file does
}

void WebSound::setFile(std::string_view name, std::string_view bytes) {
  // The same length the desktop and the replay measure.
  fileLengths_.emplace_back(std::string(name), wavLengthOf(bytes).value_or(0));
}

const std::string& WebTimeText::localTimeText(Millis at) {
  // The clock's ticks read the time hundreds of times a second; its text changes once a second,
  // so the page formats each second once.
  const double wallMs = originWallMs_ + static_cast<double>(at);
  const double second = std::floor(wallMs / 1000);
  if (second == second_) return text_;
  second_ = second;
  char text[64];
  const int n = pageTimeText(wallMs, text, sizeof text);
  text_.assign(text, static_cast<std::size_t>(std::clamp(n, 0, static_cast<int>(sizeof text))));
  return text_;
}

std::optional<std::string> WebKeyFile::read() {
  const int n = pageKeyFileLength();
  if (n < 0) return std::nullopt;
  std::string text(static_cast<std::size_t>(n), '\0');
  pageKeyFileRead(text.data(), n);
  return text;
}

Status WebKeyFile::write(std::string_view content) {
  char why[256];
  const int n = pageKeyFileWrite(content.data(), static_cast<int>(content.size()), why, sizeof why);
  if (n == 0) return {};
  return failure(std::string(why, static_cast<std::size_t>(std::clamp(n, 0, 256))));
}

void WebScreen::resize(int w, int h) {
  w_ = std::max(w, 1);
  h_ = std::max(h, 1);
  layout_ = ViewLayout::forWindow(view_, 1, w_, h_);
}

void WebScreen::toggleView() {
  view_ = view_ == ViewKind::Casing ? ViewKind::Screens : ViewKind::Casing;
  layout_ = ViewLayout::forWindow(view_, 1, w_, h_);
  pageViewChanged();
}

void WebScreen::toggleFullscreen() {
  pageToggleFullscreen();
}

int WebDialog::rowAt(int x, int y) const {
  return dialogRowAt(x, y);
}

bool WebDialog::closeAt(int x, int y) const {
  return kDialogClose.rect.contains(x, y);
}

void WebWindow::showGameWindow(bool shown, bool) {
  pageShowGame(shown ? 1 : 0);
}

void WebWindow::showDialog(bool open) {
  dialog_.open_ = open;
  pageShowDialog(open ? 1 : 0);
}

}  // namespace cw
