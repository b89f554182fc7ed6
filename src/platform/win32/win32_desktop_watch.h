// A hidden top-level window of the program's own that hears the desktop's broadcasts about its
// monitors (resolution changed, a monitor added or removed, the work area changed) and a later
// start's request to come to the front.
#pragma once

// clang-format off
#include "platform/win32/base/win32_windows.h"
// clang-format on

#include <functional>
#include <string>

namespace roarmark::platform::win32 {

// The registered message a second start sends to the running program's watch window.
UINT RaiseRequestMessage();
// The watch window's class; its title names the data folder it serves.
inline constexpr wchar_t kDesktopWatchClass[] = L"RoarmarkDesktopWatch";

class TWin32DesktopWatch {
 public:
  // `title`: found by a second start with FindWindowW(kDesktopWatchClass, title).
  explicit TWin32DesktopWatch(const std::wstring& title);
  ~TWin32DesktopWatch();
  TWin32DesktopWatch(const TWin32DesktopWatch&) = delete;
  TWin32DesktopWatch& operator=(const TWin32DesktopWatch&) = delete;

  std::function<void()> OnMonitorsChanged;
  std::function<void()> OnRaiseRequest;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM w, LPARAM l);
  HWND window_ = nullptr;
};

}  // namespace roarmark::platform::win32
