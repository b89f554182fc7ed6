// The native counterparts of the model's controls.
#include "platform/qt/qt_ui_peers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/qt/qt_services.h"
#include "platform/qt/qt_ui_backend.h"
#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "platform/ui/image_view.h"
#include "platform/ui/text_grid.h"

namespace roarmark::platform::qt {

using namespace ui;

namespace {

QString Q(const std::string& s) {
  return QString::fromStdString(s);
}

QColor ColourOf(const TQtUiBackend& backend, TColour colour) {
  if (colour & 0x80000000u)
    return ToQColor(backend.Colours().SystemColour(static_cast<int>(colour & 0xFF)));
  return ToQColor(colour);
}

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

constexpr char kFormPeerProperty[] = "roarmarkFormPeer";

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
  QPalette palette = widget_->palette();
  const QColor text = ColourOf(backend_, f.Colour);
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    palette.setColor(role, text);
  widget_->setPalette(palette);
}

void TWidgetPeer::ApplyColour() {
  QPalette palette = widget_->palette();
  const QColor colour = ColourOf(backend_, control_.Colour());
  palette.setColor(QPalette::Base, colour);
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
        const QPoint p = ToClient(wheel->position().toPoint());
        if (notches != 0) control_.UserMouseWheel(notches, p.x(), p.y());
      }
      return true;
    default:
      return false;
  }
  if (mouse_ == TMouse::Native) return false;
  auto* mouse = static_cast<QMouseEvent*>(event);
  const QPoint p = ToClient(mouse->position().toPoint());
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

// ---- Forms

namespace {

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
    // The frame differs from the one assumed: the outer bounds stay, the client area follows.
    Quietly([&] { ApplyBounds(); });
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

// ---- Image view

namespace {

class TImageWidget final : public QWidget {
 public:
  TImageWidget(TImageView& view, QWidget* parent) : QWidget(parent), view_(view) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
  }

  // The owner drew into the picture. Where it says which area it drew, only that is repainted;
  // otherwise only the part that differs from what is on screen: the meter box and the readout
  // are a small part of a full-screen picture, and comparing is cheaper than copying the whole
  // picture 40 times a second.
  void ImageChanged() {
    const TPixelsView& pixels = view_.Image();
    const TImageView::TChangedArea changed = view_.TakeChangedArea();
    const bool usable = pixels.Pixels && pixels.Width > 0 && pixels.Height > 0;
    const std::size_t count =
        usable ? static_cast<std::size_t>(pixels.Width) * static_cast<std::size_t>(pixels.Height)
               : 0;
    if (!usable || shown_width_ != pixels.Width || shown_.size() != count) {
      Reset();
      return;
    }
    if (!changed.Whole) {
      const QRect area =
          QRect(changed.Area.Left, changed.Area.Top, changed.Area.Width(), changed.Area.Height())
              .intersected(QRect(0, 0, pixels.Width, pixels.Height));
      if (area.isEmpty()) return;
      for (int y = area.top(); y <= area.bottom(); ++y) {
        const std::ptrdiff_t at = static_cast<std::ptrdiff_t>(y) * pixels.Width + area.left();
        std::memcpy(shown_.data() + at, pixels.Pixels + at,
                    static_cast<std::size_t>(area.width()) * 4);
      }
      Repaint(pixels, area);
      return;
    }
    int top = -1;
    int bottom = -1;
    int left = pixels.Width;
    int right = -1;
    const std::size_t row_bytes = static_cast<std::size_t>(pixels.Width) * 4;
    for (int y = 0; y < pixels.Height; ++y) {
      const std::uint32_t* now = pixels.Pixels + static_cast<std::ptrdiff_t>(y) * pixels.Width;
      std::uint32_t* before = shown_.data() + static_cast<std::ptrdiff_t>(y) * pixels.Width;
      if (std::memcmp(now, before, row_bytes) == 0) continue;
      int l = 0;
      while (now[l] == before[l])
        ++l;
      int r = pixels.Width - 1;
      while (now[r] == before[r])
        --r;
      std::memcpy(before + l, now + l, static_cast<std::size_t>(r - l + 1) * 4);
      if (top < 0) top = y;
      bottom = y;
      left = std::min(left, l);
      right = std::max(right, r);
    }
    if (top < 0) return;
    Repaint(pixels, QRect(left, top, right - left + 1, bottom - top + 1));
  }

