// Track bars and progress bars.
#include <QProgressBar>
#include <QSlider>

#include "platform/qt/qt_peer_kinds.h"
#include "platform/ui/controls.h"

namespace roarmark::platform::qt {

using namespace ui;

namespace {

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

}  // namespace

std::unique_ptr<IControlPeer> CreateRangePeer(TQtUiBackend& backend, TControl& control) {
  if (auto* c = dynamic_cast<TTrackBar*>(&control))
    return std::make_unique<TTrackPeer>(backend, *c);
  if (auto* c = dynamic_cast<TProgressBar*>(&control))
    return std::make_unique<TProgressPeer>(backend, *c);
  return nullptr;
}

}  // namespace roarmark::platform::qt
