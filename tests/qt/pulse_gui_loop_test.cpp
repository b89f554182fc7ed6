// The libpulse main loop on Qt's event loop: its descriptors and timers are served by Qt's
// loop, and its own waits serve nothing else.
#include "platform/qt/pulse_gui_loop.h"

#include <gtest/gtest.h>
#include <pulse/timeval.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace roarmark::platform::qt {
namespace {

struct TFired {
  bool Io = false;
  bool Time = false;
};

TEST(PulseGuiLoop, ItsDescriptorsAndTimersAreServedByQtsLoop) {
  TPulseGuiLoop loop;
  pa_mainloop_api* api = loop.Api();
  ASSERT_NE(api, nullptr);
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  TFired fired;
  pa_io_event* io = api->io_new(
      api, fds[0], PA_IO_EVENT_INPUT,
      [](pa_mainloop_api*, pa_io_event*, int fd, pa_io_event_flags_t, void* data) {
        char c;
        if (read(fd, &c, 1) == 1) static_cast<TFired*>(data)->Io = true;
      },
      &fired);
  timeval when{};
  pa_gettimeofday(&when);
  pa_timeval_add(&when, 30 * PA_USEC_PER_MSEC);
  pa_time_event* time = api->time_new(
      api, &when,
      [](pa_mainloop_api*, pa_time_event*, const timeval*, void* data) {
        static_cast<TFired*>(data)->Time = true;
      },
      &fired);
  loop.Sync();
  ASSERT_EQ(write(fds[1], "x", 1), 1);

  QEventLoop qt;
  QElapsedTimer clock;
  clock.start();
  while (!(fired.Io && fired.Time) && clock.elapsed() < 2000)
    qt.processEvents(QEventLoop::WaitForMoreEvents, 50);
  EXPECT_TRUE(fired.Io);
  EXPECT_TRUE(fired.Time);
  api->io_free(io);
  api->time_free(time);
  loop.Sync();
  close(fds[0]);
  close(fds[1]);
}

// Opening a stream waits on the GUI thread: nothing of the program may run meanwhile.
TEST(PulseGuiLoop, ItsWaitRunsNoQtEventsAndEndsAtTheTimeout) {
  TPulseGuiLoop loop;
  bool qt_ran = false;
  QTimer::singleShot(0, [&] { qt_ran = true; });
  QElapsedTimer clock;
  clock.start();
  EXPECT_FALSE(loop.Wait([] { return false; }, 60 * PA_USEC_PER_MSEC));
  EXPECT_GE(clock.elapsed(), 60);
  EXPECT_FALSE(qt_ran);
  // Its own timers do run.
  pa_mainloop_api* api = loop.Api();
  timeval when{};
  pa_gettimeofday(&when);
  pa_timeval_add(&when, 10 * PA_USEC_PER_MSEC);
  bool passed = false;
  pa_time_event* time = api->time_new(
      api, &when,
      [](pa_mainloop_api*, pa_time_event*, const timeval*, void* data) {
        *static_cast<bool*>(data) = true;
      },
      &passed);
  clock.restart();
  EXPECT_TRUE(loop.Wait([&] { return passed; }, 2 * PA_USEC_PER_SEC));
  EXPECT_LT(clock.elapsed(), 1000);
  EXPECT_FALSE(qt_ran);
  api->time_free(time);
}

}  // namespace
}  // namespace roarmark::platform::qt