  // Repaints the picture pixels of `source`.
  void Repaint(const TPixelsView& pixels, const QRect& source) {
    if (view_.ScaleMode() == TScaleMode::smStretch) {
      QRect device = StretchedArea(source);
      if (Stretching()) {
        if (stretched_.size() != DeviceSize()) device = QRect(QPoint(0, 0), DeviceSize());
        Stretch(pixels, device);
      }
      update(ToLogical(device));
    } else {
      update(ToLogical(source));
    }
  }

  // Everything anew: new picture, size or scale mode.
  void Reset() {
    view_.TakeChangedArea();  // all of it is shown now
    const TPixelsView& pixels = view_.Image();
    if (pixels.Pixels && pixels.Width > 0 && pixels.Height > 0) {
      shown_.assign(pixels.Pixels,
                    pixels.Pixels + static_cast<std::ptrdiff_t>(pixels.Width) * pixels.Height);
      shown_width_ = pixels.Width;
    } else {
      shown_.clear();
      shown_width_ = 0;
    }
    stretched_ = QImage();
    update();
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    stretched_ = QImage();
  }

  void paintEvent(QPaintEvent* event) override {
    QPainter painter(this);
    const QColor grey = QColor::fromRgb(kImageViewBackground);
    const TPixelsView& pixels = view_.Image();
    if (!pixels.Pixels || pixels.Width <= 0 || pixels.Height <= 0) {
      painter.fillRect(event->rect(), grey);
      return;
    }
    const qreal ratio = devicePixelRatioF();
    if (view_.ScaleMode() == TScaleMode::smStretch && Stretching()) {
      if (stretched_.size() != DeviceSize()) Stretch(pixels, QRect(QPoint(0, 0), DeviceSize()));
      painter.drawImage(QPointF(0, 0), stretched_);
      return;
    }
    // The display bitmap as it is, no copy: one device pixel per picture pixel.
    QImage image(reinterpret_cast<const uchar*>(pixels.Pixels), pixels.Width, pixels.Height,
                 static_cast<qsizetype>(pixels.Width) * 4, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    painter.drawImage(QPointF(0, 0), image);
    if (view_.ScaleMode() == TScaleMode::smStretch) return;
    const QRectF covered(0, 0, pixels.Width / ratio, pixels.Height / ratio);
    if (covered.right() < width())
      painter.fillRect(QRectF(covered.right(), 0, width() - covered.right(), height()), grey);
    if (covered.bottom() < height())
      painter.fillRect(QRectF(0, covered.bottom(), covered.width(), height() - covered.bottom()),
                       grey);
  }

 private:
  QSize DeviceSize() const {
    const qreal ratio = devicePixelRatioF();
    return QSize(qRound(width() * ratio), qRound(height() * ratio));
  }
  // Stretched onto a different size; the same size is a plain copy.
  bool Stretching() const {
    const TPixelsView& pixels = view_.Image();
    return DeviceSize() != QSize(pixels.Width, pixels.Height);
  }
  QRect ToLogical(const QRect& device) const {
    const qreal ratio = devicePixelRatioF();
    return QRectF(device.x() / ratio, device.y() / ratio, device.width() / ratio,
                  device.height() / ratio)
        .toAlignedRect();
  }
  // The device pixels that show picture pixels of `source`.
  QRect StretchedArea(const QRect& source) const {
    const TPixelsView& pixels = view_.Image();
    const QSize device = DeviceSize();
    auto first = [](int s, int span, int dspan) {  // smallest d with d * span / dspan >= s
      return static_cast<int>((static_cast<std::int64_t>(s) * dspan + span - 1) / span);
    };
    const int x0 = first(source.left(), pixels.Width, device.width());
    const int x1 = first(source.right() + 1, pixels.Width, device.width());
    const int y0 = first(source.top(), pixels.Height, device.height());
    const int y1 = first(source.bottom() + 1, pixels.Height, device.height());
    return QRect(x0, y0, x1 - x0, y1 - y0).intersected(QRect(QPoint(0, 0), device));
  }
  // Nearest neighbour as the model defines it: device pixel x shows picture column
  // x * width / device width (and likewise for rows), so every backend shows the same pixels.
  void Stretch(const TPixelsView& pixels, const QRect& area) {
    const QSize device = DeviceSize();
    if (stretched_.size() != device) {
      stretched_ = QImage(device, QImage::Format_RGB32);
      stretched_.setDevicePixelRatio(devicePixelRatioF());
    }
    if (columns_.size() != static_cast<std::size_t>(device.width()) ||
        columns_for_ != pixels.Width) {
      columns_.resize(static_cast<std::size_t>(device.width()));
      for (int x = 0; x < device.width(); ++x)
        columns_[static_cast<std::size_t>(x)] =
            static_cast<int>(static_cast<std::int64_t>(x) * pixels.Width / device.width());
      columns_for_ = pixels.Width;
    }
    const QRect part = area.intersected(QRect(QPoint(0, 0), device));
    for (int y = part.top(); y <= part.bottom(); ++y) {
      const int sy =
          static_cast<int>(static_cast<std::int64_t>(y) * pixels.Height / device.height());
      const std::uint32_t* in = pixels.Pixels + static_cast<std::ptrdiff_t>(sy) * pixels.Width;
      auto* out = reinterpret_cast<std::uint32_t*>(stretched_.scanLine(y));
      for (int x = part.left(); x <= part.right(); ++x)
        out[x] = in[columns_[static_cast<std::size_t>(x)]];
    }
  }

  TImageView& view_;
  std::vector<std::uint32_t> shown_;  // the picture as last put on screen
  int shown_width_ = 0;
  QImage stretched_;
  std::vector<int> columns_;
  int columns_for_ = -1;
};

class TImagePeer final : public TWidgetPeer {
 public:
  TImagePeer(TQtUiBackend& backend, TImageView& view) : TWidgetPeer(backend, view), view_(view) {
    Init(new TImageWidget(view, ParentWidget()), TMouse::Forward);
    // A press does not focus the display; the program focuses it on release.
    widget_->setFocusPolicy(Qt::TabFocus);
  }

