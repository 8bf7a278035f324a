// The parts of the live front end that need no display: mouse targets, the dialog's controls,
// its characters and its tooltips, the time text, the timing record.
#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/local_time.h"
#include "platform/dialog_window.h"
#include "platform/frame.h"
#include "platform/timing_log.h"
#include "support/temp_folder.h"

namespace cw {
namespace {

TEST(MouseTargets, OnlyTheFourButtonsWhereShown) {
  Display d;
  EXPECT_EQ(mouseSegmentAt(d, 475, 298), Group::ButtonA);  // top-left corner
  EXPECT_EQ(mouseSegmentAt(d, 501, 336), Group::ButtonA);  // bottom-right corner
  EXPECT_EQ(mouseSegmentAt(d, 502, 336), std::nullopt);
  EXPECT_EQ(mouseSegmentAt(d, 520, 300), Group::ButtonB);
  EXPECT_EQ(mouseSegmentAt(d, 560, 310), Group::ButtonTime);
  EXPECT_EQ(mouseSegmentAt(d, 258, 317), Group::ACL);
  // A shown worker or crate takes nothing.
  EXPECT_EQ(mouseSegmentAt(d, 600, 200), std::nullopt);
  d.hide(Group::ButtonA);
  EXPECT_EQ(mouseSegmentAt(d, 480, 300), std::nullopt);
  // The window is dragged by everything but the buttons, hidden or not.
  EXPECT_TRUE(onCasingButton(480, 300));
  EXPECT_TRUE(onCasingButton(252, 311));
  EXPECT_FALSE(onCasingButton(265, 311));
  EXPECT_FALSE(onCasingButton(10, 10));
}

TEST(FrameState, FollowsShownSegmentsAndDigitPictures) {
  Display d;
  const int unita = segmentIndex(Group::Unita, 0);
  FrameState before = FrameState::of(d);
  EXPECT_EQ(before.picture[segmentIndex(Group::duepunti, 0)], -1);
  EXPECT_EQ(before.picture[unita], segmentIndex(Group::Vuoto, 0));
  d.putDigit(Place::Unita, 7);
  d.hide(Group::Bepo, 3);
  FrameState after = FrameState::of(d);
  EXPECT_EQ(after.picture[unita], segmentIndex(Group::Punti, 7));
  EXPECT_EQ(after.picture[segmentIndex(Group::Bepo, 3)], -1);
  EXPECT_FALSE(before == after);
}

TEST(DialogControls, LabelsAndBoxesAtTheirPlaces) {
  EXPECT_EQ(dialogLabelAt(8, 16), 1);
  EXPECT_EQ(dialogLabelAt(72, 32), 1);
  EXPECT_EQ(dialogLabelAt(73, 16), 0);
  EXPECT_EQ(dialogLabelAt(104, 40), 2);
  EXPECT_EQ(dialogLabelAt(112, 104), 4);
  EXPECT_EQ(dialogLabelAt(8, 60), 0);  // between rows
  EXPECT_EQ(dialogBoxAt(136, 64), 3);
  EXPECT_EQ(dialogBoxAt(152, 106), 4);
  EXPECT_EQ(dialogBoxAt(153, 106), 0);
  EXPECT_EQ(dialogBoxAt(20, 20), 0);
}

TEST(DialogControls, Windows1252CharactersAsUtf8) {
  EXPECT_EQ(windows1252ToUtf8('Q'), "Q");
  EXPECT_EQ(windows1252ToUtf8(38), "&");  // the Up arrow's code, shown as is
  EXPECT_EQ(windows1252ToUtf8(0x80), "\u20AC");
  EXPECT_EQ(windows1252ToUtf8(0x9F), "\u0178");
  EXPECT_EQ(windows1252ToUtf8(0xBD), "\u00BD");  // code 189, the minus key's
  EXPECT_EQ(windows1252ToUtf8(0xE9), "\u00E9");
  EXPECT_EQ(windows1252ToUtf8(0xFF), "\u00FF");
  for (int undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) EXPECT_EQ(windows1252ToUtf8(undefined), "");
  EXPECT_EQ(windows1252ToUtf8(13), "");
  EXPECT_EQ(windows1252ToUtf8(-1), "");
  EXPECT_EQ(windows1252ToUtf8(256), "");
}

TEST(DialogTooltips, ShowAfterTheDelayForFiveSecondsAndGoOnLeaveClickOrKey) {
  Tooltips t;
  t.pointerAt(2, 1000);
  EXPECT_EQ(t.shown(1499), 0);
  EXPECT_EQ(t.nextChange(1200), 1500);
  EXPECT_EQ(t.shown(1500), 2);
  EXPECT_EQ(t.nextChange(1500), 6500);
  t.pointerAt(2, 3000);  // moving within the box changes nothing
  EXPECT_EQ(t.shown(6499), 2);
  EXPECT_EQ(t.shown(6500), 0);
  EXPECT_EQ(t.nextChange(6500), -1);
  // Onto another box: a fresh delay.
  t.pointerAt(3, 7000);
  EXPECT_EQ(t.shown(7400), 0);
  EXPECT_EQ(t.shown(7600), 3);
  t.pointerAt(0, 7700);  // left
  EXPECT_EQ(t.shown(7800), 0);
  // A click or a key hides it until the pointer comes onto a box afresh.
  t.pointerAt(1, 8000);
  EXPECT_EQ(t.shown(8600), 1);
  t.dismiss();
  EXPECT_EQ(t.shown(8700), 0);
  EXPECT_EQ(t.nextChange(8700), -1);
  t.pointerAt(1, 9000);
  EXPECT_EQ(t.shown(9600), 0);
  t.pointerAt(4, 9700);
  EXPECT_EQ(t.shown(10200), 4);
}

TEST(LocalTime, TheCLocaleGivesTwentyFourHours) {
  // The "C" locale's %X; the user's locale is taken only for LC_TIME.
  LocalTimeText clock;
  const char* before = std::setlocale(LC_TIME, "C");
  ASSERT_NE(before, nullptr);
  std::time_t t = 0;
  std::tm local{};
  localtime_r(&t, &local);
  const std::string text = LocalTimeText::format(t);
  ASSERT_EQ(text.size(), 8u) << text;
  EXPECT_EQ(std::stoi(text.substr(0, 2)), local.tm_hour);
  EXPECT_EQ(text[2], ':');
  EXPECT_EQ(text.substr(3), "00:00");
  // Numbers keep the "C" rules whatever the user's locale.
  EXPECT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
  EXPECT_EQ(clock.localTimeText().size(), 8u);
}

// The timing record's clock, set by each test.
std::int64_t fakeNs = 0;
std::int64_t fakeClock() {
  return fakeNs;
}
constexpr std::int64_t kMs = 1'000'000;

SDL_Event event(Uint32 type) {
  SDL_Event e{};
  e.type = type;
  return e;
}

class TimingLogTest : public ::testing::Test {
 protected:
  TempFolder dir{"cw-timing"};
  std::filesystem::path path = dir / "timing.log";
  void arrive(std::int64_t atMs, Uint32 type = SDL_KEYDOWN) {
    fakeNs = atMs * kMs;
    SDL_Event e = event(type);
    TimingLog::watch(&log, &e);
  }
  TimingLog log{path.string(), &fakeClock};
};

TEST_F(TimingLogTest, TicksAreLateAgainstTheirDueTimeAndAHoldsLateTicksAreLeftOut) {
  log.setOrigin(1000 * kMs);
  fakeNs = 1010 * kMs + 500'000;
  log.tickStarts(TimerId::TimeOra, 4, false);
  log.tickStarts(TimerId::TimeOra, 6, true);  // stands for ticks a hold made it miss
  log.tickStarts(TimerId::TimeOra, 10, false);
  ASSERT_EQ(log.ticks().size(), 2u);
  EXPECT_EQ(log.ticks()[0].lateUs, 6500);
  EXPECT_EQ(log.ticks()[1].lateUs, 500);
  EXPECT_EQ(log.ticks()[1].due, 10);
}

TEST_F(TimingLogTest, AKeyCountsFromItsArrivalToThePresentLessItsHold) {
  log.setOrigin(0);
  arrive(100);
  arrive(101, SDL_MOUSEBUTTONDOWN);  // not a key: not counted
  log.keyHandled(true, 7, 155);      // its move sound held until 155
  fakeNs = 157 * kMs;
  log.screen(7, true);
  EXPECT_EQ(log.inputUs(), (std::vector<std::int64_t>{2000}));
  // No hold: from the arrival.
  arrive(300);
  log.keyHandled(true, 8, 300);
  fakeNs = 301 * kMs;
  log.screen(8, true);
  EXPECT_EQ(log.inputUs(), (std::vector<std::int64_t>{2000, 1000}));
}

TEST_F(TimingLogTest, AKeyWaitsForTheFrameOfItsOwnVersionAndOneWithNoVisibleChangeIsDropped) {
  log.setOrigin(0);
  arrive(10);
  log.keyHandled(false, 3, 10);  // changed nothing: never waits for a frame
  arrive(20);
  log.keyHandled(true, 5, 20);
  fakeNs = 22 * kMs;
  log.screen(4, true);  // an older picture again (an expose during a hold)
  EXPECT_TRUE(log.inputUs().empty());
  fakeNs = 25 * kMs;
  log.screen(5, false);  // the picture came out the same: nothing to present
  EXPECT_TRUE(log.inputUs().empty());
  arrive(30, SDL_KEYUP);
  log.keyHandled(true, 6, 30);
  fakeNs = 34 * kMs;
  log.screen(6, true);
  EXPECT_EQ(log.inputUs(), (std::vector<std::int64_t>{4000}));
}

TEST_F(TimingLogTest, TheRecordIsWrittenAsLines) {
  log.setOrigin(0);
  log.wake();
  fakeNs = 9 * kMs;
  log.tickStarts(TimerId::TimeOra, 2, false);
  arrive(10);
  log.keyHandled(true, 1, 10);
  fakeNs = 12 * kMs;
  log.screen(1, true, 11 * kMs);
  ASSERT_TRUE(log.write());
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  std::string first;
  std::getline(text, first);
  EXPECT_EQ(first.rfind("first_present_unix_us ", 0), 0u);
  std::string rest((std::istreambuf_iterator<char>(text)), std::istreambuf_iterator<char>());
  EXPECT_EQ(rest, "wakes 1\nelapsed_ms 12\ntick 7000 2 TimeOra\ninput 2000\nframe 1000\n");
}

}  // namespace
}  // namespace cw
