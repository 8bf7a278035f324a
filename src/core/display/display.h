// The segment display model: which segments are shown and what the four digit places show.
#pragma once

#include <array>
#include <cstdint>

#include "core/display/layout.h"

namespace cw {

// The four digit places of the readout, left to right.
enum class Place : std::uint8_t { Ora, Centinaia, Decina, Unita };
inline constexpr int kPlaceCount = 4;
inline constexpr int kBlank = -1;  // a digit place showing the blank picture

Group placeGroup(Place p);

// Told of every real change (a show of a shown segment is none).
class DisplayObserver {
 public:
  virtual ~DisplayObserver() = default;
  virtual void onShow(Group g, int member, bool shown) = 0;
  virtual void onDigit(Place p, int digit) = 0;
};

class Display {
 public:
  Display();

  // A member outside the group's range names no segment: a fault of the caller. Debug and test
  // builds stop on it; a release build ignores the call.
  void show(Group g, int member = 0) { set(g, member, true); }
  void hide(Group g, int member = 0) { set(g, member, false); }
  bool shown(Group g, int member = 0) const;
  bool shownAt(int index) const { return shown_[index]; }

  void putDigit(Place p, int digit);  // digit 0..9
  void blank(Place p);
  int digit(Place p) const { return digits_[static_cast<int>(p)]; }

  // Index into segments() of the picture a segment currently shows: itself, or for a digit
  // place the Punti member or Vuoto it took its picture from.
  int pictureSource(int index) const;

  // Counts every change, so a renderer can tell whether anything needs drawing.
  std::uint64_t version() const { return version_; }
  void setObserver(DisplayObserver* o) { observer_ = o; }
  // Takes the other display's picture and version, not its observer (a run-ahead's copy).
  void copyValuesFrom(const Display& other) {
    shown_ = other.shown_;
    digits_ = other.digits_;
    version_ = other.version_;
  }

 private:
  void set(Group g, int member, bool on);
  std::array<bool, kSegmentCount> shown_{};
  std::array<int, kPlaceCount> digits_{};
  std::uint64_t version_ = 0;
  DisplayObserver* observer_ = nullptr;
};

}  // namespace cw