 protected:
  void Update(TProperty what) override {
    auto* image = static_cast<TImageWidget*>(widget_.data());
    if (what == TProperty::ImageChanged)
      image->ImageChanged();
    else if (what == TProperty::Picture || what == TProperty::ScaleMode ||
             what == TProperty::Bounds || what == TProperty::Other)
      image->Reset();
  }
  bool RepaintsOnChange() const override { return false; }
  // Shown 1:1, a mouse position addresses picture pixels, which are device pixels.
  QPoint ToClient(QPoint p) const override {
    if (view_.ScaleMode() == TScaleMode::smStretch) return p;
    const qreal ratio = widget_->devicePixelRatioF();
    return QPoint(qRound(p.x() * ratio), qRound(p.y() * ratio));
  }

 private:
  TImageView& view_;
};

// ---- Edit, memo

class TEditPeer final : public TWidgetPeer {
 public:
  TEditPeer(TQtUiBackend& backend, TEdit& edit) : TWidgetPeer(backend, edit), edit_(edit) {
    auto* line = new QLineEdit(ParentWidget());
    line->setFrame(true);
    QObject::connect(line, &QLineEdit::textEdited, this, [this](const QString& text) {
      if (updating_) return;
      backend_.Guard([&] { edit_.UserType(text.toStdString()); });
      // A refused character or a read-only field: the widget shows the model's text again.
      if (widget_ && static_cast<QLineEdit*>(widget_.data())->text() != Q(edit_.Text()))
        Quietly([&] {
          auto* w = static_cast<QLineEdit*>(widget_.data());
          const int cursor = w->cursorPosition();
          w->setText(Q(edit_.Text()));
          w->setCursorPosition(std::min(cursor, static_cast<int>(w->text().size())));
        });
    });
    Init(line, TMouse::ClickOnly);
  }

