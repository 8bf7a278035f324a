// The key remap dialog as every live front end lays it out: where its labels and key boxes lie,
// what they say, the text of a key's character, and when a key box's tooltip shows.
#pragma once

#include <array>
#include <string>

#include "base/millis.h"
#include "live/view_layout.h"

namespace cw {

// The four rows lie in the upper 161 x 118; below them the close button, so that the dialog can
// be closed on any desktop (without a window manager there is no close box).
inline constexpr int kDialogWidth = 161;
inline constexpr int kDialogHeight = 146;

// Where the dialog's controls lie, in client pixels at 1x; rows 1..4 at index 0..3.
struct DialogControl {
  Rect rect;
  const char* text;
};
extern const std::array<DialogControl, 4> kDialogLabels;
extern const std::array<DialogControl, 4> kDialogBoxes;  // text: the box's tooltip
extern const DialogControl kDialogClose;                 // text: its caption

// The row (1..4) of the label or key box at (x, y), or 0.
int dialogLabelAt(int x, int y);
int dialogBoxAt(int x, int y);
// The row (1..4) whose label or key box lies at (x, y), or 0: a click on either chooses it.
int dialogRowAt(int x, int y);

// The tooltip of row `row`'s key box when it holds `code`: what the box is, and the key's name,
// since the box shows the key's character ("&" for Up).
std::string boxTooltip(int row, int code);

// UTF-8 text of a Windows-1252 character code (32..255), for the font library.
std::string windows1252ToUtf8(int code);

// The tooltips of the key boxes, as a desktop shows them: after the pointer rests 500 ms on a
// box, for at most 5 s; gone when the pointer leaves, or on a click or a key, until the pointer
// comes onto a box afresh. Times are real milliseconds.
class Tooltips {
 public:
  static constexpr Millis kDelayMs = 500;
  static constexpr Millis kShowMs = 5000;

  void pointerAt(int box, Millis now);  // box row under the pointer, 0 for none
  void dismiss();                       // a click or a key
  // The box whose tooltip shows at `now`, or 0.
  int shown(Millis now) const;
  // When what shows changes next after `now`, or -1 when nothing is pending.
  Millis nextChange(Millis now) const;

 private:
  int box_ = 0;
  Millis since_ = 0;
  bool dismissed_ = false;
};

}  // namespace cw
