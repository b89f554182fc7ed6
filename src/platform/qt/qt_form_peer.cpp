// Forms: top-level windows kept in step with the model's forms.
#include <QApplication>
#include <QCloseEvent>
#include <QTimer>
#include <QWindow>
#include <algorithm>

#include "platform/qt/qt_peer_kinds.h"
#include "platform/qt/qt_ui_peers.h"
#include "platform/qt/qt_x11_hints.h"
#include "platform/ui/application.h"

namespace roarmark::platform::qt {

using namespace ui;

namespace {

constexpr char kFormPeerProperty[] = "roarmarkFormPeer";

class TFormWindow final : public QWidget {
 public:
  explicit TFormWindow(TFormPeer& peer) : peer_(peer) {
    setAttribute(Qt::WA_QuitOnClose, false);
    setAutoFillBackground(true);
  }

 protected:
  void closeEvent(QCloseEvent* event) override {
    // The model decides; the window only goes away when the model hides it.
    event->ignore();
    peer_.CloseBox();
  }
  void moveEvent(QMoveEvent* event) override {
    QWidget::moveEvent(event);
    peer_.WindowGeometryChanged();
  }
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    peer_.WindowGeometryChanged();
  }
  void showEvent(QShowEvent* event) override {
    QWidget::showEvent(event);
    peer_.WindowShown();
  }
  void changeEvent(QEvent* event) override {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) peer_.WindowActivated();
  }

 private:
  TFormPeer& peer_;
};

}  // namespace

TFormPeer* FormPeerOf(QWidget* window) {
  if (!window) return nullptr;
  return static_cast<TFormPeer*>(window->property(kFormPeerProperty).value<void*>());
}

TFormPeer::TFormPeer(TQtUiBackend& backend, TForm& form) : TWidgetPeer(backend, form), form_(form) {
  auto* window = new TFormWindow(*this);
  window->setProperty(kFormPeerProperty, QVariant::fromValue<void*>(this));
  Init(window, TMouse::Forward);
  window->setFocusPolicy(Qt::StrongFocus);
  ApplyFlags();
}

TFormPeer::~TFormPeer() {
  if (widget_) widget_->setProperty(kFormPeerProperty, QVariant());
}

void TFormPeer::ApplyFlags() {
  Qt::WindowFlags flags = Qt::Window;
  switch (form_.BorderStyle()) {
    case TBorderStyle::bsNone:
      flags |= Qt::FramelessWindowHint;
      break;
    case TBorderStyle::bsDialog:
      flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
      if (form_.HasCloseBox()) flags |= Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint;
      break;
    case TBorderStyle::bsSizeable:
      flags |= Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
               Qt::WindowCloseButtonHint;
      break;
  }
  if (form_.StayOnTop()) flags |= Qt::WindowStaysOnTopHint;
  flags_ = flags;
  if (!widget_) return;
  if (widget_->windowFlags() == flags) return;
  // A window already on screen keeps its native window: the new hints (stay-on-top, border)
  // go to the window manager as they are, so the projector never shows the desktop meanwhile.
  QWindow* native = widget_->windowHandle();
  const auto type = [](Qt::WindowFlags f) { return f & Qt::WindowType_Mask; };
  if (native && type(widget_->windowFlags()) == type(flags)) {
    widget_->overrideWindowFlags(flags);
    native->setFlags(flags);
    ApplyBounds();
    return;
  }
  const bool shown = widget_->isVisible();
  widget_->setWindowFlags(flags);  // hides the window
  ApplyBounds();
  if (shown) ApplyVisible();
}

void TFormPeer::ApplyBounds() {
  const TFrameExtents f = form_.Frame();
  const QRect client(form_.Left() + f.Left, form_.Top() + f.Top,
                     std::max(form_.Width() - f.Left - f.Right, 1),
                     std::max(form_.Height() - f.Top - f.Bottom, 1));
  applied_ = client;
  if (form_.BorderStyle() == TBorderStyle::bsDialog) {
    widget_->setFixedSize(client.size());
  } else {
    widget_->setMinimumSize(0, 0);
    widget_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  }
  widget_->setGeometry(client);
}

