// The live loop's pacing of the core: ticks and input in arrival order, holds, stalls.
#include <gtest/gtest.h>

#include <vector>

#include "core/shell/look_ahead.h"
#include "live/pacer.h"
#include "support/null_world.h"
#include "support/plantable_device.h"

namespace cw {
namespace {

LiveInput key(int code) {
  KeyInput k;
  k.code = code;
  return k;
}

class PacerTest : public ::testing::Test {
 protected:
  PacerTest()
      : device(world.seams()),
        pacer(
            device,
            [this](const LiveInput& in) {
              const int code = std::get<KeyInput>(in).code;
              delivered.push_back({device.now(), state().ClockDelay, code});
              device.keyDown(code);
            },
            [this](Millis until) {
              ++lookAheads;
              SeededRandom random = world.random;
              return lookAhead(device.game(), random, world, until);
            }) {
    device.start();
  }
  GameState& state() { return device.plantable().state(); }

  struct Delivery {
    Millis at;
    int clockDelay;  // counts TimeOra's ticks down while no game runs
    int code;
  };
  NullWorld world;
  PlantableDevice device;
  Pacer pacer;
  std::vector<Delivery> delivered;
  int lookAheads = 0;
};

TEST_F(PacerTest, TicksDueUpToAnInputRunBeforeItAndTheRestUpToNow) {
  state().ClockDelay = 100;
  pacer.arrive(21, key(0x41));
  pacer.arrive(22, key(0x41));  // a tick falls due at 22 too: it runs first
  pacer.advance(30);
  ASSERT_EQ(delivered.size(), 2u);
  EXPECT_EQ(delivered[0].at, 21);
  EXPECT_EQ(delivered[0].clockDelay, 90);  // ticks at 2, 4, .. 20
  EXPECT_EQ(delivered[1].at, 22);
  EXPECT_EQ(delivered[1].clockDelay, 89);
  EXPECT_EQ(device.now(), 30);
  EXPECT_EQ(state().ClockDelay, 85);
  EXPECT_FALSE(pacer.holding(30));
  // Input that arrived before the core's clock (it was stamped late) is taken at once.
  pacer.arrive(5, key(0x41));
  pacer.advance(30);
  ASSERT_EQ(delivered.size(), 3u);
  EXPECT_EQ(delivered[2].at, 30);
}

TEST_F(PacerTest, AHoldKeepsInputAndTheScreenBackUntilTheRealClockCatchesUp) {
  world.moveSoundMs = 300;
  pacer.arrive(10, key(112));  // F1: the start sound holds the window
  pacer.arrive(50, key(0x41));
  pacer.advance(60);
  ASSERT_EQ(delivered.size(), 1u);
  EXPECT_EQ(device.now(), 310);
  EXPECT_TRUE(pacer.holding(60));
  EXPECT_EQ(pacer.queued(), 1u);
  EXPECT_EQ(pacer.wakeAt(60), 310);  // wake when the hold ends
  pacer.advance(309);
  EXPECT_EQ(delivered.size(), 1u);
  EXPECT_TRUE(pacer.holding(309));
  pacer.advance(312);
  ASSERT_EQ(delivered.size(), 2u);
  EXPECT_EQ(delivered[1].at, 310);  // taken when the hold ended
  EXPECT_FALSE(pacer.holding(312));
  EXPECT_EQ(device.now(), 312);
  EXPECT_EQ(state().GameRunning, 1);
}

TEST_F(PacerTest, InputQueuedBehindAHoldKeepsItsOrder) {
  world.moveSoundMs = 100;
  pacer.arrive(0, key(112));
  pacer.arrive(1, key(0x41));
  pacer.arrive(2, key(0x42));
  pacer.advance(50);
  EXPECT_EQ(delivered.size(), 1u);
  pacer.advance(100);
  ASSERT_EQ(delivered.size(), 3u);
  EXPECT_EQ(delivered[1].code, 0x41);
  EXPECT_EQ(delivered[2].code, 0x42);
  EXPECT_EQ(delivered[1].at, 100);
  EXPECT_EQ(delivered[2].at, 100);
}

TEST_F(PacerTest, SleepsUntilATickChangesThePictureOrPlaysASoundNotForEveryTick) {
  world.timeText = "9:41:00";
  pacer.advance(0);
  // The clock's first tick puts the time up.
  EXPECT_EQ(pacer.wakeAt(0), 2);
  pacer.advance(2);
  EXPECT_TRUE(device.display().shown(Group::duepunti));
  // Then the clock's ticks show nothing new: the loop sleeps as long as it may leave them.
  EXPECT_EQ(pacer.wakeAt(2), 2 + Pacer::kCatchUpMs);
  // After a game the clock's ticks count down a pause with the score on the readout, showing
  // nothing, and the one after it shows the time again.
  pacer.advance(3);
  state().ClockDelay = 100;
  device.plantable().display().blank(Place::Unita);  // the last score's digit
  EXPECT_EQ(pacer.wakeAt(3), 4 + 2 * 100);
  // The look ahead stands while only its own ticks run.
  const int looked = lookAheads;
  pacer.advance(50);
  EXPECT_EQ(pacer.wakeAt(50), 204);
  EXPECT_EQ(lookAheads, looked);
  EXPECT_EQ(state().ClockDelay, 100 - 24);  // the live ticks ran, 4 .. 50
  // Queued input wakes the loop at once.
  pacer.arrive(60, key(0x41));
  EXPECT_EQ(pacer.wakeAt(60), 60);
}

// What the live loop's timing record is told: each tick with the time it fell due, and which
// ones a hold made late on purpose.
struct TickLog : TickObserver {
  struct Tick {
    TimerId timer;
    Millis due;
    Millis clock;  // the core's clock as the tick starts
    bool afterHold;
  };
  Device* device = nullptr;
  std::vector<Tick> ticks;
  void tickStarts(TimerId timer, Millis due, bool afterHold) override {
    ticks.push_back({timer, due, device->now(), afterHold});
  }
};

TEST_F(PacerTest, EveryTickIsToldWithItsDueTimeAndTheHoldsLateOnesAreMarked) {
  TickLog log;
  log.device = &device;
  device.setTickObserver(&log);
  world.moveSoundMs = 9;
  pacer.arrive(3, key(112));  // F1 at 3: the start sound holds until 12
  pacer.advance(14);
  device.setTickObserver(nullptr);
  std::vector<std::pair<Millis, bool>> seen;
  for (const TickLog::Tick& t : log.ticks) {
    EXPECT_EQ(t.timer, TimerId::TimeOra);
    EXPECT_EQ(t.due, t.clock);
    seen.emplace_back(t.due, t.afterHold);
  }
  // 2 before the key; 4 .. 12 missed in the hold: one late tick at 12; then 14 on time.
  EXPECT_EQ(seen, (std::vector<std::pair<Millis, bool>>{{2, false}, {12, true}, {14, false}}));
}

TEST_F(PacerTest, AWakeUpOverASecondLateReanchorsInsteadOfCatchingUp) {
  state().ClockDelay = 5000;
  pacer.advance(1000);  // a second in steps ticks 500 times
  EXPECT_EQ(state().ClockDelay, 4500);
  const Millis planned = pacer.wakeAt(1000);
  EXPECT_EQ(planned, 1000 + Pacer::kCatchUpMs);
  // Woken just over a second after it meant to: the ticks up to then run one by one, and one
  // tick stands for all those after.
  pacer.advance(planned + Pacer::kStallMs + 1);
  EXPECT_EQ(state().ClockDelay, 4500 - (planned - 1000) / 2 - 1);
  EXPECT_EQ(device.now(), planned + Pacer::kStallMs + 1);
  // Afterwards the timer keeps its own grid; a wake-up a second late is no stall yet.
  state().ClockDelay = 100'000;
  pacer.forget();
  const Millis next = pacer.wakeAt(device.now());
  EXPECT_EQ(next, device.now() + Pacer::kCatchUpMs);
  pacer.advance(next + Pacer::kStallMs);
  EXPECT_EQ(state().ClockDelay, 100'000 - (Pacer::kCatchUpMs + Pacer::kStallMs) / 2);
}

}  // namespace
}  // namespace cw