 protected:
  void Update(TProperty what) override {
    auto* line = static_cast<QLineEdit*>(widget_.data());
    const bool all = what == TProperty::Other;
    if ((all || what == TProperty::Text) && line->text() != Q(edit_.Text()))
      line->setText(Q(edit_.Text()));
    if (all || what == TProperty::ReadOnly) line->setReadOnly(edit_.ReadOnly());
  }

 private:
  TEdit& edit_;
};

class TMemoPeer final : public TWidgetPeer {
 public:
  TMemoPeer(TQtUiBackend& backend, TMemo& memo) : TWidgetPeer(backend, memo), memo_(memo) {
    Init(new QPlainTextEdit(ParentWidget()), TMouse::ClickOnly);
  }

 protected:
  void Update(TProperty what) override {
    auto* text = static_cast<QPlainTextEdit*>(widget_.data());
    const bool all = what == TProperty::Other;
    if (all || what == TProperty::Lines) {
      QStringList lines;
      for (const std::string& line : memo_.Lines())
        lines << Q(line);
      text->setPlainText(lines.join(u'\n'));
    }
    if (all || what == TProperty::ReadOnly) text->setReadOnly(memo_.ReadOnly());
  }

 private:
  TMemo& memo_;
};

// ---- Check box, button

// The model toggles the mark; the widget only shows it.
class TModelCheckBox final : public QCheckBox {
 public:
  using QCheckBox::QCheckBox;

 protected:
  void nextCheckState() override {}
};

class TCheckPeer final : public TWidgetPeer {
 public:
  TCheckPeer(TQtUiBackend& backend, TCheckBox& box) : TWidgetPeer(backend, box), box_(box) {
    auto* check = new TModelCheckBox(ParentWidget());
    QObject::connect(check, &QCheckBox::clicked, this, [this] {
      if (!updating_) backend_.Guard([&] { box_.UserClick(); });
    });
    Init(check, TMouse::Native);
  }

 protected:
  void Update(TProperty what) override {
    auto* check = static_cast<QCheckBox*>(widget_.data());
    const bool all = what == TProperty::Other;
    if (all || what == TProperty::Caption) check->setText(Q(box_.Caption()));
    if (all || what == TProperty::Checked) check->setChecked(box_.Checked());
  }

 private:
  TCheckBox& box_;
};

class TButtonPeer final : public TWidgetPeer {
 public:
  TButtonPeer(TQtUiBackend& backend, TButton& button)
      : TWidgetPeer(backend, button), button_(button) {
    auto* push = new QPushButton(ParentWidget());
    push->setAutoDefault(false);
    QObject::connect(push, &QPushButton::clicked, this, [this] {
      if (!updating_) backend_.Guard([&] { button_.UserClick(); });
    });
    Init(push, TMouse::Native);
  }

 protected:
  void Update(TProperty what) override {
    if (what == TProperty::Other || what == TProperty::Caption)
      static_cast<QPushButton*>(widget_.data())->setText(Q(button_.Caption()));
  }

 private:
  TButton& button_;
};

// ---- Drop-down list

class TComboPeer final : public TWidgetPeer {
 public:
  TComboPeer(TQtUiBackend& backend, TComboBox& combo) : TWidgetPeer(backend, combo), combo_(combo) {
    auto* box = new QComboBox(ParentWidget());
    QObject::connect(box, &QComboBox::activated, this, [this](int index) {
      if (updating_) return;
      backend_.Guard([&] { combo_.UserSelect(index); });
      Quietly([&] {
        if (widget_) static_cast<QComboBox*>(widget_.data())->setCurrentIndex(combo_.ItemIndex());
      });
    });
    Init(box, TMouse::Native);
  }

