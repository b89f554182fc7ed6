// The control model shown with Qt Widgets: the backend that makes a native widget for every
// control and turns keys, mouse and window events into the model's User... calls.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <array>
#include <functional>
#include <memory>
#include <optional>

#include "platform/system_colours.h"
#include "platform/ui/application.h"
#include "platform/ui/backend.h"

namespace roarmark::platform::qt {

class TQtMessageLoop;
class TFormPeer;

class TQtUiBackend final : public QObject, public ui::IUiBackend {
 public:
  TQtUiBackend(TQtMessageLoop& loop, const ISystemColours& colours);
  ~TQtUiBackend() override;

  ui::TFrameExtents FrameExtents(ui::TBorderStyle style) const override;
  void ApplicationCreated(ui::TApplication& app) override;
  void ApplicationDestroyed(ui::TApplication& app) override;
  std::unique_ptr<ui::IControlPeer> CreatePeer(ui::TControl& control) override;
  void CursorChanged(ui::TCursor cursor) override;
  void ZOrderChanged() override;
  void ApplicationTerminated() override;

  ui::TApplication* App() const { return app_; }
  const ISystemColours& Colours() const { return colours_; }
  // A window showed its real frame; later layouts use it. True when it differs from before.
  bool FrameMeasured(ui::TBorderStyle style, const ui::TFrameExtents& frame);
  // Runs once a shown form's client area changed because its real frame became known, so the
  // program can lay it out again.
  std::function<void(ui::TForm&)> OnFrameChanged;
  // How long an activation the program asked for may take; one the window manager refused
  // must not make later activations by the user look like its echo.
  static constexpr int kActivationEchoMs = 1000;
  // Activation the program asked for; Qt's activation events until then are echoes, not the
  // user's doing.
  void RequestActivation(QWidget* window);
  // Whether an activation event of `window` comes from the user.
  bool UserActivated(QWidget* window);
  // Runs a model call from a Qt event, routing an exception to the standard error box.
  void Guard(const std::function<void()>& action);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool KeyEvent(QObject* watched, QEvent* event);

  TQtMessageLoop& loop_;
  const ISystemColours& colours_;
  ui::TApplication* app_ = nullptr;
  std::array<std::optional<ui::TFrameExtents>, 3> frames_;
  bool window_manager_ = true;
  bool cursor_overridden_ = false;
  QWidget* requested_active_ = nullptr;
  QElapsedTimer requested_at_;
};

}  // namespace roarmark::platform::qt
