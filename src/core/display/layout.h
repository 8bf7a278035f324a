// The face of the device: every segment's group, member, place, size and picture.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace cw {

// Segment groups in stacking order: a later group is drawn over an earlier one.
enum class Group : std::uint8_t {
  Bepo,
  Nando,
  CapoBepo,
  CapoNando,
  Blocco,
  Crash1,
  Crash2,
  Crash3,
  Camion,
  Omino,
  Fumo,
  Fumo2,
  Vita,
  IMGameA,
  IMGameB,
  Ora,
  Centinaia,
  duepunti,
  Decina,
  Unita,
  Punti,
  Vuoto,
  ButtonA,
  ButtonB,
  ButtonTime,
  ACL,
};
inline constexpr int kGroupCount = static_cast<int>(Group::ACL) + 1;

struct GroupInfo {
  std::string_view name;
  int first;    // lowest member index
  int last;     // highest member index
  bool single;  // a lone segment, addressed without a member index (member 0)
};

struct SegmentInfo {
  Group group;
  int member;
  int x, y, w, h;
  std::string_view picture;  // file name under the assets folder
};

inline constexpr int kSegmentCount = 118;
inline constexpr int kCasingWidth = 805;
inline constexpr int kCasingHeight = 449;
inline constexpr int kWindowWidth = 802;  // the casing rectangle left visible by the window region
inline constexpr int kWindowHeight = 448;
inline constexpr std::string_view kCasingPicture = "casing.png";
inline constexpr std::string_view kWindowIcon = "icon.png";
inline constexpr std::string_view kDialogIcon = "dialog_icon.png";
inline constexpr std::string_view kBlankPicture = "blank.png";

const GroupInfo& groupInfo(Group g);
// All segments, grouped and ordered by (group, member): the drawing order.
std::span<const SegmentInfo> segments();
// Index into segments() of a member, or -1 when the member names no segment.
int segmentIndex(Group g, int member);
// Group by name (as printed and as given in scenarios); nothing when unknown.
std::optional<Group> groupByName(std::string_view name);

// The digit pictures are the members of Punti; the blank digit is Vuoto.
std::string_view digitPicture(int digit);

}  // namespace cw
