// The native counterparts of the model's controls: one widget per control, kept in step with it.
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <memory>

#include "platform/ui/control.h"
#include "platform/ui/form.h"

namespace roarmark::platform::qt {

class TQtUiBackend;

// What every peer shares: geometry, visibility, enabling, font, colour, hint and focus, and
// the mouse of controls that have no native behaviour of their own.
class TWidgetPeer : public QObject, public ui::IControlPeer {
 public:
  TWidgetPeer(TQtUiBackend& backend, ui::TControl& control);
  ~TWidgetPeer() override;

  void PropertyChanged(ui::TProperty what) override;
  QWidget* Widget() const { return widget_; }
  ui::TControl& Control() const { return control_; }
  // Where the control's children go.
  virtual QWidget* ClientWidget() const { return widget_; }

 protected:
  enum class TMouse { Native, ClickOnly, Forward };
  // Adopts `widget` and brings it up to date with the control.
  void Init(QWidget* widget, TMouse mouse);
  // Kind-specific properties; Other means all of them.
  virtual void Update(ui::TProperty what) { (void)what; }
  virtual void ApplyBounds();
  // Whether any change repaints the whole widget.
  virtual bool RepaintsOnChange() const { return true; }
  void ApplyFont();
  void ApplyColour();
  bool eventFilter(QObject* watched, QEvent* event) override;
  // Mouse positions (Qt's logical pixels, fractional under a desktop scale) in the control's
  // client pixels.
  virtual QPoint ToClient(QPointF p) const { return p.toPoint(); }
  QWidget* ParentWidget() const;
  // Runs `action` with the widget's own change signals ignored.
  template <class F>
  void Quietly(F&& action) {
    const bool was = updating_;
    updating_ = true;
    action();
    updating_ = was;
  }
  void RunClick();
  void RunDblClick();

  TQtUiBackend& backend_;
  ui::TControl& control_;
  QPointer<QWidget> widget_;
  TMouse mouse_ = TMouse::Native;
  bool updating_ = false;
  bool pressed_ = false;
  int wheel_ = 0;
};

// A form: a top-level window whose client area is the widget itself.
class TFormPeer final : public TWidgetPeer {
 public:
  TFormPeer(TQtUiBackend& backend, ui::TForm& form);
  ~TFormPeer() override;
  ui::TForm& Form() const { return form_; }

  // From the window.
  void CloseBox();
  void WindowGeometryChanged();
  void WindowActivated();
  void WindowShown();

 protected:
  void Update(ui::TProperty what) override;
  void ApplyBounds() override;

 private:
  void ApplyFlags();
  void ApplyVisible();
  void ApplyFocus();
  ui::TFrameExtents MeasuredFrame() const;

  ui::TForm& form_;
  QRect applied_;  // the client geometry last asked for
  Qt::WindowFlags flags_;
};

std::unique_ptr<ui::IControlPeer> CreateQtPeer(TQtUiBackend& backend, ui::TControl& control);
// The form peer of a top-level widget, or null.
TFormPeer* FormPeerOf(QWidget* window);

}  // namespace roarmark::platform::qt