 protected:
  void Update(TProperty what) override {
    auto* box = static_cast<QComboBox*>(widget_.data());
    const bool all = what == TProperty::Other;
    if (all || what == TProperty::Items) {
      QStringList items;
      for (const std::string& item : combo_.Items())
        items << Q(item);
      box->clear();
      box->addItems(items);
    }
    if (all || what == TProperty::Items || what == TProperty::ItemIndex)
      box->setCurrentIndex(combo_.ItemIndex());
    box->setMaxVisibleItems(std::max(combo_.DropDownCount(), 1));
  }

 private:
  TComboBox& combo_;
};

// ---- Up-down arrows

class TUpDownPeer final : public TWidgetPeer {
 public:
  TUpDownPeer(TQtUiBackend& backend, TUpDown& updown)
      : TWidgetPeer(backend, updown), updown_(updown) {
    auto* box = new QWidget(ParentWidget());
    const bool vertical = updown.Orientation() == TOrientation::Vertical;
    QBoxLayout* layout = vertical ? static_cast<QBoxLayout*>(new QVBoxLayout(box))
                                  : static_cast<QBoxLayout*>(new QHBoxLayout(box));
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* up = new QToolButton(box);
    auto* down = new QToolButton(box);
    up->setArrowType(vertical ? Qt::UpArrow : Qt::RightArrow);
    down->setArrowType(vertical ? Qt::DownArrow : Qt::LeftArrow);
    for (QToolButton* b : {up, down}) {
      b->setAutoRepeat(true);
      b->setFocusPolicy(Qt::NoFocus);
      b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }
    if (vertical) {
      layout->addWidget(up);
      layout->addWidget(down);
    } else {
      layout->addWidget(down);
      layout->addWidget(up);
    }
    QObject::connect(up, &QToolButton::clicked, this, [this] { Arrow(true); });
    QObject::connect(down, &QToolButton::clicked, this, [this] { Arrow(false); });
    Init(box, TMouse::Native);
  }

 private:
  void Arrow(bool up) {
    backend_.Guard([&] { updown_.UserArrow(up); });
  }
  TUpDown& updown_;
};

// ---- Track bar, progress bar

class TTrackPeer final : public TWidgetPeer {
 public:
  TTrackPeer(TQtUiBackend& backend, TTrackBar& track) : TWidgetPeer(backend, track), track_(track) {
    auto* slider = new QSlider(ParentWidget());
    slider->setTickPosition(QSlider::TicksBelow);
    QObject::connect(slider, &QSlider::valueChanged, this, [this](int value) {
      if (updating_) return;
      backend_.Guard([&] { track_.UserSlide(value); });
      Quietly([&] {
        if (widget_) static_cast<QSlider*>(widget_.data())->setValue(track_.Position());
      });
    });
    Init(slider, TMouse::Native);
  }

 protected:
  void Update(TProperty what) override {
    auto* slider = static_cast<QSlider*>(widget_.data());
    slider->setOrientation(track_.Orientation() == TOrientation::Vertical ? Qt::Vertical
                                                                          : Qt::Horizontal);
    if (what == TProperty::Other || what == TProperty::Range)
      slider->setRange(track_.Min(), track_.Max());
    slider->setValue(track_.Position());
  }

 private:
  TTrackBar& track_;
};

class TProgressPeer final : public TWidgetPeer {
 public:
  TProgressPeer(TQtUiBackend& backend, TProgressBar& bar) : TWidgetPeer(backend, bar), bar_(bar) {
    auto* progress = new QProgressBar(ParentWidget());
    progress->setTextVisible(false);
    Init(progress, TMouse::ClickOnly);
  }

