// The watch window: WM_DISPLAYCHANGE, work-area changes and the raise request.
#include "platform/win32/win32_desktop_watch.h"

namespace roarmark::platform::win32 {

UINT RaiseRequestMessage() {
  static const UINT message = RegisterWindowMessageW(L"Roarmark.BringToFront");
  return message;
}

TWin32DesktopWatch::TWin32DesktopWatch(const std::wstring& title) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = &TWin32DesktopWatch::WindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kDesktopWatchClass;
  RegisterClassW(&wc);
  // Top-level, never shown: broadcasts reach only top-level windows.
  window_ = CreateWindowExW(WS_EX_TOOLWINDOW, kDesktopWatchClass, title.c_str(), WS_POPUP, 0, 0, 0,
                            0, nullptr, nullptr, wc.hInstance, nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  // A second start runs at the same or a lower integrity level; let its request through.
  ChangeWindowMessageFilterEx(window_, RaiseRequestMessage(), MSGFLT_ALLOW, nullptr);
}

TWin32DesktopWatch::~TWin32DesktopWatch() {
  if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK TWin32DesktopWatch::WindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* self = reinterpret_cast<TWin32DesktopWatch*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self) {
    if (message == WM_DISPLAYCHANGE || (message == WM_SETTINGCHANGE && w == SPI_SETWORKAREA)) {
      if (self->OnMonitorsChanged) self->OnMonitorsChanged();
      return 0;
    }
    if (message == RaiseRequestMessage()) {
      if (self->OnRaiseRequest) self->OnRaiseRequest();
      return 0;
    }
  }
  return DefWindowProcW(window, message, w, l);
}

}  // namespace roarmark::platform::win32
