// Labels, panels, colour blocks, pictures and text grids: drawn here, mouse to the model.
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QWidget>
#include <functional>

#include "platform/qt/qt_peer_kinds.h"
#include "platform/ui/controls.h"
#include "platform/ui/text_grid.h"

namespace roarmark::platform::qt {

using namespace ui;

namespace {

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

std::unique_ptr<IControlPeer> CreatePaintedPeer(TQtUiBackend& backend, TControl& control) {
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
