#include "live/dialog_layout.h"

#include "live/key_names.h"

namespace cw {
namespace {

// Unicode of the Windows-1252 codes 0x80..0x9F; 0 where the set leaves a code undefined.
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

}  // namespace

const std::array<DialogControl, 4> kDialogLabels{{
    {{8, 16, 65, 17}, "Nando's key up"},
    {{8, 40, 97, 17}, "Nando's key down"},
    {{8, 64, 73, 17}, "Bepo's key up"},
    {{8, 88, 105, 17}, "Bepo's key down"},
}};
const std::array<DialogControl, 4> kDialogBoxes{{
    {{136, 16, 17, 19}, "Nando's up key"},
    {{136, 40, 17, 19}, "Nando's down key"},
    {{136, 64, 17, 19}, "Bepo's up key"},
    {{136, 88, 17, 19}, "Bepo's down key"},
}};

const DialogControl kDialogClose{{93, 116, 60, 22}, "Close"};

int dialogLabelAt(int x, int y) {
  for (int i = 0; i < 4; ++i)
    if (kDialogLabels[i].rect.contains(x, y)) return i + 1;
  return 0;
}

int dialogBoxAt(int x, int y) {
  for (int i = 0; i < 4; ++i)
    if (kDialogBoxes[i].rect.contains(x, y)) return i + 1;
  return 0;
}

int dialogRowAt(int x, int y) {
  const int label = dialogLabelAt(x, y);
  return label != 0 ? label : dialogBoxAt(x, y);
}

std::string boxTooltip(int row, int code) {
  return std::string(kDialogBoxes[row - 1].text) + ": " + keyName(code);
}

std::string windows1252ToUtf8(int code) {
  if (code < 32 || code > 255) return {};
  const unsigned u = code >= 0x80 && code < 0xA0 ? kHigh[code - 0x80] : static_cast<unsigned>(code);
  std::string s;
  if (u == 0) return s;
  if (u < 0x80) {
    s += static_cast<char>(u);
  } else if (u < 0x800) {
    s += static_cast<char>(0xC0 | (u >> 6));
    s += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (u >> 12));
    s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (u & 0x3F));
  }
  return s;
}

void Tooltips::pointerAt(int box, Millis now) {
  if (box == box_) return;
  box_ = box;
  since_ = now;
  dismissed_ = false;
}

void Tooltips::dismiss() {
  dismissed_ = true;
}

int Tooltips::shown(Millis now) const {
  if (box_ == 0 || dismissed_) return 0;
  return now >= since_ + kDelayMs && now < since_ + kDelayMs + kShowMs ? box_ : 0;
}

Millis Tooltips::nextChange(Millis now) const {
  if (box_ == 0 || dismissed_) return -1;
  if (now < since_ + kDelayMs) return since_ + kDelayMs;
  if (now < since_ + kDelayMs + kShowMs) return since_ + kDelayMs + kShowMs;
  return -1;
}

}  // namespace cw
