// The Qt Widgets backend of the control model: peers, frames, keys and the pointer.
#include "platform/qt/qt_ui_backend.h"

#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>

#include "platform/qt/qt_keys.h"
#include "platform/qt/qt_message_loop.h"
#include "platform/qt/qt_ui_peers.h"

namespace roarmark::platform::qt {

using namespace ui;

namespace {

// Whether an X11 window manager runs (one that frames windows); elsewhere, assume one.
bool WindowManagerRuns() {
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11 || !x11->connection()) return true;
  xcb_connection_t* c = x11->connection();
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  if (!screen) return true;
  static const char kName[] = "_NET_SUPPORTING_WM_CHECK";
  xcb_intern_atom_reply_t* atom =
      xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, sizeof kName - 1, kName), nullptr);
  if (!atom) return true;
  bool runs = false;
  if (atom->atom != XCB_ATOM_NONE) {
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, screen->root, atom->atom, XCB_ATOM_WINDOW, 0, 1), nullptr);
    runs = reply && xcb_get_property_value_length(reply) > 0;
    free(reply);
  }
  free(atom);
  return runs;
}

int StyleIndex(TBorderStyle style) {
  return static_cast<int>(style);
}

Qt::CursorShape ShapeOf(TCursor cursor) {
  switch (cursor) {
    case TCursor::crSizeNS:
      return Qt::SizeVerCursor;
    case TCursor::crSizeWE:
      return Qt::SizeHorCursor;
    case TCursor::crSizeAll:
      return Qt::SizeAllCursor;
    case TCursor::crDrag:
      return Qt::DragMoveCursor;
    case TCursor::crDefault:
      break;
  }
  return Qt::ArrowCursor;
}

}  // namespace

TQtUiBackend::TQtUiBackend(TQtMessageLoop& loop, const ISystemColours& colours)
    : loop_(loop), colours_(colours) {
  window_manager_ = WindowManagerRuns();
  if (qApp) qApp->installEventFilter(this);
}

TQtUiBackend::~TQtUiBackend() {
  if (qApp) qApp->removeEventFilter(this);
}

TFrameExtents TQtUiBackend::FrameExtents(TBorderStyle style) const {
  if (style == TBorderStyle::bsNone || !window_manager_) return kNoFrame;
  if (const auto& known = frames_[static_cast<std::size_t>(StyleIndex(style))]) return *known;
  return DefaultFrameExtents(style);
}

bool TQtUiBackend::FrameMeasured(TBorderStyle style, const TFrameExtents& frame) {
  if (style == TBorderStyle::bsNone) return false;
  // A frame larger than any title bar is a window in mid-move, not a frame.
  if (frame.Left < 0 || frame.Top < 0 || frame.Right < 0 || frame.Bottom < 0 || frame.Top > 200 ||
      frame.Left > 100 || frame.Right > 100 || frame.Bottom > 100)
    return false;
  const TFrameExtents before = FrameExtents(style);
  frames_[static_cast<std::size_t>(StyleIndex(style))] = frame;
  return !(before == FrameExtents(style));
}

void TQtUiBackend::ApplicationCreated(TApplication& app) {
  app_ = &app;
}

void TQtUiBackend::ApplicationDestroyed(TApplication& app) {
  if (app_ == &app) app_ = nullptr;
}

std::unique_ptr<IControlPeer> TQtUiBackend::CreatePeer(TControl& control) {
  return CreateQtPeer(*this, control);
}

void TQtUiBackend::CursorChanged(TCursor cursor) {
  if (cursor == TCursor::crDefault) {
    if (cursor_overridden_) QGuiApplication::restoreOverrideCursor();
    cursor_overridden_ = false;
    return;
  }
  if (cursor_overridden_)
    QGuiApplication::changeOverrideCursor(QCursor(ShapeOf(cursor)));
  else
    QGuiApplication::setOverrideCursor(QCursor(ShapeOf(cursor)));
  cursor_overridden_ = true;
}

void TQtUiBackend::ZOrderChanged() {
  if (!app_) return;
  const std::vector<TForm*> order = app_->ZOrder();
  if (order.empty()) return;
  auto* front = dynamic_cast<TFormPeer*>(order.back()->Peer());
  if (front && front->Widget() && front->Widget()->isVisible()) front->Widget()->raise();
}

void TQtUiBackend::ApplicationTerminated() {
  loop_.Wake();
}

void TQtUiBackend::RequestActivation(QWidget* window) {
  requested_active_ = window;
  requested_at_.start();
  window->raise();
  window->activateWindow();
}

bool TQtUiBackend::UserActivated(QWidget* window) {
  if (!requested_active_) return true;
  // Until the window asked for is active, activations are the echoes of our own request; a
  // request the window manager refused expires, so the user's next activation counts.
  if (requested_at_.elapsed() > kActivationEchoMs) {
    requested_active_ = nullptr;
    return true;
  }
  if (requested_active_ == window) requested_active_ = nullptr;
  return false;
}

void TQtUiBackend::Guard(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& error) {
    if (app_) app_->ShowException(error);
  }
}

bool TQtUiBackend::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease)
    return KeyEvent(watched, event);
  return false;
}

// Keys go to the model's form once per event (Qt hands an unused key on to the parents), as
// virtual keys with the modifiers held; the native widget still sees them (typing in a field).
bool TQtUiBackend::KeyEvent(QObject* watched, QEvent* event) {
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || !app_) return false;
  QWidget* focus = QApplication::focusWidget();
  if (focus ? widget != focus : !widget->isWindow()) return false;
  TFormPeer* peer = FormPeerOf(widget->window());
  if (!peer) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  const bool down = event->type() == QEvent::KeyPress;
  if (!down && key->isAutoRepeat()) return false;
  const int vk =
      VirtualKey(key->key(), key->modifiers() & Qt::KeypadModifier, key->nativeScanCode());
  if (vk == 0) return false;
  if (vk != VK_SHIFT && vk != VK_CONTROL && vk != VK_MENU) {
    const TShiftState held = ShiftOf(key->modifiers());
    app_->SetKeyDown(VK_SHIFT, held & ssShift);
    app_->SetKeyDown(VK_CONTROL, held & ssCtrl);
    app_->SetKeyDown(VK_MENU, held & ssAlt);
  }
  TForm& form = peer->Form();
  Guard([&] {
    if (down)
      form.UserKeyDown(vk);
    else
      form.UserKeyUp(vk);
  });
  return false;
}

}  // namespace roarmark::platform::qt
