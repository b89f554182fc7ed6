// The image view: the display picture put on screen.
#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/qt/qt_peer_kinds.h"
#include "platform/qt/qt_shm_present.h"
#include "platform/qt/qt_shown_pixels.h"
#include "platform/ui/image_view.h"

namespace roarmark::platform::qt {

using namespace ui;

namespace {

class TImageWidget final : public QWidget {
 public:
  TImageWidget(TImageView& view, QWidget* parent)
      : QWidget(parent), view_(view), present_(TShmPresenter::Create()) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // On X the picture goes to a window of its own straight from shared memory; Qt only tells
    // when parts of it were uncovered.
    if (present_) {
      setAttribute(Qt::WA_PaintOnScreen);
      setAttribute(Qt::WA_NativeWindow);
    }
  }

  // The owner drew into the picture. Only the areas it reports are repainted, each on its own:
  // the meter and the readout are small parts of a full-screen picture, 40 times a second.
  // Without areas, the whole picture is shown anew.
  void ImageChanged() {
    const TPixelsView& pixels = view_.Image();
    const TImageView::TChangedArea changed = view_.TakeChangedArea();
    const bool usable = pixels.Pixels && pixels.Width > 0 && pixels.Height > 0;
    if (!usable || changed.Whole || shown_width_ != pixels.Width ||
        shown_height_ != pixels.Height) {
      Reset();
      return;
    }
    const QRect picture(0, 0, pixels.Width, pixels.Height);
    if (present_) {
      PresentChanged(changed.Areas);
      return;
    }
    for (const TRect& a : changed.Areas) {
      const QRect area = QRect(a.Left, a.Top, a.Width(), a.Height()).intersected(picture);
      if (!area.isEmpty()) Repaint(pixels, area);
    }
  }

  // Repaints the picture pixels of `source`.
  void Repaint(const TPixelsView& pixels, const QRect& source) {
    if (view_.ScaleMode() == TScaleMode::smStretch) {
      QRect device = StretchedArea(source);
      if (Stretching()) {
        if (stretched_.size() != DeviceSize()) device = QRect(QPoint(0, 0), DeviceSize());
        StretchInto(stretched_, pixels, device);
      }
      update(ToLogical(device));
    } else {
      update(ToLogical(source));
    }
  }

  // A mouse position (logical, fractional where a device pixel is not a whole logical pixel) in
  // the control's pixels. Shown 1:1, those are the picture's pixels, which are device pixels.
  // Stretched, the model maps a control pixel X to the picture pixel round(X / sx), sx = control
  // width / picture width; at a desktop scale a control pixel is not a screen pixel, so the pointer
  // gets the control pixel that maps to the picture pixel shown under it, where one does.
  // Qt's X11 plugin hands over whole logical pixels only; the device pixel is then the nearest
  // one to that point, within a device pixel of the pointer.
  QPoint ToClient(QPointF p) const {
    const qreal ratio = devicePixelRatioF();
    const TPixelsView& pixels = view_.Image();
    if (view_.ScaleMode() != TScaleMode::smStretch)
      return QPoint(qRound(p.x() * ratio), qRound(p.y() * ratio));
    if (ratio == 1.0 || pixels.Width <= 0 || pixels.Height <= 0) return p.toPoint();
    const QSize device = DeviceSize();
    return QPoint(
        StretchedControlPixel(p.x(), ratio, view_.Width(), device.width(), pixels.Width),
        StretchedControlPixel(p.y(), ratio, view_.Height(), device.height(), pixels.Height));
  }

  // Everything anew: new picture, size or scale mode.
  void Reset() {
    view_.TakeChangedArea();  // all of it is shown now
    const TPixelsView& pixels = view_.Image();
    const bool usable = pixels.Pixels && pixels.Width > 0 && pixels.Height > 0;
    shown_width_ = usable ? pixels.Width : 0;
    shown_height_ = usable ? pixels.Height : 0;
    stretched_ = QImage();
    presented_ = false;
    update();
  }

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    stretched_ = QImage();
    presented_ = false;
  }

  // Painted on screen, the widget has no engine of its own.
  QPaintEngine* paintEngine() const override { return present_ ? nullptr : QWidget::paintEngine(); }

