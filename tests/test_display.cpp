// The segment display model and its layout table.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "core/display/display.h"
#include "core/shell/line_geometry.h"

namespace cw {
namespace {

struct Recorder : DisplayObserver {
  std::vector<std::string> changes;
  void onShow(Group g, int m, bool on) override {
    changes.push_back(std::string(on ? "show " : "hide ") + std::string(groupInfo(g).name) + " " +
                      std::to_string(m));
  }
  void onDigit(Place p, int d) override {
    changes.push_back("digit " + std::string(groupInfo(placeGroup(p)).name) + " " +
                      std::to_string(d));
  }
};

TEST(Layout, EveryGroupHasItsMembersAndSharedPicturesHaveOneSize) {
  EXPECT_EQ(segments().size(), 118u);
  EXPECT_EQ(segmentIndex(Group::Bepo, 0), -1);
  EXPECT_EQ(segmentIndex(Group::Bepo, kLastPose + 1), -1);
  EXPECT_EQ(segmentIndex(Group::Vita, 0), -1);
  EXPECT_EQ(segmentIndex(Group::Blocco, kTruckLastPlace + 1), -1);
  EXPECT_EQ(segmentIndex(Group::Camion, 1), -1);
  EXPECT_EQ(segments()[segmentIndex(Group::Blocco, kTruckLastPlace)].picture,
            segments()[segmentIndex(Group::Blocco, kTruckLastPlace - 1)].picture);
  // One file per picture: every segment that names a file gives it the same size.
  std::map<std::string_view, std::pair<int, int>> sizes;
  for (const SegmentInfo& s : segments()) {
    auto [it, fresh] = sizes.emplace(s.picture, std::make_pair(s.w, s.h));
    EXPECT_TRUE(fresh || it->second == std::make_pair(s.w, s.h)) << s.picture;
  }
  // The blank digit, the digit places' start picture and the hidden line steps share one.
  for (int m : {0, 8, 17, 26, 35, 44})
    EXPECT_EQ(segments()[segmentIndex(Group::Blocco, m)].picture, kBlankPicture);
  EXPECT_EQ(groupByName("TimeOra"), std::nullopt);
  EXPECT_EQ(groupByName("duepunti"), Group::duepunti);
}

TEST(Display, PowerOnLightsAllButTheColonWithBlankDigits) {
  Display d;
  for (int i = 0; i < kSegmentCount; ++i)
    EXPECT_EQ(d.shownAt(i), segments()[i].group != Group::duepunti) << i;
  for (int p = 0; p < kPlaceCount; ++p) EXPECT_EQ(d.digit(static_cast<Place>(p)), kBlank);
  EXPECT_EQ(d.pictureSource(segmentIndex(Group::Ora, 0)), segmentIndex(Group::Vuoto, 0));
}

TEST(Display, OnlyRealChangesAreReportedAndCounted) {
  Display d;
  Recorder r;
  d.setObserver(&r);
  auto v0 = d.version();
  d.show(Group::Bepo, 3);  // already shown
  d.hide(Group::Bepo, 3);
  d.hide(Group::Bepo, 3);
  d.putDigit(Place::Unita, 7);
  d.putDigit(Place::Unita, 7);
  d.blank(Place::Ora);  // already blank
  d.blank(Place::Unita);
  EXPECT_EQ(r.changes,
            (std::vector<std::string>{"hide Bepo 3", "digit Unita 7", "digit Unita -1"}));
  EXPECT_EQ(d.version(), v0 + 3);
  d.putDigit(Place::Centinaia, 4);
  EXPECT_EQ(d.pictureSource(segmentIndex(Group::Centinaia, 0)), segmentIndex(Group::Punti, 4));
}

TEST(DisplayDeathTest, AMemberThatNamesNoSegmentStopsTestBuilds) {
#ifdef NDEBUG
  GTEST_SKIP() << "a release build ignores the call instead";
#endif
  Display d;
  EXPECT_DEATH(d.show(Group::Nando, 0), "no such segment");
  EXPECT_DEATH(d.hide(Group::Blocco, 60), "no such segment");
  EXPECT_DEATH(d.putDigit(Place::Decina, 10), "no such digit");
}

}  // namespace
}  // namespace cw
