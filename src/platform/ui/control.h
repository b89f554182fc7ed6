// The base of the control model: named components, controls with bounds, visibility, enabling,
// font and mouse/key events, and containers that hold other controls.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/geometry.h"
#include "platform/ui/keys.h"
#include "platform/ui/ui_types.h"

namespace roarmark::platform::ui {

class TApplication;
class TControl;
class TForm;
class TWinControl;

// A backend's counterpart of one control (a native widget). The model tells it after every
// change of a property; the peer turns what the user does into the control's User... calls.
class IControlPeer {
 public:
  virtual ~IControlPeer() = default;
  virtual void PropertyChanged(TProperty what) = 0;
};

// Anything a form holds under a component name: controls and timers.
class TComponent {
 public:
  TComponent(TForm* owner, std::string name);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  const std::string& Name() const { return name_; }
  TForm* Owner() const { return owner_; }
  // The class name as the forms spell it ("TEdit", "TForm"); lets backends pick a widget.
  virtual const char* KindName() const = 0;

 protected:
  TComponent() = default;  // a form owns itself
  void SetIdentity(TForm* owner, std::string name);

 private:
  friend class TForm;
  TForm* owner_ = nullptr;
  std::string name_;
};

// A visible control. Bounds are relative to the parent's client area (screen coordinates for a
// form). Setters notify the peer and run change handlers as each control kind documents.
class TControl : public TComponent {
 public:
  // `parent` is the form or panel the control sits in.
  TControl(TWinControl* parent, std::string name);
  ~TControl() override;

  TWinControl* Parent() const { return parent_; }
  // The form the control sits on; a form answers itself.
  TForm* Form() const;
  TApplication* Application() const;

  // ---- Bounds
  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  TRect BoundsRect() const { return RectOfSize(left_, top_, width_, height_); }
  virtual void SetBounds(int left, int top, int width, int height);
  void SetLeft(int left) { SetBounds(left, top_, width_, height_); }
  void SetTop(int top) { SetBounds(left_, top, width_, height_); }
  void SetWidth(int width) { SetBounds(left_, top_, width, height_); }
  void SetHeight(int height) { SetBounds(left_, top_, width_, height); }
  // Client coordinates of this control to screen coordinates and back.
  TPoint ClientToScreen(TPoint p) const;
  TPoint ScreenToClient(TPoint p) const;
  virtual TPoint ClientOrigin() const;  // screen position of the client area's top-left

  // ---- Visibility and enabling
  bool Visible() const { return visible_; }
  virtual void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool Enabled() const { return enabled_; }
  virtual void SetEnabled(bool enabled);
  // Visible together with every parent, the form included.
  bool Showing() const;
  // Enabled together with every parent: a disabled panel disables everything inside it.
  bool EffectivelyEnabled() const;
  // Showing, effectively enabled and on a form that is not disabled by a modal form: only then
  // do the User... actions act.
  bool CanTakeInput() const;

  // ---- Looks
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string hint);
  bool ShowHint() const { return show_hint_; }
  void SetShowHint(bool show);
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font);
  void SetFontColour(TColour colour);
  TColour Colour() const { return colour_; }
  void SetColour(TColour colour);

  // ---- Focus
  bool TabStop() const { return tab_stop_; }
  void SetTabStop(bool tab_stop) { tab_stop_ = tab_stop; }
  // Windowed controls can hold the keyboard focus; labels, panels and the like cannot.
  virtual bool AcceptsFocus() const { return false; }
  bool CanFocus() const;
  bool Focused() const;
  // Makes this control the focused control of its form; false when it cannot take the focus.
  bool SetFocus();

  // ---- Events
  std::function<void()> OnClick;
  std::function<void()> OnDblClick;
  std::function<void(TMouseButton button, TShiftState shift, int x, int y)> OnMouseDown;
  std::function<void(TShiftState shift, int x, int y)> OnMouseMove;
  std::function<void(TMouseButton button, TShiftState shift, int x, int y)> OnMouseUp;
  // `step` is +1 for a notch away from the user (wheel up), -1 towards the user.
  std::function<void(int step, TShiftState shift, int x, int y)> OnMouseWheel;
  // Setting `key` to 0 consumes the key: nothing after this handler sees it.
  std::function<void(int& key, TShiftState shift)> OnKeyDown;
  std::function<void(int& key, TShiftState shift)> OnKeyUp;

  // ---- What the user does (called by a backend or a test). Each returns false and does
  // nothing when the control cannot take input. Coordinates are client pixels of the control;
  // the held modifiers come from the application's key state.
  bool UserMouseDown(TMouseButton button, int x, int y);
  bool UserMouseMove(int x, int y);
  bool UserMouseUp(TMouseButton button, int x, int y);
  // A whole left click at (x, y): press, the control's own reaction and OnClick, release.
  bool UserClick(int x, int y);
  // A left click in the middle of the control.
  bool UserClick();
  // Press, release, then the double-click press and its release.
  bool UserDblClick(int x, int y);
  // `notches` wheel notches (+ up, - down) with the pointer at (x, y).
  bool UserMouseWheel(int notches, int x, int y);
  // A right press and release at (x, y).
  bool UserRightClick(int x, int y);

  // ---- Backend side
  IControlPeer* Peer() const { return peer_.get(); }
  void SetPeer(std::unique_ptr<IControlPeer> peer);

 protected:
  // For TForm, which has no parent.
  TControl();
  // Tells the peer; every setter calls it after the state has changed.
  void Changed(TProperty what);
  // What a left click does between press and release: by default OnClick; a check box
  // toggles (which runs OnClick), a button sets the form's modal result first.
  virtual void ClickAction();
  // What a press does to the control itself before OnMouseDown (a grid selects the cell).
  virtual void PressAction(TMouseButton, int, int) {}
  // A press also focuses controls that take the focus on click.
  virtual bool FocusOnPress() const { return AcceptsFocus(); }
  // Creates the peer when the form is already shown by a backend; leaf constructors call it.
  void Attach();
  // Runs `action`, routing a std::exception to the application's standard error box.
  bool Guarded(const std::function<void()>& action);
  TShiftState HeldShift() const;
  bool Press(TMouseButton button, int x, int y, TShiftState extra);

 private:
  friend class TWinControl;
  friend class TForm;
  TForm* form_ = nullptr;
  TWinControl* parent_ = nullptr;
  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  bool show_hint_ = false;
  bool tab_stop_ = false;
  std::string hint_;
  TFont font_;
  TColour colour_ = clBtnFace;
  std::unique_ptr<IControlPeer> peer_;
};

// A control that holds other controls (forms and panels). Children are listed in creation order.
class TWinControl : public TControl {
 public:
  using TControl::TControl;
  ~TWinControl() override;

  const std::vector<TControl*>& Controls() const { return children_; }
  // This control and everything inside it, depth first, in creation order.
  void ForEachDescendant(const std::function<void(TControl&)>& visit) const;

 protected:
  TWinControl() = default;

 private:
  friend class TControl;
  std::vector<TControl*> children_;
};

}  // namespace roarmark::platform::ui
