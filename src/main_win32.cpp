// The Windows program: Roarmark on Win32.

// clang-format off
#include "platform/win32/base/win32_windows.h"
// clang-format on

#include "core/application.h"
#include "platform/win32/win32_platform.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Sharp pixels on scaled displays: the meter is laid out in screen pixels.
  SetProcessDPIAware();
  roarmark::platform::win32::TWin32Platform platform;
  return roarmark::RunRoarmark(platform.Platform());
}
