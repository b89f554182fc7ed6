// What every native counterpart of a control shares.
#include <QEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>

#include "platform/qt/qt_peer_kinds.h"
#include "platform/qt/qt_ui_peers.h"

namespace roarmark::platform::qt {

using namespace ui;

namespace {

TMouseButton ButtonOf(Qt::MouseButton button) {
  switch (button) {
    case Qt::RightButton:
      return TMouseButton::mbRight;
    case Qt::MiddleButton:
      return TMouseButton::mbMiddle;
    default:
      return TMouseButton::mbLeft;
  }
}

}  // namespace

// ---- TWidgetPeer

TWidgetPeer::TWidgetPeer(TQtUiBackend& backend, TControl& control)
    : backend_(backend), control_(control) {}

TWidgetPeer::~TWidgetPeer() {
  if (widget_) {
    widget_->removeEventFilter(this);
    delete widget_.data();
  }
}

QWidget* TWidgetPeer::ParentWidget() const {
  for (TControl* parent = control_.Parent(); parent; parent = parent->Parent()) {
    if (auto* peer = dynamic_cast<TWidgetPeer*>(parent->Peer())) return peer->ClientWidget();
  }
  return nullptr;
}

void TWidgetPeer::Init(QWidget* widget, TMouse mouse) {
  widget_ = widget;
  mouse_ = mouse;
  widget->installEventFilter(this);
  // Controls out of the tab order take the focus only when clicked, so activating a window never
  // hands the keys to them instead of the control the model focused.
  widget->setFocusPolicy(!control_.AcceptsFocus() ? Qt::NoFocus
                         : control_.TabStop()     ? Qt::StrongFocus
                                                  : Qt::ClickFocus);
  if (mouse == TMouse::Forward) widget->setMouseTracking(true);
  Quietly([&] {
    ApplyBounds();
    ApplyFont();
    ApplyColour();
    widget->setEnabled(control_.Enabled());
    widget->setToolTip(control_.ShowHint() ? Q(control_.Hint()) : QString());
    Update(TProperty::Other);
    if (!widget->isWindow()) widget->setVisible(control_.Visible() && ParentWidget());
  });
}

void TWidgetPeer::ApplyBounds() {
  widget_->setGeometry(control_.Left(), control_.Top(), std::max(control_.Width(), 0),
                       std::max(control_.Height(), 0));
}

void TWidgetPeer::ApplyFont() {
  const TFont& f = control_.Font();
  QFont font(Q(f.Name));
  if (f.PixelHeight > 0)
    font.setPixelSize(f.PixelHeight);
  else
    font.setPointSize(std::clamp(f.Size, 1, 1000));
  font.setBold(f.Style & fsBold);
  font.setItalic(f.Style & fsItalic);
  font.setUnderline(f.Style & fsUnderline);
  font.setStrikeOut(f.Style & fsStrikeOut);
  widget_->setFont(font);
  // The disabled group keeps the style's grey, so a disabled control looks disabled.
  QPalette palette = widget_->palette();
  const QColor text = ColourOf(backend_, f.Colour);
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive})
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
      palette.setColor(group, role, text);
  widget_->setPalette(palette);
}

void TWidgetPeer::ApplyColour() {
  // A field's own colour (a red field, say) shows while it takes input; disabled, it takes the
  // style's disabled field colour. What lies behind controls keeps its colour either way.
  QPalette palette = widget_->palette();
  const QColor colour = ColourOf(backend_, control_.Colour());
  palette.setColor(QPalette::Active, QPalette::Base, colour);
  palette.setColor(QPalette::Inactive, QPalette::Base, colour);
  palette.setColor(QPalette::Window, colour);
  widget_->setPalette(palette);
}

void TWidgetPeer::PropertyChanged(TProperty what) {
  if (!widget_) return;
  Quietly([&] {
    switch (what) {
      case TProperty::Bounds:
        ApplyBounds();
        break;
      case TProperty::Visible:
        if (!widget_->isWindow()) widget_->setVisible(control_.Visible());
        break;
      case TProperty::Enabled:
        widget_->setEnabled(control_.Enabled());
        break;
      case TProperty::Font:
        ApplyFont();
        break;
      case TProperty::Colour:
        ApplyColour();
        break;
      case TProperty::Hint:
        widget_->setToolTip(control_.ShowHint() ? Q(control_.Hint()) : QString());
        break;
      default:
        break;
    }
    Update(what);
    if (RepaintsOnChange()) widget_->update();
  });
}

void TWidgetPeer::RunClick() {
  if (!control_.CanTakeInput() || !control_.OnClick) return;
  backend_.Guard([&] { control_.OnClick(); });
}

void TWidgetPeer::RunDblClick() {
  if (!control_.CanTakeInput() || !control_.OnDblClick) return;
  backend_.Guard([&] { control_.OnDblClick(); });
}

bool TWidgetPeer::eventFilter(QObject* watched, QEvent* event) {
  if (watched != widget_) return false;
  switch (event->type()) {
    case QEvent::FocusIn:
      if (!updating_ && control_.AcceptsFocus() && !control_.Focused())
        backend_.Guard([&] { control_.SetFocus(); });
      return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
      break;
    case QEvent::Wheel:
      if (mouse_ != TMouse::Forward) return false;
      {
        auto* wheel = static_cast<QWheelEvent*>(event);
        wheel_ += wheel->angleDelta().y();
        const int notches = wheel_ / 120;
        wheel_ -= notches * 120;
        const QPoint p = ToClient(wheel->position());
        if (notches != 0) control_.UserMouseWheel(notches, p.x(), p.y());
      }
      return true;
    default:
      return false;
  }
  if (mouse_ == TMouse::Native) return false;
  auto* mouse = static_cast<QMouseEvent*>(event);
  const QPoint p = ToClient(mouse->position());
  const TMouseButton button = ButtonOf(mouse->button());
  const bool forward = mouse_ == TMouse::Forward;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      if (mouse->button() == Qt::LeftButton) pressed_ = true;
      if (forward) control_.UserMouseDown(button, p.x(), p.y());
      break;
    case QEvent::MouseButtonDblClick:
      if (mouse->button() == Qt::LeftButton) {
        pressed_ = true;
        RunDblClick();
      }
      if (forward) control_.UserMouseDown(button, p.x(), p.y());
      break;
    case QEvent::MouseMove:
      if (forward) control_.UserMouseMove(p.x(), p.y());
      break;
    case QEvent::MouseButtonRelease:
      // A click is a press and a release on the same control; its handler runs before the
      // release handler.
      if (mouse->button() == Qt::LeftButton && pressed_) {
        pressed_ = false;
        if (widget_ && widget_->rect().contains(mouse->position().toPoint())) RunClick();
      }
      if (forward) control_.UserMouseUp(button, p.x(), p.y());
      break;
    default:
      break;
  }
  return forward;
}

}  // namespace roarmark::platform::qt
