// Controls that take text or a choice: edit, memo, drop-down list, up-down arrows.
#include <QBoxLayout>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <algorithm>

#include "platform/qt/qt_peer_kinds.h"
#include "platform/ui/controls.h"

namespace roarmark::platform::qt {

using namespace ui;

namespace {

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

}  // namespace

std::unique_ptr<IControlPeer> CreateEditPeer(TQtUiBackend& backend, TControl& control) {
  if (auto* c = dynamic_cast<TEdit*>(&control)) return std::make_unique<TEditPeer>(backend, *c);
  if (auto* c = dynamic_cast<TMemo*>(&control)) return std::make_unique<TMemoPeer>(backend, *c);
  if (auto* c = dynamic_cast<TComboBox*>(&control))
    return std::make_unique<TComboPeer>(backend, *c);
  if (auto* c = dynamic_cast<TUpDown*>(&control)) return std::make_unique<TUpDownPeer>(backend, *c);
  return nullptr;
}

}  // namespace roarmark::platform::qt
