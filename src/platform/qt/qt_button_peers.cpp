// Check boxes and push buttons.
#include <QCheckBox>
#include <QPushButton>

#include "platform/qt/qt_peer_kinds.h"
#include "platform/ui/controls.h"

namespace roarmark::platform::qt {

using namespace ui;

namespace {

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

}  // namespace

std::unique_ptr<IControlPeer> CreateButtonPeer(TQtUiBackend& backend, TControl& control) {
  if (auto* c = dynamic_cast<TCheckBox*>(&control))
    return std::make_unique<TCheckPeer>(backend, *c);
  if (auto* c = dynamic_cast<TButton*>(&control)) return std::make_unique<TButtonPeer>(backend, *c);
  return nullptr;
}

}  // namespace roarmark::platform::qt
