#include "core/display/display.h"

#include "base/check.h"

namespace cw {

Group placeGroup(Place p) {
  static constexpr std::array<Group, kPlaceCount> kGroups{Group::Ora, Group::Centinaia,
                                                          Group::Decina, Group::Unita};
  return kGroups[static_cast<int>(p)];
}

Display::Display() {
  // Power-on: the whole LCD lit but the colon; the digit places blank.
  shown_.fill(true);
  shown_[segmentIndex(Group::duepunti, 0)] = false;
  digits_.fill(kBlank);
}

bool Display::shown(Group g, int member) const {
  int i = segmentIndex(g, member);
  CW_CHECK(i >= 0, "no such segment member");
  return i >= 0 && shown_[i];
}

void Display::set(Group g, int member, bool on) {
  int i = segmentIndex(g, member);
  CW_CHECK(i >= 0, "no such segment member");
  if (i < 0 || shown_[i] == on) return;
  shown_[i] = on;
  ++version_;
  if (observer_) observer_->onShow(g, member, on);
}

void Display::putDigit(Place p, int digit) {
  CW_CHECK(digit >= 0 && digit <= 9, "no such digit picture");
  if (digit < 0 || digit > 9) return;
  int& d = digits_[static_cast<int>(p)];
  if (d == digit) return;
  d = digit;
  ++version_;
  if (observer_) observer_->onDigit(p, digit);
}

void Display::blank(Place p) {
  int& d = digits_[static_cast<int>(p)];
  if (d == kBlank) return;
  d = kBlank;
  ++version_;
  if (observer_) observer_->onDigit(p, kBlank);
}

int Display::pictureSource(int index) const {
  const SegmentInfo& s = segments()[index];
  for (int p = 0; p < kPlaceCount; ++p) {
    if (placeGroup(static_cast<Place>(p)) == s.group) {
      int d = digits_[p];
      return d == kBlank ? segmentIndex(Group::Vuoto, 0) : segmentIndex(Group::Punti, d);
    }
  }
  return index;
}

}  // namespace cw
