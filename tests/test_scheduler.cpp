// The timer semantics the live window and the replay share.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/shell/scheduler.h"

namespace cw {
namespace {

// Runs the scheduler up to `until`, recording "time:name" for each tick; `onTick` may act.
template <typename F>
std::vector<std::string> run(Scheduler& s, Millis until, F onTick) {
  std::vector<std::string> ticks;
  TimerId id;
  while (s.popDue(until, id)) {
    ticks.push_back(std::to_string(s.now()) + ":" + std::string(timerInfo(id).name));
    onTick(id);
  }
  s.advanceTo(until);
  return ticks;
}
std::vector<std::string> run(Scheduler& s, Millis until) {
  return run(s, until, [](TimerId) {});
}

// Leaves only the given timers on, so a test sees just the ticks it is about.
void only(Scheduler& s, std::initializer_list<TimerId> keep) {
  for (int i = 0; i < kTimerCount; ++i) s.disable(static_cast<TimerId>(i));
  for (TimerId t : keep) s.enable(t);
}

TEST(Scheduler, LoadSettingsAndTableOrderOnTies) {
  Scheduler s;
  EXPECT_TRUE(s.enabled(TimerId::TimeEngine));
  EXPECT_TRUE(s.enabled(TimerId::TimeOra));
  EXPECT_FALSE(s.enabled(TimerId::TimePoint));
  EXPECT_FALSE(s.enabled(TimerId::toglimano));
  // At 1500 ms TimeEngine (750), the six crate timers (500) and Scarico (250) coincide.
  only(s, {TimerId::Scarico, TimerId::TimeCassa6, TimerId::TimeEngine, TimerId::TimeCassa1});
  auto ticks = run(s, 1500);
  std::vector<std::string> last(ticks.end() - 4, ticks.end());
  EXPECT_EQ(last, (std::vector<std::string>{"1500:TimeEngine", "1500:TimeCassa1", "1500:TimeCassa6",
                                            "1500:Scarico"}));
}

TEST(Scheduler, EnableFromOffWaitsOneIntervalAndReEnableDoesNotRestart) {
  Scheduler s;
  only(s, {});
  s.advanceTo(100);
  s.enable(TimerId::toglimano);  // due at 350
  s.advanceTo(300);
  s.enable(TimerId::toglimano);  // already on: still due at 350, not 550
  EXPECT_EQ(run(s, 600), (std::vector<std::string>{"350:toglimano", "600:toglimano"}));
}

TEST(Scheduler, DisablingDropsThePendingTickAndOneShotsStopThemselves) {
  Scheduler s;
  only(s, {TimerId::TimePoint});
  auto ticks = run(s, 200, [&](TimerId id) {
    if (s.now() == 50) s.disable(id);
  });
  EXPECT_EQ(ticks, (std::vector<std::string>{"25:TimePoint", "50:TimePoint"}));
  // Off and on again inside its own tick: the period starts from that tick.
  only(s, {TimerId::Scarico});
  s.advanceTo(1000);
  only(s, {TimerId::Scarico});
  ticks = run(s, 1600, [&](TimerId id) {
    s.disable(id);
    s.enable(id);
  });
  EXPECT_EQ(ticks, (std::vector<std::string>{"1250:Scarico", "1500:Scarico"}));
}

TEST(Scheduler, HoldCoalescesMissedTicksInOrderOfFirstMissAndKeepsEachGrid) {
  Scheduler s;
  only(s, {TimerId::TimeEngine, TimerId::TimeCassa1, TimerId::Scarico, TimerId::TimeOra});
  EXPECT_EQ(run(s, 0).size(), 0u);
  // A handler at 0 holds for 1000 ms: TimeOra first missed 2, Scarico 250, Cassa1 500,
  // Engine 750; each ticks once at 1000, then Cassa1 and Scarico (due exactly 1000 on their
  // grid) are absorbed: their next ticks are 1250 / 1500.
  s.hold(1000);
  auto ticks = run(s, 1000);
  EXPECT_EQ(ticks, (std::vector<std::string>{"1000:TimeOra", "1000:Scarico", "1000:TimeCassa1",
                                             "1000:TimeEngine"}));
  EXPECT_EQ(s.nextDue(TimerId::TimeOra), 1002);
  EXPECT_EQ(s.nextDue(TimerId::Scarico), 1250);
  EXPECT_EQ(s.nextDue(TimerId::TimeCassa1), 1500);
  EXPECT_EQ(s.nextDue(TimerId::TimeEngine), 1500);
}

TEST(Scheduler, LateTicksRunBeforeATickDueExactlyAtTheEndOfTheHold) {
  Scheduler s;
  only(s, {TimerId::Scarico});
  s.advanceTo(200);
  s.enable(TimerId::toglimano);  // due at 450
  // From 200, a 250 ms hold: Scarico missed 250, toglimano is due exactly at 450.
  s.hold(250);
  EXPECT_EQ(run(s, 450), (std::vector<std::string>{"450:Scarico", "450:toglimano"}));
  EXPECT_EQ(s.nextDue(TimerId::Scarico), 500);
}

TEST(Scheduler, ATickStandingForPeriodsAHoldMissedSaysSoAndOnlyThatOne) {
  Scheduler s;
  only(s, {TimerId::Scarico});
  s.advanceTo(200);
  s.enable(TimerId::toglimano);  // due at 450, exactly when the hold ends
  s.hold(250);
  TimerId id;
  bool afterHold = false;
  ASSERT_TRUE(s.popDue(450, id, &afterHold));
  EXPECT_EQ(id, TimerId::Scarico);  // missed 250
  EXPECT_TRUE(afterHold);
  ASSERT_TRUE(s.popDue(450, id, &afterHold));
  EXPECT_EQ(id, TimerId::toglimano);  // on time
  EXPECT_FALSE(afterHold);
  ASSERT_TRUE(s.popDue(500, id, &afterHold));
  EXPECT_EQ(id, TimerId::Scarico);
  EXPECT_FALSE(afterHold);
  EXPECT_EQ(s.now(), 500);
}

TEST(Scheduler, TicksDueAfterTheTargetWaitAndTimeStillAdvances) {
  Scheduler s;
  only(s, {TimerId::TimeEngine});
  EXPECT_TRUE(run(s, 749).empty());
  EXPECT_EQ(s.now(), 749);
  EXPECT_EQ(s.earliestDue(), 750);
  only(s, {});
  EXPECT_EQ(s.earliestDue(), -1);
}

}  // namespace
}  // namespace cw
