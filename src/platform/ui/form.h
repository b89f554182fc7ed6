// A top-level window of the control model: caption, border, stay-on-top, outer and client size,
// showing (modal or not), closing, activation, the focused control and key routing.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/ui/control.h"

namespace roarmark::platform::ui {

class TTimer;

// Widths of the frame around a form's client area.
struct TFrameExtents {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  friend bool operator==(const TFrameExtents&, const TFrameExtents&) = default;
};

// A window. Its bounds (Left, Top, Width, Height) are the outer rectangle on the screen; the
// client size is that minus the frame the backend reports for the border style. A form starts
// hidden. Derived classes (the program's windows) hold their controls as members.
class TForm : public TWinControl {
 public:
  TForm(TApplication& application, std::string name);
  ~TForm() override;

  const char* KindName() const override { return "TForm"; }
  TApplication& App() const { return *app_; }

  // ---- Lookup of components by name
  TComponent* FindComponent(const std::string& name) const;
  TControl* FindControl(const std::string& name) const;
  template <class T>
  T* Find(const std::string& name) const {
    return dynamic_cast<T*>(FindComponent(name));
  }
  const std::vector<TComponent*>& Components() const { return components_; }

  // ---- Looks and placement
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  TBorderStyle BorderStyle() const { return border_style_; }
  void SetBorderStyle(TBorderStyle style);  // keeps the outer bounds
  bool StayOnTop() const { return stay_on_top_; }
  void SetStayOnTop(bool on);
  // Whether the title bar has a close box (a dialog without a system menu has none).
  bool HasCloseBox() const { return close_box_; }
  void SetCloseBox(bool on) { close_box_ = on; }
  TFormPosition Position() const { return position_; }
  void SetPosition(TFormPosition position) { position_ = position; }
  TFrameExtents Frame() const;
  int ClientWidth() const;
  int ClientHeight() const;
  void SetClientWidth(int width);
  void SetClientHeight(int height);
  void SetClientSize(int width, int height);
  TPoint ClientOrigin() const override;
  void SetBounds(int left, int top, int width, int height) override;

  // ---- Showing and closing
  // Makes the form visible (OnShow once it is), brings it to the front and activates it.
  void Show();
  // Hides the form; another visible form becomes active.
  void Hide();
  void SetVisible(bool visible) override;
  // Shows the form modally and runs a nested loop until its modal result is set or it is
  // closed; the forms visible before are disabled meanwhile. Returns the modal result (mrCancel
  // when closed without one, or when the application terminates meanwhile).
  TModalResult ShowModal();
  bool Modal() const { return modal_; }
  TModalResult ModalResult() const { return modal_result_; }
  void SetModalResult(TModalResult result);
  // Asks OnCloseQuery, then runs OnClose. A modal form gets mrCancel and its loop closes it;
  // the application's main form ends the application; any other form is hidden.
  void Close();
  // Brings the form to the front and makes it the active form (OnActivate).
  void Activate();
  bool Active() const;
  // False while a modal form shown after this one is open.
  bool InputEnabled() const { return modal_disabled_ == 0; }

  // ---- Keys and focus
  bool KeyPreview() const { return key_preview_; }
  void SetKeyPreview(bool on);
  // The control with the keyboard focus, or null when the form itself has it.
  TControl* ActiveControl() const { return active_control_; }
  // Focuses `control` (null: the form itself, no control). False when it cannot take the focus.
  bool SetActiveControl(TControl* control);

  // ---- Events
  std::function<void()> OnShow;
  std::function<void()> OnHide;
  std::function<void()> OnActivate;
  std::function<void()> OnDeactivate;
  std::function<void(bool& can_close)> OnCloseQuery;
  std::function<void(TCloseAction& action)> OnClose;
  std::function<void()> OnResize;

  // ---- What the user does. Keys go to the form first when key preview is on (consumed when
  // its handler sets the key to 0), then to the focused control, or to the form when no control
  // has the focus. Return and Escape then click the default and cancel buttons. The held-key
  // state is updated, and the modifiers come from it. A release counts only when this form saw
  // the key go down: the release of an Escape that cancelled a message box, or of a key pressed
  // in another window, is no command here.
  bool UserKeyDown(int key);
  bool UserKeyUp(int key);
  // Press and release, with the given modifiers pressed before and released after it (each
  // modifier is a key event of its own).
  bool UserKey(int key, TShiftState modifiers = ssNone);
  // The close box of the title bar.
  bool UserCloseBox();
  // The window manager moved or resized the window (outer bounds).
  void UserMoved(int left, int top);
  void UserResized(int width, int height);

  // ---- Backend side
  bool Realized() const { return realized_; }
  // Creates the peers of the form and its controls through the backend (done on first show).
  void Realize();

 private:
  friend class TComponent;
  friend class TControl;
  friend class TApplication;
  void RegisterComponent(TComponent* component);
  void UnregisterComponent(TComponent* component);
  void ForgetControl(TControl* control);
  void DoShow();
  void DoHide();
  void PlaceOnShow();
  void FocusFirst();
  bool CloseModal();
  bool RouteKey(bool down, int key, TShiftState shift);

  TApplication* app_;
  std::vector<TComponent*> components_;
  std::vector<int> keys_down_;  // pressed while this form had the keyboard
  std::string caption_;
  TBorderStyle border_style_ = TBorderStyle::bsSizeable;
  bool stay_on_top_ = false;
  bool close_box_ = true;
  TFormPosition position_ = TFormPosition::poDesigned;
  bool key_preview_ = false;
  bool modal_ = false;
  TModalResult modal_result_ = mrNone;
  int modal_disabled_ = 0;
  TControl* active_control_ = nullptr;
  bool realized_ = false;
};

}  // namespace roarmark::platform::ui
