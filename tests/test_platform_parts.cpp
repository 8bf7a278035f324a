// The parts of the live front end that need no display: mouse targets, the layout of the
// picture at every scale and view, the dialog's controls, its characters and its tooltips, the
// time text, the timing record.
#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/local_time.h"
#include "live/resample.h"
#include "live/timing_log.h"
#include "live/view_layout.h"
#include "sdl/loop/front_end.h"
#include "sdl/loop/video_driver.h"
#include "sdl/window/casing_pictures.h"
#include "sdl/window/desktop.h"
#include "sdl/window/dialog_window.h"
#include "sdl/window/view_choice.h"
#include "support/null_world.h"
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

// Every window pixel maps back to the logical pixel drawn there, so a click lands on what the
// player sees: each pixel of a button's drawn rectangle is on the button, none next to it is.
TEST(ViewLayout, AtEveryScaleAndInBothViewsAPixelMapsToWhatIsDrawnThere) {
  const SegmentInfo& time = segments()[segmentIndex(Group::ButtonTime, 0)];
  for (double scale : kScales) {
    SCOPED_TRACE(scale);
    const auto [w, h] = ViewLayout::windowSize(ViewKind::Casing, scale);
    const ViewLayout casing = ViewLayout::forWindow(ViewKind::Casing, scale, w, h);
    EXPECT_EQ(casing.scaler().scale(), scale);
    EXPECT_TRUE(casing.fillsWindow());
    const Rect drawn = casing.scaler().rect({time.x, time.y, time.w, time.h});
    for (int x = drawn.x - 1; x <= drawn.x + drawn.w; ++x) {
      for (int y = drawn.y - 1; y <= drawn.y + drawn.h; ++y) {
        const auto at = casing.toLogical(x, y);
        ASSERT_TRUE(at);
        EXPECT_EQ(drawn.contains(x, y), onCasingButton(at->first, at->second)) << x << "," << y;
      }
    }
    // The screens view is as wide as the casing, both screens side by side and whole in it.
    const auto [sw, sh] = ViewLayout::windowSize(ViewKind::Screens, scale);
    EXPECT_EQ(sw, w);
    EXPECT_LT(sh, h);
    const ViewLayout screens = ViewLayout::forWindow(ViewKind::Screens, scale, sw, sh);
    ASSERT_EQ(screens.paneCount(), 2);
    const Rect left = screens.paneRect(0), right = screens.paneRect(1);
    EXPECT_GT(left.x, 0);
    EXPECT_GT(right.x, left.x + left.w);
    EXPECT_LT(right.x + right.w, sw);
    EXPECT_LT(left.y + left.h, sh);
    EXPECT_FALSE(screens.toLogical((left.x + left.w + right.x) / 2, sh / 2));  // the gap
    const auto corner = screens.toLogical(right.x, right.y);
    EXPECT_EQ(corner, (std::pair{screens.pane(1).from.x, screens.pane(1).from.y}));
  }
}

TEST(ViewLayout, AnyOtherWindowSizeTakesTheLargestPictureThatFitsCentred) {
  const ViewLayout full = ViewLayout::forWindow(ViewKind::Casing, 1, 1920, 1080);
  const Rect r = full.paneRect(0);
  EXPECT_EQ(r.w, 1920);  // as wide as the screen, aspect kept
  EXPECT_NEAR(r.h, 1920 * 448 / 802.0, 1);
  EXPECT_EQ(r.y, (1080 - r.h) / 2);
  EXPECT_FALSE(full.fillsWindow());
  EXPECT_FALSE(full.toLogical(5, 1));  // the bar above the picture
  EXPECT_EQ(full.toLogical(1919, r.y + r.h - 1), (std::pair{kWindowWidth - 1, kWindowHeight - 1}));
  const ViewLayout tall = ViewLayout::forWindow(ViewKind::Screens, 2, 1024, 1280);
  const int leftGap = tall.paneRect(0).x, rightGap = 1024 - tall.paneRect(1).x - tall.paneRect(1).w;
  EXPECT_LE(std::abs(leftGap - rightGap), 1);  // centred
}