 protected:
  void Update(TProperty) override {
    auto* progress = static_cast<QProgressBar*>(widget_.data());
    progress->setRange(bar_.Min(), bar_.Max());
    progress->setValue(bar_.Position());
  }

 private:
  TProgressBar& bar_;
};

// ---- Labels, panels, colour blocks, pictures: drawn here, mouse to the model

class TLabelPeer final : public TWidgetPeer {
 public:
  TLabelPeer(TQtUiBackend& backend, TLabel& label, bool framed)
      : TWidgetPeer(backend, label), label_(label) {
    auto* text = new QLabel(ParentWidget());
    text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (framed) text->setFrameStyle(QFrame::NoFrame);
    Init(text, TMouse::Forward);
  }

 protected:
  void Update(TProperty what) override {
    if (what == TProperty::Other || what == TProperty::Caption)
      static_cast<QLabel*>(widget_.data())->setText(Q(label_.Caption()));
  }

 private:
  TLabel& label_;
};

class TPaintedWidget final : public QWidget {
 public:
  TPaintedWidget(QWidget* parent, std::function<void(QPainter&, const QRect&)> paint)
      : QWidget(parent), paint_(std::move(paint)) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    paint_(painter, rect());
  }

 private:
  std::function<void(QPainter&, const QRect&)> paint_;
};

class TPanelPeer final : public TWidgetPeer {
 public:
  TPanelPeer(TQtUiBackend& backend, TPanel& panel) : TWidgetPeer(backend, panel), panel_(panel) {
    Init(new TPaintedWidget(ParentWidget(),
                            [this](QPainter& p, const QRect& r) {
                              p.fillRect(r, widget_->palette().color(QPalette::Window));
                              p.setPen(widget_->palette().color(QPalette::WindowText));
                              p.drawText(r, Qt::AlignCenter, Q(panel_.Caption()));
                            }),
         TMouse::Forward);
  }

 private:
  TPanel& panel_;
};

class TColourBlockPeer final : public TWidgetPeer {
 public:
  TColourBlockPeer(TQtUiBackend& backend, TColourBlock& block)
      : TWidgetPeer(backend, block), block_(block) {
    Init(new TPaintedWidget(ParentWidget(),
                            [this](QPainter& p, const QRect& r) {
                              p.fillRect(r, ColourOf(backend_, block_.Colour()));
                              p.setPen(palette_text());
                              p.drawText(r, Qt::AlignCenter, Q(block_.Caption()));
                              p.setPen(Qt::darkGray);
                              p.drawRect(r.adjusted(0, 0, -1, -1));
                            }),
         TMouse::Forward);
  }

 private:
  QColor palette_text() const { return widget_->palette().color(QPalette::WindowText); }
  TColourBlock& block_;
};

class TPicturePeer final : public TWidgetPeer {
 public:
  TPicturePeer(TQtUiBackend& backend, TPicture& picture)
      : TWidgetPeer(backend, picture), picture_(picture) {
    Init(new TPaintedWidget(ParentWidget(),
                            [this](QPainter& p, const QRect&) {
                              if (picture_.Empty()) return;
                              const TPixels& px = picture_.Picture();
                              const QImage image(reinterpret_cast<const uchar*>(px.Pixels.data()),
                                                 px.Width, px.Height,
                                                 static_cast<qsizetype>(px.Width) * 4,
                                                 QImage::Format_RGB32);
                              const TRect d = picture_.DestRect();
                              p.setRenderHint(QPainter::SmoothPixmapTransform, true);
                              p.drawImage(QRect(d.Left, d.Top, d.Width(), d.Height()), image);
                            }),
         TMouse::Forward);
  }

 private:
  TPicture& picture_;
};

// ---- Text grid

class TGridPeer final : public TWidgetPeer {
 public:
  TGridPeer(TQtUiBackend& backend, TTextGrid& grid) : TWidgetPeer(backend, grid), grid_(grid) {
    Init(new TPaintedWidget(ParentWidget(), [this](QPainter& p, const QRect& r) { Paint(p, r); }),
         TMouse::Forward);
  }

