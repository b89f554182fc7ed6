// The sim's message loop: posting, nested loops and their driver, the virtual clock and timers,
// driven sleeps and the end of the process.
#include "platform/sim/sim_message_loop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace roarmark::platform::sim {
namespace {

TEST(SimMessageLoopTest, PostedMessagesRunLaterInOrderIncludingThosePostedMeanwhile) {
  SimMessageLoop loop;
  std::vector<int> ran;
  loop.Post([&] {
    ran.push_back(1);
    loop.Post([&] { ran.push_back(3); });
  });
  loop.Post([&] { ran.push_back(2); });
  EXPECT_TRUE(ran.empty());
  EXPECT_EQ(loop.PendingCount(), 2u);
  loop.DispatchPending();
  EXPECT_EQ(ran, (std::vector<int>{1, 2, 3}));
}

TEST(SimMessageLoopTest, RunUntilDispatchesThenAsksTheDriverThenStalls) {
  SimMessageLoop loop;
  std::vector<std::string> log;
  bool done = false;
  loop.Post([&] { log.push_back("message"); });
  loop.QueueAction([&] {
    log.push_back("action 1");
    loop.Post([&] { log.push_back("posted by action"); });
  });
  loop.QueueAction([&] {
    log.push_back("action 2");
    done = true;
  });
  loop.RunUntil([&] { return done; });
  EXPECT_EQ(log, (std::vector<std::string>{"message", "action 1", "posted by action", "action 2"}));

  EXPECT_THROW(loop.RunUntil([] { return false; }), SimStalled);
  EXPECT_EQ(loop.LoopDepth(), 0);
}

TEST(SimMessageLoopTest, TheIdleDriverRunsAfterQueuedActionsAndNestedLoopsCount) {
  SimMessageLoop loop;
  int driven = 0;
  int inner_depth = 0;
  bool outer_done = false;
  loop.SetIdleDriver([&] {
    ++driven;
    if (driven == 1) {
      bool inner_done = false;
      loop.QueueAction([&] {
        inner_depth = loop.LoopDepth();
        inner_done = true;
      });
      loop.RunUntil([&] { return inner_done; });
      return true;
    }
    outer_done = true;
    return true;
  });
  loop.RunUntil([&] { return outer_done; });
  EXPECT_EQ(inner_depth, 2);
  EXPECT_EQ(driven, 2);
}

TEST(SimMessageLoopTest, TickCountStartsWhereSetAndWrapsAt2To32) {
  SimMessageLoop loop;
  loop.SetTickCount(4294967290u);
  EXPECT_EQ(loop.TickCount(), 4294967290u);
  loop.Advance(5);
  EXPECT_EQ(loop.TickCount(), 4294967295u);
  loop.Advance(10);
  EXPECT_EQ(loop.TickCount(), 9u);
  EXPECT_EQ(loop.Elapsed(), 15u);
}

TEST(SimMessageLoopTest, TimersFireInOrderOfDueTimeWhileTheClockAdvances) {
  SimMessageLoop loop;
  loop.SetTickCount(1000);
  std::vector<std::pair<char, std::uint32_t>> fired;
  loop.SetTimer(250, [&] { fired.emplace_back('a', loop.TickCount()); });
  loop.SetTimer(100, [&] { fired.emplace_back('b', loop.TickCount()); });
  loop.Advance(500);
  const std::vector<std::pair<char, std::uint32_t>> expected = {
      {'b', 1100}, {'b', 1200}, {'a', 1250}, {'b', 1300}, {'b', 1400}, {'a', 1500}, {'b', 1500}};
  EXPECT_EQ(fired, expected);
  EXPECT_EQ(loop.TickCount(), 1500u);
}

TEST(SimMessageLoopTest, KilledTimersStopEvenFromInsideTheirCallback) {
  SimMessageLoop loop;
  int a = 0;
  int b = 0;
  TimerId ida = 0;
  ida = loop.SetTimer(10, [&] {
    if (++a == 2) loop.KillTimer(ida);
  });
  TimerId idb = loop.SetTimer(10, [&] { ++b; });
  loop.Advance(25);
  loop.KillTimer(idb);
  loop.Advance(100);
  EXPECT_EQ(a, 2);
  EXPECT_EQ(b, 2);
  EXPECT_EQ(loop.TimerCount(), 0u);
}

TEST(SimMessageLoopTest, SleepAdvancesTheClockAndFiresTimersButNoMessages) {
  SimMessageLoop loop;
  int ticks = 0;
  bool posted = false;
  loop.SetTimer(100, [&] { ++ticks; });
  loop.Post([&] { posted = true; });
  loop.Sleep(250);
  EXPECT_EQ(loop.TickCount(), 250u);
  EXPECT_EQ(ticks, 2);
  EXPECT_FALSE(posted);
  EXPECT_EQ(loop.Sleeps(), (std::vector<std::uint32_t>{250}));
}

TEST(SimMessageLoopTest, DrivenSleepsSpendGrantedTimeAndAskForMore) {
  SimMessageLoop loop;
  loop.SetSleepDriven(true);
  int asked = 0;
  bool in_sleep_when_asked = false;
  loop.SetIdleDriver([&] {
    in_sleep_when_asked = loop.InSleep();
    if (++asked > 1) return false;
    loop.GrantSleep(250);
    return true;
  });
  loop.Sleep(100);
  loop.Sleep(100);
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(in_sleep_when_asked);
  EXPECT_EQ(loop.SleepBudget(), 50u);
  EXPECT_THROW(loop.Sleep(100), SimStalled);
  EXPECT_EQ(loop.TickCount(), 250u);  // the granted time is spent before asking for more
  EXPECT_FALSE(loop.InSleep());
}

TEST(SimMessageLoopTest, EndProcessUnwindsWithItsCodeAndTheFirstEndWins) {
  SimMessageLoop loop;
  try {
    loop.EndProcess(1);
    FAIL() << "EndProcess returned";
  } catch (const ProcessEnded& ended) {
    EXPECT_EQ(ended.code, 1);
  }
  EXPECT_EQ(loop.EndCode(), 1);
  EXPECT_TRUE(loop.EndedByProcessEnd());
  EXPECT_THROW(loop.EndProcess(0), ProcessEnded);
  loop.RecordEnd(0);
  EXPECT_EQ(loop.EndCode(), 1);
}

}  // namespace
}  // namespace roarmark::platform::sim
