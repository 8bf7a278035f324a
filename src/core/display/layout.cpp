#include "core/display/layout.h"

#include <array>

#include "base/check.h"

namespace cw {
namespace {

using G = Group;

constexpr std::array<GroupInfo, kGroupCount> kGroups{{
    {"Bepo", 1, 10, false},     {"Nando", 1, 10, false},   {"CapoBepo", 0, 1, false},
    {"CapoNando", 0, 1, false}, {"Blocco", 0, 59, false},  {"Crash1", 0, 0, true},
    {"Crash2", 0, 0, true},     {"Crash3", 0, 0, true},    {"Camion", 0, 0, true},
    {"Omino", 0, 0, true},      {"Fumo", 0, 1, false},     {"Fumo2", 0, 1, false},
    {"Vita", 1, 3, false},      {"IMGameA", 0, 0, true},   {"IMGameB", 0, 0, true},
    {"Ora", 0, 0, true},        {"Centinaia", 0, 0, true}, {"duepunti", 0, 0, true},
    {"Decina", 0, 0, true},     {"Unita", 0, 0, true},     {"Punti", 0, 9, false},
    {"Vuoto", 0, 0, true},      {"ButtonA", 0, 0, true},   {"ButtonB", 0, 0, true},
    {"ButtonTime", 0, 0, true}, {"ACL", 0, 0, true},
}};

// Places and sizes are those of the device's face; pictures shared by several segments are
// one file. The blank picture depicts nothing.
// clang-format off
constexpr std::array<SegmentInfo, kSegmentCount> kSegments{{
{G::Bepo, 1, 592, 190, 60, 45, "bepo_1.png"},
{G::Bepo, 2, 562, 187, 59, 46, "bepo_2.png"},
{G::Bepo, 3, 574, 134, 46, 50, "bepo_3.png"},
{G::Bepo, 4, 567, 129, 53, 53, "bepo_4.png"},
{G::Bepo, 5, 575, 70, 49, 58, "bepo_5.png"},
{G::Bepo, 6, 570, 72, 54, 53, "bepo_6.png"},
{G::Bepo, 7, 620, 140, 47, 43, "bepo_7.png"},
{G::Bepo, 8, 620, 140, 47, 43, "bepo_8.png"},
{G::Bepo, 9, 663, 127, 47, 53, "bepo_9.png"},
{G::Bepo, 10, 663, 127, 47, 53, "bepo_10.png"},
{G::Nando, 1, 181, 162, 47, 48, "nando_1.png"},
{G::Nando, 2, 182, 157, 53, 53, "nando_2.png"},
{G::Nando, 3, 185, 104, 52, 51, "nando_3.png"},
{G::Nando, 4, 185, 104, 52, 51, "nando_4.png"},
{G::Nando, 5, 179, 49, 51, 51, "nando_5.png"},
{G::Nando, 6, 138, 42, 49, 56, "nando_6.png"},
{G::Nando, 7, 128, 168, 53, 46, "nando_7.png"},
{G::Nando, 8, 131, 167, 50, 43, "nando_8.png"},
{G::Nando, 9, 101, 184, 40, 57, "nando_9.png"},
{G::Nando, 10, 89, 205, 52, 36, "nando_10.png"},
{G::CapoBepo, 0, 705, 113, 46, 67, "capobepo_0.png"},
{G::CapoBepo, 1, 705, 113, 46, 67, "capobepo_1.png"},
{G::CapoNando, 0, 51, 186, 39, 55, "caponando_0.png"},
{G::CapoNando, 1, 48, 172, 45, 67, "caponando_1.png"},
{G::Blocco, 0, 712, 192, 15, 26, "blank.png"},
{G::Blocco, 1, 701, 196, 24, 7, "crate_entry.png"},
{G::Blocco, 2, 671, 196, 24, 7, "crate_entry.png"},
{G::Blocco, 3, 639, 195, 30, 16, "blocco_3.png"},
{G::Blocco, 4, 546, 197, 24, 7, "crate_entry.png"},
{G::Blocco, 5, 516, 197, 24, 7, "crate_entry.png"},
{G::Blocco, 6, 486, 197, 24, 7, "crate_entry.png"},
{G::Blocco, 7, 467, 197, 14, 8, "blocco_7.png"},
{G::Blocco, 8, 384, 240, 15, 26, "blank.png"},
{G::Blocco, 9, 314, 191, 24, 14, "crate_belt1.png"},
{G::Blocco, 10, 284, 191, 24, 14, "crate_belt1.png"},
{G::Blocco, 11, 254, 191, 24, 14, "crate_belt1.png"},
{G::Blocco, 12, 221, 191, 29, 19, "blocco_12.png"},
{G::Blocco, 13, 237, 164, 24, 14, "crate_belt1.png"},
{G::Blocco, 14, 266, 164, 24, 14, "crate_belt1.png"},
{G::Blocco, 15, 296, 164, 24, 14, "crate_belt1.png"},
{G::Blocco, 16, 325, 164, 15, 14, "blocco_16.png"},
{G::Blocco, 17, 224, 456, 15, 26, "blank.png"},
{G::Blocco, 18, 469, 163, 25, 14, "crate_belt2.png"},
{G::Blocco, 19, 499, 163, 25, 14, "crate_belt2.png"},
{G::Blocco, 20, 528, 163, 25, 14, "crate_belt2.png"},
{G::Blocco, 21, 556, 162, 27, 21, "blocco_21.png"},
{G::Blocco, 22, 544, 136, 25, 14, "crate_belt2.png"},
{G::Blocco, 23, 515, 136, 25, 14, "crate_belt2.png"},
{G::Blocco, 24, 485, 136, 25, 14, "crate_belt2.png"},
{G::Blocco, 25, 467, 136, 13, 14, "blocco_25.png"},
{G::Blocco, 26, 192, 464, 15, 26, "blank.png"},
{G::Blocco, 27, 314, 136, 24, 13, "crate_belt3.png"},
{G::Blocco, 28, 284, 136, 24, 13, "crate_belt3.png"},
{G::Blocco, 29, 253, 136, 24, 13, "crate_belt3.png"},
{G::Blocco, 30, 222, 133, 29, 23, "blocco_30.png"},
{G::Blocco, 31, 237, 108, 24, 13, "crate_belt3.png"},
{G::Blocco, 32, 266, 108, 24, 13, "crate_belt3.png"},
{G::Blocco, 33, 296, 108, 24, 13, "crate_belt3.png"},
{G::Blocco, 34, 325, 108, 15, 14, "blocco_34.png"},
{G::Blocco, 35, 392, 104, 15, 26, "blank.png"},
{G::Blocco, 36, 468, 108, 24, 14, "crate_belt4.png"},
{G::Blocco, 37, 498, 108, 24, 14, "crate_belt4.png"},
{G::Blocco, 38, 527, 108, 24, 14, "crate_belt4.png"},
{G::Blocco, 39, 556, 105, 29, 23, "blocco_39.png"},
{G::Blocco, 40, 545, 81, 24, 14, "crate_belt4.png"},
{G::Blocco, 41, 515, 81, 24, 14, "crate_belt4.png"},
{G::Blocco, 42, 486, 81, 24, 14, "crate_belt4.png"},
{G::Blocco, 43, 467, 80, 13, 15, "blocco_43.png"},
{G::Blocco, 44, 208, 472, 15, 26, "blank.png"},
{G::Blocco, 45, 312, 79, 24, 14, "crate_belt5.png"},
{G::Blocco, 46, 284, 79, 24, 14, "crate_belt5.png"},
{G::Blocco, 47, 253, 79, 24, 14, "crate_belt5.png"},
{G::Blocco, 48, 220, 76, 28, 25, "blocco_48.png"},
{G::Blocco, 49, 122, 54, 29, 23, "blocco_49.png"},
{G::Blocco, 50, 93, 54, 30, 23, "blocco_50.png"},
{G::Blocco, 51, 91, 77, 24, 14, "crate_belt5.png"},
{G::Blocco, 52, 91, 93, 24, 14, "crate_belt5.png"},
{G::Blocco, 53, 91, 109, 24, 14, "crate_belt5.png"},
{G::Blocco, 54, 91, 124, 24, 14, "crate_belt5.png"},
{G::Blocco, 55, 118, 77, 24, 14, "crate_belt5.png"},
{G::Blocco, 56, 118, 93, 24, 14, "crate_belt5.png"},
{G::Blocco, 57, 118, 109, 24, 14, "crate_belt5.png"},
{G::Blocco, 58, 118, 124, 24, 14, "crate_belt5.png"},
{G::Blocco, 59, 118, 124, 24, 14, "crate_belt5.png"},
{G::Crash1, 0, 624, 220, 40, 19, "crash1.png"},
{G::Crash2, 0, 548, 215, 44, 25, "crash2.png"},
{G::Crash3, 0, 198, 211, 53, 26, "crash3.png"},
{G::Camion, 0, 54, 94, 90, 64, "camion.png"},
{G::Omino, 0, 46, 84, 42, 38, "omino.png"},
{G::Fumo, 0, 139, 140, 22, 18, "fumo_0.png"},
{G::Fumo, 1, 146, 118, 25, 37, "fumo_1.png"},
{G::Fumo2, 0, 87, 145, 32, 15, "fumo2_0.png"},
{G::Fumo2, 1, 48, 151, 22, 11, "fumo2_1.png"},
{G::Vita, 1, 456, 42, 65, 28, "vita_1.png"},
{G::Vita, 2, 521, 45, 26, 28, "vita_mark.png"},
{G::Vita, 3, 548, 45, 26, 28, "vita_mark.png"},
{G::IMGameA, 0, 287, 225, 44, 11, "gamea.png"},
{G::IMGameB, 0, 473, 227, 45, 11, "gameb.png"},
{G::Ora, 0, 672, 48, 15, 26, "blank.png"},
{G::Centinaia, 0, 688, 48, 15, 26, "blank.png"},
{G::duepunti, 0, 704, 52, 6, 18, "colon.png"},
{G::Decina, 0, 712, 48, 15, 26, "blank.png"},
{G::Unita, 0, 728, 48, 15, 26, "blank.png"},
{G::Punti, 0, 8, 464, 15, 26, "digit_0.png"},
{G::Punti, 1, 24, 464, 15, 26, "digit_1.png"},
{G::Punti, 2, 40, 464, 15, 26, "digit_2.png"},
{G::Punti, 3, 56, 464, 15, 26, "digit_3.png"},
{G::Punti, 4, 72, 464, 15, 26, "digit_4.png"},
{G::Punti, 5, 88, 464, 15, 26, "digit_5.png"},
{G::Punti, 6, 104, 464, 15, 26, "digit_6.png"},
{G::Punti, 7, 120, 464, 15, 26, "digit_7.png"},
{G::Punti, 8, 136, 464, 15, 26, "digit_8.png"},
{G::Punti, 9, 152, 464, 15, 26, "digit_9.png"},
{G::Vuoto, 0, 352, 312, 15, 26, "blank.png"},
{G::ButtonA, 0, 475, 298, 27, 39, "button.png"},
{G::ButtonB, 0, 515, 298, 27, 39, "button.png"},
{G::ButtonTime, 0, 555, 298, 27, 39, "button.png"},
{G::ACL, 0, 252, 311, 13, 13, "acl.png"},
}};
// clang-format on

constexpr std::array<int, kGroupCount> firstIndexes() {
  std::array<int, kGroupCount> first{};
  for (int g = 0; g < kGroupCount; ++g) first[g] = -1;
  for (int i = 0; i < kSegmentCount; ++i) {
    auto g = static_cast<int>(kSegments[i].group);
    if (first[g] < 0) first[g] = i;
  }
  return first;
}
constexpr std::array<int, kGroupCount> kFirstIndex = firstIndexes();

// The table must be ordered by group and member, with every member of every group present.
constexpr bool tableIsComplete() {
  int i = 0;
  for (int g = 0; g < kGroupCount; ++g) {
    for (int m = kGroups[g].first; m <= kGroups[g].last; ++m, ++i) {
      if (i >= kSegmentCount || static_cast<int>(kSegments[i].group) != g ||
          kSegments[i].member != m)
        return false;
    }
  }
  return i == kSegmentCount;
}
static_assert(tableIsComplete());

}  // namespace

const GroupInfo& groupInfo(Group g) {
  return kGroups[static_cast<int>(g)];
}

std::span<const SegmentInfo> segments() {
  return kSegments;
}

int segmentIndex(Group g, int member) {
  const GroupInfo& info = groupInfo(g);
  if (member < info.first || member > info.last) return -1;
  return kFirstIndex[static_cast<int>(g)] + member - info.first;
}

std::optional<Group> groupByName(std::string_view name) {
  for (int g = 0; g < kGroupCount; ++g)
    if (kGroups[g].name == name) return static_cast<Group>(g);
  return std::nullopt;
}

std::string_view digitPicture(int digit) {
  CW_CHECK(digit >= 0 && digit <= 9, "no such digit picture");
  if (digit < 0 || digit > 9) return kBlankPicture;
  return kSegments[segmentIndex(Group::Punti, digit)].picture;
}

}  // namespace cw