 private:
  void Paint(QPainter& p, const QRect& r) {
    const QPalette& palette = widget_->palette();
    p.fillRect(r, palette.color(QPalette::Base));
    const QColor fixed = ColourOf(backend_, clBtnFace);
    const QColor line = palette.color(QPalette::Mid);
    for (int row = 0; row < grid_.RowCount(); ++row) {
      for (int col = 0; col < grid_.ColCount(); ++col) {
        const TRect c = grid_.CellRect(col, row);
        const QRect cell(c.Left, c.Top, c.Width(), c.Height());
        if (!cell.intersects(r)) continue;
        const bool is_fixed = col < grid_.FixedCols() || row < grid_.FixedRows();
        const bool selected = !is_fixed && row == grid_.Row();
        QColor text = palette.color(QPalette::Text);
        if (is_fixed) {
          p.fillRect(cell, fixed);
        } else if (selected) {
          p.fillRect(cell, palette.color(QPalette::Highlight));
          text = palette.color(QPalette::HighlightedText);
        }
        p.setPen(line);
        p.drawLine(cell.right() + 1, cell.top(), cell.right() + 1, cell.bottom() + 1);
        p.drawLine(cell.left(), cell.bottom() + 1, cell.right() + 1, cell.bottom() + 1);
        p.setPen(text);
        p.drawText(cell.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   Q(grid_.Cell(col, row)));
      }
    }
  }
  TTextGrid& grid_;
};

}  // namespace

std::unique_ptr<IControlPeer> CreateQtPeer(TQtUiBackend& backend, TControl& control) {
  if (auto* form = dynamic_cast<TForm*>(&control))
    return std::make_unique<TFormPeer>(backend, *form);
  if (auto* c = dynamic_cast<TImageView*>(&control))
    return std::make_unique<TImagePeer>(backend, *c);
  if (auto* c = dynamic_cast<TEdit*>(&control)) return std::make_unique<TEditPeer>(backend, *c);
  if (auto* c = dynamic_cast<TMemo*>(&control)) return std::make_unique<TMemoPeer>(backend, *c);
  if (auto* c = dynamic_cast<TCheckBox*>(&control))
    return std::make_unique<TCheckPeer>(backend, *c);
  if (auto* c = dynamic_cast<TButton*>(&control)) return std::make_unique<TButtonPeer>(backend, *c);
  if (auto* c = dynamic_cast<TComboBox*>(&control))
    return std::make_unique<TComboPeer>(backend, *c);
  if (auto* c = dynamic_cast<TUpDown*>(&control)) return std::make_unique<TUpDownPeer>(backend, *c);
  if (auto* c = dynamic_cast<TTrackBar*>(&control))
    return std::make_unique<TTrackPeer>(backend, *c);
  if (auto* c = dynamic_cast<TProgressBar*>(&control))
    return std::make_unique<TProgressPeer>(backend, *c);
  if (auto* c = dynamic_cast<TStaticText*>(&control))
    return std::make_unique<TLabelPeer>(backend, *c, true);
  if (auto* c = dynamic_cast<TLabel*>(&control))
    return std::make_unique<TLabelPeer>(backend, *c, false);
  if (auto* c = dynamic_cast<TPanel*>(&control)) return std::make_unique<TPanelPeer>(backend, *c);
  if (auto* c = dynamic_cast<TColourBlock*>(&control))
    return std::make_unique<TColourBlockPeer>(backend, *c);
  if (auto* c = dynamic_cast<TPicture*>(&control))
    return std::make_unique<TPicturePeer>(backend, *c);
  if (auto* c = dynamic_cast<TTextGrid*>(&control)) return std::make_unique<TGridPeer>(backend, *c);
  return nullptr;
}

}  // namespace roarmark::platform::qt
