// What keeps an unattended show right on Windows: the display and the machine held awake while
// the show runs, and the watch window that hears monitor changes and a second start's request.
#include <gtest/gtest.h>

// clang-format off
#include "platform/win32/base/win32_windows.h"
// clang-format on

#include "platform/win32/win32_desktop_watch.h"
#include "platform/win32/win32_keep_awake.h"

namespace roarmark::platform::win32 {
namespace {

// The execution state in force, read without changing it (a request without ES_CONTINUOUS
// leaves a continuous state alone).
EXECUTION_STATE ContinuousState() {
  const EXECUTION_STATE state = SetThreadExecutionState(ES_CONTINUOUS);
  SetThreadExecutionState(state);
  return state;
}

TEST(Win32KeepAwakeTest, HoldsDisplayAndSystemUntilReleased) {
  TWin32KeepAwake awake;
  awake.Hold();
  EXPECT_EQ(ContinuousState(), ES_CONTINUOUS | ES_DISPLAY_REQUIRED | ES_SYSTEM_REQUIRED);
  awake.Release();
  EXPECT_EQ(ContinuousState(), static_cast<EXECUTION_STATE>(ES_CONTINUOUS));
}

TEST(Win32DesktopWatchTest, HearsMonitorBroadcastsAndRaiseRequests) {
  TWin32DesktopWatch watch(L"Roarmark-test-watch");
  int changed = 0;
  int raised = 0;
  watch.OnMonitorsChanged = [&] { ++changed; };
  watch.OnRaiseRequest = [&] { ++raised; };
  const HWND window = FindWindowW(kDesktopWatchClass, L"Roarmark-test-watch");
  ASSERT_NE(window, nullptr);
  const struct {
    const char* Name;
    HWND Target;
    UINT Message;
    WPARAM W;
    LPARAM L;
    int Changed;
    int Raised;
  } cases[] = {
      // Broadcasts reach top-level windows only: the watch must be one.
      {"resolution changed", HWND_BROADCAST, WM_DISPLAYCHANGE, 32, MAKELPARAM(1280, 1024), 1, 0},
      {"work area changed", HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0, 2, 0},
      {"another setting", HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETDESKWALLPAPER, 0, 2, 0},
      {"second start", window, RaiseRequestMessage(), 0, 0, 2, 1},
  };
  for (const auto& c : cases) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(c.Target, c.Message, c.W, c.L, SMTO_ABORTIFHUNG, 2000, &result);
    EXPECT_EQ(changed, c.Changed) << c.Name;
    EXPECT_EQ(raised, c.Raised) << c.Name;
  }
}

}  // namespace
}  // namespace roarmark::platform::win32