TEST(ViewChoices, ScalesViewsAndTheDesktopsDpi) {
  // 96 dpi is 1x; 192 dpi 2x unless the screen has no room for it; unknown is 1x.
  EXPECT_EQ(defaultScale(96, ViewKind::Casing, 1920, 1050), 1);
  EXPECT_EQ(defaultScale(192, ViewKind::Casing, 1920, 1050), 2);
  EXPECT_EQ(defaultScale(192, ViewKind::Casing, 1280, 770), 1.5);
  EXPECT_EQ(defaultScale(144, ViewKind::Casing, 3840, 2100), 1.5);
  EXPECT_EQ(defaultScale(288, ViewKind::Screens, 2560, 1000), 3);  // the screens are less tall
  EXPECT_EQ(defaultScale(std::nullopt, ViewKind::Casing, 3840, 2100), 1);
  EXPECT_EQ(defaultScale(384, ViewKind::Casing, 640, 480), 1);  // never below 1x
  EXPECT_EQ(stepScale(1, -1), 1);
  EXPECT_EQ(stepScale(2, 1), 2.5);
  EXPECT_EQ(stepScale(4, 1), 4);
  EXPECT_EQ(parseScale("1.5"), 1.5);
  EXPECT_EQ(parseScale("3"), 3);
  for (const char* bad : {"", "0", "5", "2x", "1.25", " 2", "nan"}) EXPECT_FALSE(parseScale(bad));
  EXPECT_EQ(scaleText(2.5), "2.5");
  EXPECT_EQ(scaleText(4), "4");
  EXPECT_EQ(xftDpi("Xcursor.size:\t24\nXft.dpi:\t192\n"), 192.0);
  EXPECT_EQ(xftDpi("Xft.dpi:\t0\n"), std::nullopt);
  EXPECT_EQ(xftDpi("Xft.antialias:\t1\n"), std::nullopt);
  // What the settings file remembers, and what is wrong with one.
  const auto both = viewChoiceOf(confOf(2.5, ViewKind::Screens));
  ASSERT_TRUE(both);
  EXPECT_EQ(both->scale, 2.5);
  EXPECT_EQ(both->view, ViewKind::Screens);
  EXPECT_EQ(viewChoiceOf({{"scale", "7"}}).error(), "scale cannot be 7");
  EXPECT_EQ(viewChoiceOf({{"zoom", "2"}}).error(), "no setting called zoom");
}

// Pictures drawn at scales without a set of their own are resized: a flat colour stays exact,
// and the colour of transparent pixels never bleeds into what is drawn beside them.
// The video driver is chosen from what the environment offers: never a Wayland compositor
// without an input seat (SDL 2.26 crashes on one), never a driver whose display is not named
// (SDL would draw off screen), and SDL_VIDEODRIVER always wins.
TEST(VideoPlan, WaylandWithASeatThenX11AndTheEnvironmentsChoiceFirst) {
  int asked = 0;
  const auto offering = [&asked](WaylandOffer offer) {
    return [&asked, offer] {
      ++asked;
      return offer;
    };
  };
  using D = std::vector<std::string>;
  EXPECT_EQ(planVideo({"", true, true}, offering(WaylandOffer::Usable)).drivers,
            (D{"wayland", "x11"}));
  EXPECT_EQ(planVideo({"", true, true}, offering(WaylandOffer::NoSeat)).drivers, D{"x11"});
  EXPECT_EQ(planVideo({"", true, true}, offering(WaylandOffer::Unreachable)).drivers, D{"x11"});
  const VideoPlan noSeat = planVideo({"", false, true}, offering(WaylandOffer::NoSeat));
  EXPECT_TRUE(noSeat.drivers.empty());
  EXPECT_NE(noSeat.refusal.find("no input seat"), std::string::npos) << noSeat.refusal;
  asked = 0;
  const VideoPlan none = planVideo({"", false, false}, offering(WaylandOffer::Usable));
  EXPECT_TRUE(none.drivers.empty());
  EXPECT_EQ(none.refusal, "no display found");
  EXPECT_EQ(planVideo({"", true, false}, offering(WaylandOffer::Usable)).drivers, D{"x11"});
  EXPECT_EQ(asked, 0) << "Wayland is asked only where it is named";
  // Where SDL has neither (Windows), its own driver is the desktop's.
  const VideoPlan own = planVideo({"", false, false, false}, offering(WaylandOffer::Usable));
  EXPECT_TRUE(own.drivers.empty());
  EXPECT_TRUE(own.refusal.empty());
  // The environment's own choice, each driver tried alone, less a seatless Wayland.
  EXPECT_EQ(planVideo({"x11", false, true}, offering(WaylandOffer::Usable)).drivers, D{"x11"});
  EXPECT_EQ(planVideo({"dummy", false, false}, offering(WaylandOffer::Usable)).drivers, D{"dummy"});
  EXPECT_EQ(planVideo({"wayland,x11", true, true}, offering(WaylandOffer::NoSeat)).drivers,
            D{"x11"});
  EXPECT_EQ(planVideo({"Wayland", true, true}, offering(WaylandOffer::Usable)).drivers,
            D{"Wayland"});
  EXPECT_FALSE(planVideo({"wayland", true, true}, offering(WaylandOffer::NoSeat)).refusal.empty());
  EXPECT_FALSE(planVideo({",", true, true}, offering(WaylandOffer::Usable)).refusal.empty());
}

