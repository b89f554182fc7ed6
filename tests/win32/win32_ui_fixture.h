// The control model on the Win32 backend, for tests that show forms under wine.
#pragma once

// clang-format off
#include "platform/win32/base/win32_windows.h"
// clang-format on

#include "platform/ui/application.h"
#include "platform/win32/win32_message_loop.h"
#include "platform/win32/win32_peers.h"
#include "platform/win32/win32_services.h"
#include "platform/win32/win32_ui_backend.h"

namespace roarmark::platform::win32 {

class TWin32Ui {
 public:
  ui::TApplication& App() { return app_; }
  // Lets the windows take every message they have been sent, painting included, until they have
  // been quiet for a while.
  void Settle() {
    for (int quiet = 0; quiet < 5;) {
      MSG msg;
      if (PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        loop_.DispatchPending();
        quiet = 0;
      } else {
        Sleep(20);
        ++quiet;
      }
    }
  }
  static HWND Window(const ui::TControl& control) {
    auto* peer = dynamic_cast<TWin32Peer*>(control.Peer());
    return peer ? peer->Window() : nullptr;
  }

 private:
  TPlatform MakePlatform() {
    TPlatform platform;
    platform.MessageLoop = &loop_;
    platform.Monitors = &monitors_;
    platform.SystemColours = &colours_;
    platform.Ui = &backend_;
    return platform;
  }

  TWin32MessageLoop loop_;
  TWin32Monitors monitors_;
  TWin32SystemColours colours_;
  TWin32UiBackend backend_{loop_, colours_};
  ui::TApplication app_{MakePlatform()};
};

}  // namespace roarmark::platform::win32
