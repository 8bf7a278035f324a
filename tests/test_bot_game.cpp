// A long game played through the core by a bot that plays as a good player would: it reads the
// crates on the line and walks each worker to the level of his next hand-over. It must fill the
// truck many times, earn double points at 300 and pass 1000.
#include <gtest/gtest.h>

#include <cstdint>

#include "core/shell/device.h"
#include "core/shell/line_geometry.h"
#include "support/good_player.h"
#include "support/null_world.h"

namespace cw {
namespace {

// The good player on a device of its own, counting the trucks it fills and noting when double
// points come.
class Bot {
 public:
  explicit Bot(std::uint64_t seed) : world_(seed, 60), device_(world_.seams()) { device_.start(); }

  // Plays until `until` ms. Returns false when the game ended.
  bool playUntil(Millis until) {
    while (device_.now() < until) {
      player_.turn();
      if (device_.game().state().GameRunning != 1) return false;
      trackTruck();
    }
    return true;
  }

  Device& device() { return device_; }
  int trucksFilled() const { return trucks_; }
  Millis firstDoubleAt() const { return doubleAt_; }

 private:
  void trackTruck() {
    const GameState& s = device_.game().state();
    if (s.SceneStep == 1 && lastScene_ == 0) ++trucks_;
    lastScene_ = s.SceneStep;
    if (s.PointMultiplier == 2 && doubleAt_ < 0) doubleAt_ = device_.now();
  }

  NullWorld world_;
  Device device_;
  GoodPlayer player_{device_};
  int trucks_ = 0;
  int lastScene_ = 0;
  Millis doubleAt_ = -1;
};

TEST(BotGame, ALongGameOfBFillsTrucksDoublesAtThreeHundredAndPassesOneThousand) {
  Bot bot(20261207);
  bot.device().keyDown(113);  // F2: game B, the faster one
  bot.device().keyUp(113);
  const GameState& s = bot.device().game().state();
  ASSERT_EQ(s.GameMode, "B");

  bool running = true;
  while (running && s.Score < 1010 && bot.device().now() < 3'600'000)
    running = bot.playUntil(bot.device().now() + 10'000);

  EXPECT_TRUE(running) << "game over at " << bot.device().now() << " ms, score " << s.Score;
  EXPECT_GE(bot.trucksFilled(), 5);
  EXPECT_GE(s.Score, 1000);
  EXPECT_GE(bot.firstDoubleAt(), 0) << "double points never came on";
  EXPECT_EQ(s.PointMultiplier, 2);
  EXPECT_EQ(s.SpawnRange, 12);  // every slot in play at this score

  // Once the count-up has finished (the bot has stopped playing, so the awards soon stop), the
  // readout shows the last three digits of the score.
  Device& device = bot.device();
  const Millis deadline = device.now() + 2000;
  while (device.game().scheduler().enabled(TimerId::TimePoint) && device.now() < deadline)
    device.runUntil(device.now() + 1);
  ASSERT_FALSE(device.game().scheduler().enabled(TimerId::TimePoint)) << "the count-up goes on";
  ASSERT_EQ(s.GameRunning, 1);  // the readout shows the score, not the clock
  ASSERT_EQ(s.ShownScore, s.Score + 1);
  const Display& d = device.game().display();
  EXPECT_EQ(d.digit(Place::Unita), s.Score % 10);
  EXPECT_EQ(d.digit(Place::Decina), s.Score / 10 % 10);
  EXPECT_EQ(d.digit(Place::Centinaia), s.Score / 100 % 10);
}

TEST(BotGame, GameAAlsoRunsLongWithoutAMissAndKeepsOnePoseOfEachWorker) {
  Bot bot(7);
  bot.device().keyDown(112);
  bot.device().keyUp(112);
  const GameState& s = bot.device().game().state();
  const Display& d = bot.device().game().display();
  for (int i = 0; i < 60; ++i) {
    ASSERT_TRUE(bot.playUntil(bot.device().now() + 5000)) << "game over";
    int bepo = 0, nando = 0;
    for (int m = kBottomLevel; m <= kLastPose; ++m) {
      bepo += d.shown(Group::Bepo, m);
      nando += d.shown(Group::Nando, m);
    }
    EXPECT_EQ(bepo, 1);
    EXPECT_EQ(nando, 1);
    EXPECT_TRUE(d.shown(Group::Bepo, s.BepoPose));
    EXPECT_TRUE(d.shown(Group::Nando, s.NandoPose));
  }
  EXPECT_EQ(s.Misses, 0);
  EXPECT_GE(bot.trucksFilled(), 2);
}

}  // namespace
}  // namespace cw
