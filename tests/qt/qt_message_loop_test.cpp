// The message loop on Qt: order of posted messages, nested loops, timers, errors.
#include "platform/qt/qt_message_loop.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QTimer>

#include <stdexcept>
#include <string>
#include <vector>

namespace roarmark::platform::qt {
namespace {

TEST(QtMessageLoop, PostedMessagesRunLaterInTheOrderPosted) {
  TQtMessageLoop loop;
  std::string trace;
  loop.Post([&] { trace += "a"; });
  loop.Post([&] { trace += "b"; });
  EXPECT_EQ(trace, "");  // never inside Post
  loop.DispatchPending();
  EXPECT_EQ(trace, "ab");
}

TEST(QtMessageLoop, DispatchPendingAlsoRunsWhatTheMessagesPost) {
  TQtMessageLoop loop;
  std::string trace;
  loop.Post([&] {
    trace += "1";
    loop.Post([&] { trace += "3"; });
  });
  loop.Post([&] { trace += "2"; });
  loop.DispatchPending();
  EXPECT_EQ(trace, "123");
}

TEST(QtMessageLoop, RunUntilKeepsDispatchingUntilTheConditionHolds) {
  TQtMessageLoop loop;
  int count = 0;
  std::function<void()> step = [&] {
    if (++count < 5) loop.Post(step);
  };
  loop.Post(step);
  loop.RunUntil([&] { return count == 5; });
  EXPECT_EQ(count, 5);
}

TEST(QtMessageLoop, RunUntilReturnsAtOnceWhenTheConditionAlreadyHolds) {
  TQtMessageLoop loop;
  bool ran = false;
  loop.Post([&] { ran = true; });
  loop.RunUntil([] { return true; });
  EXPECT_FALSE(ran);
  loop.DispatchPending();
  EXPECT_TRUE(ran);
}

TEST(QtMessageLoop, NestedLoopsDispatchTheOuterLoopsMessages) {
  TQtMessageLoop loop;
  std::vector<int> order;
  bool inner_done = false;
  loop.Post([&] {
    order.push_back(1);
    loop.Post([&] {
      order.push_back(2);
      inner_done = true;
    });
    loop.RunUntil([&] { return inner_done; });  // a modal dialog's loop
    order.push_back(3);
  });
  loop.RunUntil([&] { return order.size() == 3; });
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

// A message box or dialog runs Qt's own loop, not RunUntil: what the message posted before
// opening it still runs while it is open.
TEST(QtMessageLoop, QtsOwnNestedLoopRunsWhatTheMessageOpeningItPosted) {
  TQtMessageLoop loop;
  std::vector<int> order;
  loop.Post([&] {
    order.push_back(1);
    QEventLoop modal;
    loop.Post([&] {
      order.push_back(2);
      modal.quit();
    });
    QTimer::singleShot(3000, &modal, [&] {
      order.push_back(-1);  // nothing ran it
      modal.quit();
    });
    modal.exec();
    order.push_back(3);
  });
  loop.RunUntil([&] { return order.size() >= 3; });
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(QtMessageLoop, TimerRepeatsUntilKilledFromItsOwnCallback) {
  TQtMessageLoop loop;
  int ticks = 0;
  TimerId id = 0;
  id = loop.SetTimer(5, [&] {
    if (++ticks == 3) loop.KillTimer(id);
  });
  EXPECT_NE(id, 0u);
  loop.RunUntil([&] { return ticks >= 3; });
  loop.Sleep(30);
  loop.DispatchPending();
  EXPECT_EQ(ticks, 3);
}

TEST(QtMessageLoop, TimersHaveDistinctNonZeroIds) {
  TQtMessageLoop loop;
  const TimerId a = loop.SetTimer(1000, [] {});
  const TimerId b = loop.SetTimer(1000, [] {});
  EXPECT_NE(a, 0u);
  EXPECT_NE(b, 0u);
  EXPECT_NE(a, b);
  loop.KillTimer(a);
  loop.KillTimer(b);
  loop.KillTimer(12345);  // unknown: nothing happens
}

TEST(QtMessageLoop, AnErrorInAMessageComesOutOfTheWaitingLoopAndTheRestStillRuns) {
  TQtMessageLoop loop;
  bool later = false;
  loop.Post([] { throw std::runtime_error("disk full"); });
  loop.Post([&] { later = true; });
  try {
    loop.RunUntil([&] { return later; });
    FAIL() << "the error was swallowed";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "disk full");
  }
  loop.RunUntil([&] { return later; });
  EXPECT_TRUE(later);
}

TEST(QtMessageLoop, SleepBlocksAtLeastTheTimeAskedFor) {
  TQtMessageLoop loop;
  const std::uint32_t before = loop.TickCount();
  loop.Sleep(40);
  EXPECT_GE(static_cast<std::uint32_t>(loop.TickCount() - before), 40u);
}

TEST(QtMessageLoop, EndProcessEndsAtOnceWithTheCodeAndRunsNoHandler) {
  EXPECT_EXIT(
      {
        TQtMessageLoop loop;
        std::atexit([] { std::fputs("close handler ran", stderr); });
        loop.EndProcess(1);
      },
      testing::ExitedWithCode(1), "^$");
}

}  // namespace
}  // namespace roarmark::platform::qt