void TFormPeer::ApplyVisible() {
  if (!form_.Visible()) {
    widget_->hide();
    widget_->setWindowModality(Qt::NonModal);
    return;
  }
  if (!widget_->isVisible()) {
    widget_->setWindowModality(form_.Modal() ? Qt::ApplicationModal : Qt::NonModal);
    // Other windows stay above the main window, as owned windows do.
    TForm* main = form_.App().MainForm();
    auto* main_peer = main && main != &form_ ? dynamic_cast<TFormPeer*>(main->Peer()) : nullptr;
    widget_->winId();
    if (main_peer && main_peer->Widget() && widget_->windowHandle()) {
      main_peer->Widget()->winId();
      widget_->windowHandle()->setTransientParent(main_peer->Widget()->windowHandle());
    }
    ApplyBounds();
    if (form_.BorderStyle() == TBorderStyle::bsDialog && !form_.HasCloseBox())
      ForbidClosing(widget_);
    widget_->show();
  }
  if (form_.Active()) backend_.RequestActivation(widget_);
}

void TFormPeer::ApplyFocus() {
  TControl* active = form_.ActiveControl();
  auto* peer = active ? dynamic_cast<TWidgetPeer*>(active->Peer()) : nullptr;
  QWidget* target = peer && peer->Widget() ? peer->Widget() : widget_.data();
  if (target && QApplication::focusWidget() != target) target->setFocus(Qt::OtherFocusReason);
}

void TFormPeer::Update(TProperty what) {
  const bool all = what == TProperty::Other;
  if (all || what == TProperty::Caption) widget_->setWindowTitle(Q(form_.Caption()));
  if (what == TProperty::BorderStyle || what == TProperty::StayOnTop) ApplyFlags();
  if (what == TProperty::Visible) ApplyVisible();
  if (what == TProperty::Active && form_.Active() && widget_->isVisible())
    backend_.RequestActivation(widget_);
  if (what == TProperty::Focus) ApplyFocus();
}

TFrameExtents TFormPeer::MeasuredFrame() const {
  const QRect outer = widget_->frameGeometry();
  const QRect inner = widget_->geometry();
  return TFrameExtents{inner.left() - outer.left(), inner.top() - outer.top(),
                       outer.right() - inner.right(), outer.bottom() - inner.bottom()};
}

// The window manager frames the window a little after it is shown.
void TFormPeer::WindowShown() {
  for (int delay_ms : {0, 100, 500})
    QTimer::singleShot(delay_ms, widget_.data(), [this] { WindowGeometryChanged(); });
}

void TFormPeer::WindowGeometryChanged() {
  if (!widget_ || updating_ || !widget_->isVisible()) return;
  const TFrameExtents frame = MeasuredFrame();
  if (backend_.FrameMeasured(form_.BorderStyle(), frame)) {
    // The frame differs from the one assumed. A dialog keeps its client area (its controls
    // are laid out in it) and grows or shrinks outside; other windows keep their outer bounds,
    // the client area follows, and the program lays the window out again for it.
    if (form_.BorderStyle() == TBorderStyle::bsDialog) {
      const QSize client = applied_.size();
      backend_.Guard([&] { form_.SetClientSize(client.width(), client.height()); });
    }
    Quietly([&] { ApplyBounds(); });
    if (backend_.OnFrameChanged) backend_.Guard([&] { backend_.OnFrameChanged(form_); });
    return;
  }
  const QRect client = widget_->geometry();
  if (client == applied_) return;  // our own request arriving
  applied_ = client;
  const QRect outer = widget_->frameGeometry();
  backend_.Guard([&] {
    Quietly([&] {
      if (outer.left() != form_.Left() || outer.top() != form_.Top())
        form_.UserMoved(outer.left(), outer.top());
      if (outer.width() != form_.Width() || outer.height() != form_.Height())
        form_.UserResized(outer.width(), outer.height());
    });
  });
}

void TFormPeer::CloseBox() {
  backend_.Guard([&] { form_.UserCloseBox(); });
}

void TFormPeer::WindowActivated() {
  ApplyFocus();  // the native focus follows the model's once the window really is active
  if (!backend_.UserActivated(widget_)) return;
  if (updating_ || form_.Active() || !form_.Visible()) return;
  backend_.Guard([&] { Quietly([&] { form_.Activate(); }); });
}

}  // namespace roarmark::platform::qt
