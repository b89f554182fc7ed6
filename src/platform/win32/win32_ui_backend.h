// The control model shown with native Win32 windows: one window per control, kept in step
// with the model; keys, mouse and window events turned into the model's User... calls.
#pragma once

// clang-format off
#include "platform/win32/base/win32_windows.h"
// clang-format on

#include <memory>

#include "platform/system_colours.h"
#include "platform/ui/application.h"
#include "platform/ui/backend.h"

namespace roarmark::platform::win32 {

class TWin32MessageLoop;
class TWin32FormPeer;

class TWin32UiBackend final : public ui::IUiBackend {
 public:
  TWin32UiBackend(TWin32MessageLoop& loop, const ISystemColours& colours);
  ~TWin32UiBackend() override;

  ui::TFrameExtents FrameExtents(ui::TBorderStyle style) const override;
  void ApplicationCreated(ui::TApplication& app) override { app_ = &app; }
  void ApplicationDestroyed(ui::TApplication& app) override;
  std::unique_ptr<ui::IControlPeer> CreatePeer(ui::TControl& control) override;
  void CursorChanged(ui::TCursor cursor) override;
  void ZOrderChanged() override;
  void ApplicationTerminated() override;

  ui::TApplication* App() const { return app_; }
  TWin32MessageLoop& Loop() const { return loop_; }
  const ISystemColours& Colours() const { return colours_; }
  HCURSOR Cursor() const { return cursor_; }
  // The window of the active form, for dialogs to belong to.
  HWND ActiveWindow() const;
  // Runs a model call from a window procedure; an exception goes to the standard error box.
  void Guard(const std::function<void()>& action);

 private:
  bool KeyMessage(const MSG& msg);

  TWin32MessageLoop& loop_;
  const ISystemColours& colours_;
  ui::TApplication* app_ = nullptr;
  HCURSOR cursor_ = nullptr;
};

// Window styles of a form with `style` and the close box or not.
DWORD FormStyle(ui::TBorderStyle style, bool close_box);
DWORD FormExStyle(ui::TBorderStyle style);

}  // namespace roarmark::platform::win32
