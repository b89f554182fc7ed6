// The Windows program: Roarmark on Win32. Its manifest (src/platform/win32/roarmark.rc) makes it
// per-monitor DPI aware, so the meter is laid out in device pixels on every monitor.

// clang-format off
#include "platform/win32/base/win32_windows.h"
// clang-format on

#include "core/application.h"
#include "platform/win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  roarmark::platform::win32::TWin32Platform platform;
  return roarmark::RunRoarmark(platform.Platform());
}