TEST(Resample, KeepsFlatColoursAndLendsTransparencyNoColour) {
  Picture in{8, 8, {}};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x)
      in.rgba.insert(in.rgba.end(), x < 4 ? std::initializer_list<std::uint8_t>{200, 30, 10, 255}
                                          : std::initializer_list<std::uint8_t>{0, 255, 0, 0});
  for (auto [w, h] : {std::pair{12, 12}, std::pair{6, 5}, std::pair{16, 16}}) {
    const Picture out = resample(in, w, h);
    ASSERT_EQ(out.rgba.size(), std::size_t(w) * h * 4);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const std::uint8_t* p = &out.rgba[(std::size_t(y) * w + x) * 4];
        if (p[3] > 0) {
          EXPECT_LE(p[1], 31) << w << ": " << x << "," << y;  // no green
        }
        if (x < w / 4) {  // well inside the opaque half
          EXPECT_EQ(p[0], 200);
          EXPECT_EQ(p[3], 255);
        }
        if (x >= w - w / 4) {
          EXPECT_EQ(p[3], 0);
        }
      }
    }
  }
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
  EXPECT_EQ(clock.localTimeText(0).size(), 8u);
}

// The clock reads the time its tick fell due, however late the tick runs: the live loop runs
// ticks in batches, long after some fell due.
TEST(LocalTime, AClockReadLateShowsTheTimeOfItsDueTime) {
  ASSERT_NE(std::setlocale(LC_TIME, "C"), nullptr);
  // Core time 1000 falls on the turn of a minute, years ago on the wall clock.
  const std::time_t then = 1'600'000'000;
  std::tm local{};
  localtime_r(&then, &local);
  const std::time_t turn = then - local.tm_sec + 60;
  LocalTimeText clock;
  clock.setOrigin((std::int64_t{turn} * 1000 - 1000) * 1'000'000);
  EXPECT_EQ(clock.localTimeText(999), LocalTimeText::format(turn - 1));
  EXPECT_EQ(clock.localTimeText(1000), LocalTimeText::format(turn));
  EXPECT_EQ(clock.localTimeText(0), LocalTimeText::format(turn - 1));  // an earlier second again

  // Through the game: all the clock's ticks of two seconds run in one batch, and the readout
  // changes to the new minute at the tick due at 1000, not before or after.
  struct MinuteWatch : DisplayObserver {
    const Device* device = nullptr;
    std::vector<std::pair<Millis, int>> units;  // the minute's units digit, and when
    void onShow(Group, int, bool) override {}
    void onDigit(Place p, int digit) override {
      if (p == Place::Unita) units.emplace_back(device->now(), digit);
    }
  } watch;
  NullWorld world;
  Device device(Seams{world, clock, world.random, world, world});
  watch.device = &device;
  device.setDisplayObserver(&watch);
  device.start();
  device.runUntil(2000);
  const auto minuteUnits = [](std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm.tm_min % 10;
  };
  EXPECT_EQ(watch.units, (std::vector<std::pair<Millis, int>>{{2, minuteUnits(turn - 1)},
                                                              {1000, minuteUnits(turn)}}));
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

std::int64_t fakeWallUs() {
  return 1'700'000'000'000'000;
}

class TimingLogTest : public ::testing::Test {
 protected:
  // A key as SDL's queue takes it in, stamped by the front end's watch.
  void arrive(std::int64_t atMs, Uint32 type = SDL_KEYDOWN) {
    fakeNs = atMs * kMs;
    SDL_Event e = event(type);
    stampKeyArrival(&log, &e);
  }
  TimingLog log{&fakeClock, &fakeWallUs};
};

TEST_F(TimingLogTest, AChangeCountsFromItsTicksDueTimeToThePresentOrTheSoundThatShowsIt) {
  Display d;
  log.setOrigin(1000 * kMs, d);
  fakeNs = 1010 * kMs + 500'000;
  log.tickStarts(TimerId::TimeOra, 4, false);  // changes nothing: not counted
  log.tickEnds();
  log.tickStarts(TimerId::TimeCassa1, 6, false);
  d.hide(Group::Camion);
  log.tickEnds();
  log.tickStarts(TimerId::TimeEngine, 8, false);
  log.soundStarts();  // heard as it starts
  log.tickEnds();
  log.soundStarts();  // an input's sound: its key counts instead
  ASSERT_EQ(log.changes().size(), 1u);
  EXPECT_EQ(log.changes()[0].lateUs, 2500);
  EXPECT_TRUE(log.changes()[0].sound);
  fakeNs = 1012 * kMs;
  log.screen(d.version() - 1, true);  // an older picture: not yet
  EXPECT_EQ(log.changes().size(), 1u);
  log.screen(d.version(), true);
  ASSERT_EQ(log.changes().size(), 2u);
  EXPECT_EQ(log.changes()[1].lateUs, 6000);
  EXPECT_EQ(log.changes()[1].due, 6);
  EXPECT_FALSE(log.changes()[1].sound);
  // A change whose picture came out the same as the one on screen has no frame to wait for.
  log.tickStarts(TimerId::TimeCassa1, 10, false);
  d.show(Group::Camion);
  d.hide(Group::Camion);
  log.tickEnds();
  log.screen(d.version(), false);
  EXPECT_EQ(log.changes().size(), 2u);
}

TEST_F(TimingLogTest, AKeyCountsFromItsArrivalToThePresentLessItsHold) {
  Display d;
  log.setOrigin(0, d);
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
  Display d;
  log.setOrigin(0, d);
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
  Display d;
  log.setOrigin(0, d);
  log.wake();
  fakeNs = 9 * kMs;
  log.tickStarts(TimerId::TimeOra, 2, false);
  d.show(Group::duepunti);
  log.tickEnds();
  log.lookedAhead(30, 1500, 2, 62);
  arrive(10);
  log.keyHandled(true, 1, 10);
  fakeNs = 12 * kMs;
  log.screen(1, true, 11 * kMs);
  std::stringstream text(log.text());
  std::string first;
  std::getline(text, first);
  EXPECT_EQ(first.rfind("first_present_unix_us ", 0), 0u);
  std::string rest((std::istreambuf_iterator<char>(text)), std::istreambuf_iterator<char>());
  EXPECT_EQ(rest,
            "wakes 1\nelapsed_ms 12\nchange 10000 2 TimeOra\ninput 2000\nframe 1000\n"
            "ahead 30 1500 2 62\n");
}

}  // namespace
}  // namespace cw