  void paintEvent(QPaintEvent* event) override {
    if (present_) {
      PresentRegion(event->region());
      return;
    }
    QPainter painter(this);
    const QColor grey = QColor::fromRgb(kImageViewBackground);
    const TPixelsView& pixels = view_.Image();
    if (!pixels.Pixels || pixels.Width <= 0 || pixels.Height <= 0) {
      painter.fillRect(event->rect(), grey);
      return;
    }
    const qreal ratio = devicePixelRatioF();
    if (view_.ScaleMode() == TScaleMode::smStretch && Stretching()) {
      if (stretched_.size() != DeviceSize())
        StretchInto(stretched_, pixels, QRect(QPoint(0, 0), DeviceSize()));
      DrawParts(painter, event->region(), stretched_);
      return;
    }
    // The display bitmap as it is, no copy: one device pixel per picture pixel.
    QImage image(reinterpret_cast<const uchar*>(pixels.Pixels), pixels.Width, pixels.Height,
                 static_cast<qsizetype>(pixels.Width) * 4, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    DrawParts(painter, event->region(), image);
    if (view_.ScaleMode() == TScaleMode::smStretch) return;
    const QRectF covered(0, 0, pixels.Width / ratio, pixels.Height / ratio);
    if (covered.right() < width())
      painter.fillRect(QRectF(covered.right(), 0, width() - covered.right(), height()), grey);
    if (covered.bottom() < height())
      painter.fillRect(QRectF(0, covered.bottom(), covered.width(), height() - covered.bottom()),
                       grey);
  }

 private:
  // The widget's X window, once there; false also when it cannot take our pixels (Qt then
  // paints it from now on).
  bool WindowReady() {
    const auto window = static_cast<std::uint32_t>(internalWinId());
    if (window == 0) return false;
    if (window != presented_window_) {
      presented_ = false;
      if (!present_->UseWindow(window)) {
        FallBackToQt();
        return false;
      }
      presented_window_ = window;
    }
    return true;
  }

  // The picture of the widget's size kept by the presenter, holding everything shown: a new
  // one is filled whole first.
  bool OwnPictureReady() {
    const QSize device = DeviceSize();
    if (present_->Size() != device) {
      presented_ = false;
      if (!present_->Prepare(device)) {
        FallBackToQt();
        return false;
      }
    }
    if (!presented_) {
      Compose(QRect(QPoint(0, 0), device));
      presented_ = true;
    }
    return true;
  }

  // Where the owner's pixels lie in memory the server reads, when the widget shows them 1:1:
  // they are then put on screen from there, with no copy at all.
  std::optional<TShownPixelMemory::TPlace> SharedPicture() const {
    const TPixelsView& pixels = view_.Image();
    if (!pixels.Pixels || pixels.Width <= 0 || pixels.Height <= 0) return std::nullopt;
    if (view_.ScaleMode() == TScaleMode::smStretch && Stretching()) return std::nullopt;
    if (pixels.Width > 32767 || pixels.Height > 32767) return std::nullopt;
    return ShownPixelMemory().PlaceOf(pixels.Pixels,
                                      static_cast<std::size_t>(pixels.Width) * pixels.Height * 4);
  }

  // The server cannot show this window from shared memory: Qt paints it from now on.
  void FallBackToQt() {
    present_.reset();
    setAttribute(Qt::WA_PaintOnScreen, false);
    update();
  }

  // The owner's changed areas (picture pixels) put on screen at once: nothing waits for an
  // update request.
  void PresentChanged(const std::vector<TRect>& areas) {
    if (!WindowReady()) {
      if (present_) update();
      return;
    }
    const QRect all(QPoint(0, 0), DeviceSize());
    if (const auto shared = SharedPicture()) {
      const TPixelsView& pixels = view_.Image();
      const QRect picture = QRect(0, 0, pixels.Width, pixels.Height).intersected(all);
      for (const TRect& a : areas) {
        const QRect area = QRect(a.Left, a.Top, a.Width(), a.Height()).intersected(picture);
        present_->PutFrom(shared->Segment, shared->Offset, pixels.Width, pixels.Height, area);
      }
      presented_ = false;  // the presenter's own picture was left behind
      present_->Flush();
      return;
    }
    if (!OwnPictureReady()) {
      if (present_) update();
      return;
    }
    const bool stretching = view_.ScaleMode() == TScaleMode::smStretch && Stretching();
    for (const TRect& a : areas) {
      const QRect source(a.Left, a.Top, a.Width(), a.Height());
      const QRect device = stretching ? StretchedArea(source) : source.intersected(all);
      if (device.isEmpty()) continue;
      Compose(device);
      present_->Put(device);
    }
    present_->Flush();
  }

  // Puts the parts of `region` (logical pixels) on screen.
  void PresentRegion(const QRegion& region) {
    if (!WindowReady()) return;
    const auto shared = SharedPicture();
    if (!shared && !OwnPictureReady()) return;
    const TPixelsView& pixels = view_.Image();
    const qreal ratio = devicePixelRatioF();
    const QRect all(QPoint(0, 0), DeviceSize());
    for (const QRect& logical : region) {
      const QRect device = QRectF(logical.x() * ratio, logical.y() * ratio, logical.width() * ratio,
                                  logical.height() * ratio)
                               .toAlignedRect()
                               .intersected(all);
      if (!shared) {
        present_->Put(device);
        continue;
      }
      // The picture from the owner's memory, grey right of it and below it.
      const QRect picture(0, 0, pixels.Width, pixels.Height);
      present_->PutFrom(shared->Segment, shared->Offset, pixels.Width, pixels.Height,
                        device.intersected(picture));
      present_->Fill(
          device.intersected(QRect(picture.right() + 1, device.top(),
                                   std::max(0, device.right() - picture.right()), device.height())),
          kImageViewBackground);
      present_->Fill(device.intersected(QRect(device.left(), picture.bottom() + 1, device.width(),
                                              std::max(0, device.bottom() - picture.bottom()))),
                     kImageViewBackground);
    }
    if (shared) presented_ = false;
    present_->Flush();
  }

  // What the widget shows in `device` pixels, written into the presenter's own picture: the
  // picture 1:1 over grey, or stretched.
  void Compose(const QRect& device) {
    const TPixelsView& pixels = view_.Image();
    const bool usable = pixels.Pixels && pixels.Width > 0 && pixels.Height > 0;
    if (usable && view_.ScaleMode() == TScaleMode::smStretch && Stretching()) {
      Stretch(pixels, device, [this](int y) { return present_->Row(y); });
      return;
    }
    const int covered_width =
        usable ? std::clamp(pixels.Width - device.left(), 0, device.width()) : 0;
    for (int y = device.top(); y <= device.bottom(); ++y) {
      std::uint32_t* out = present_->Row(y) + device.left();
      int copied = 0;
      if (usable && y < pixels.Height) {
        const std::uint32_t* in =
            pixels.Pixels + static_cast<std::ptrdiff_t>(y) * pixels.Width + device.left();
        std::copy_n(in, covered_width, out);
        copied = covered_width;
      }
      std::fill(out + copied, out + device.width(), kImageViewBackground);
    }
  }

  // Only the parts of `image` (device pixels from the widget's origin) under `region`.
  void DrawParts(QPainter& painter, const QRegion& region, const QImage& image) const {
    const qreal ratio = devicePixelRatioF();
    for (const QRect& logical : region) {
      const QRect device = QRectF(logical.x() * ratio, logical.y() * ratio, logical.width() * ratio,
                                  logical.height() * ratio)
                               .toAlignedRect()
                               .intersected(image.rect());
      if (device.isEmpty()) continue;
      // Each part under a plain rectangle clip: clipped to the whole region of parts, the
      // raster engine copies span by span, farmed out to threads for a tall part.
      painter.setClipRect(logical);
      painter.drawImage(QPointF(device.x() / ratio, device.y() / ratio), image, device);
    }
  }

  // One axis of ToClient for a stretched picture: `logical` control pixels, `device` pixels on
  // screen, `picture` pixels in the picture.
  static int StretchedControlPixel(qreal p, qreal ratio, int logical, int device, int picture) {
    if (logical <= 0 || device <= 0) return qRound(p);
    const auto d = static_cast<std::int64_t>(std::llround(p * ratio));
    // The picture pixel shown there, as Stretch() picks it (rounded down, also left of the edge).
    const std::int64_t n = d * picture;
    const std::int64_t shown = n / device - ((n % device != 0 && n < 0) ? 1 : 0);
    const double sx = static_cast<double>(logical) / static_cast<double>(picture);
    const auto nearest = static_cast<std::int64_t>(std::llround(static_cast<double>(shown) * sx));
    for (std::int64_t x : {nearest, nearest - 1, nearest + 1}) {
      if (static_cast<std::int64_t>(std::nearbyint(static_cast<double>(x) / sx)) == shown)
        return static_cast<int>(x);
    }
    return static_cast<int>(nearest);  // finer than a control pixel: the nearest there is
  }
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
  void StretchInto(QImage& image, const TPixelsView& pixels, const QRect& area) {
    const QSize device = DeviceSize();
    if (image.size() != device) {
      image = QImage(device, QImage::Format_RGB32);
      image.setDevicePixelRatio(devicePixelRatioF());
    }
    Stretch(pixels, area,
            [&image](int y) { return reinterpret_cast<std::uint32_t*>(image.scanLine(y)); });
  }
  // The same into the rows `row_of` gives (device pixels from the widget's origin).
  template <class RowOf>
  void Stretch(const TPixelsView& pixels, const QRect& area, RowOf row_of) {
    const QSize device = DeviceSize();
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
      std::uint32_t* out = row_of(y);
      for (int x = part.left(); x <= part.right(); ++x)
        out[x] = in[columns_[static_cast<std::size_t>(x)]];
    }
  }

  TImageView& view_;
  int shown_width_ = 0;  // size of the picture last shown whole
  int shown_height_ = 0;
  QImage stretched_;
  std::unique_ptr<TShmPresenter> present_;  // null: Qt paints the widget
  std::uint32_t presented_window_ = 0;
  bool presented_ = false;  // the presenter's own picture holds all the widget shows
  std::vector<int> columns_;
  int columns_for_ = -1;
};

class TImagePeer final : public TWidgetPeer {
 public:
  TImagePeer(TQtUiBackend& backend, TImageView& view) : TWidgetPeer(backend, view) {
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
  QPoint ToClient(QPointF p) const override {
    return static_cast<const TImageWidget*>(widget_.data())->ToClient(p);
  }
};

}  // namespace

std::unique_ptr<IControlPeer> CreateImagePeer(TQtUiBackend& backend, TControl& control) {
  if (auto* c = dynamic_cast<TImageView*>(&control))
    return std::make_unique<TImagePeer>(backend, *c);
  return nullptr;
}

}  // namespace roarmark::platform::qt
