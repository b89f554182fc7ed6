// The native counterparts of the model's controls: a window per control, kept in step with it.
#pragma once

// clang-format off
#include "platform/win32/base/win32_windows.h"
// clang-format on

#include <memory>

#include "platform/ui/control.h"

namespace roarmark::platform::win32 {

class TWin32UiBackend;

class TWin32Peer : public ui::IControlPeer {
 public:
  TWin32Peer(TWin32UiBackend& backend, ui::TControl& control);
  ~TWin32Peer() override;
  TWin32Peer(const TWin32Peer&) = delete;
  TWin32Peer& operator=(const TWin32Peer&) = delete;

  void PropertyChanged(ui::TProperty what) override;
  HWND Window() const { return window_; }
  // The dots per inch of the monitor the peer's form is on (96 at 100 %).
  UINT Dpi() const;
  // The form moved to a monitor of another DPI: the font is made anew for it.
  void DpiChanged();
  ui::TControl& Control() const { return control_; }

  // Notifications a native child sends to its parent (a form or panel), handed on to its peer.
  virtual void Command(WORD) {}
  virtual LRESULT Notify(NMHDR*) { return 0; }
  virtual void Scroll() {}
  // WM_CTLCOLOR...: the control's colours.
  HBRUSH PaintColours(HDC dc);
  // Messages of the program's own window classes.
  virtual LRESULT Message(UINT message, WPARAM w, LPARAM l);

  // The peer of a window, or null.
  static TWin32Peer* Of(HWND window);

 protected:
  enum class TMouse { Native, ClickOnly, Forward };
  // Makes the window and brings it up to date with the control.
  void Create(const wchar_t* window_class, DWORD style, DWORD ex_style, TMouse mouse);
  virtual void Update(ui::TProperty what) { (void)what; }
  virtual void ApplyBounds();
  HWND ParentWindow() const;
  COLORREF Colour(ui::TColour colour) const;
  void ApplyFont();
  void ApplyColour();
  void SetText(const std::string& text);
  std::string Text() const;
  bool Mouse(UINT message, WPARAM w, LPARAM l);
  template <class F>
  void Quietly(F&& action) {
    const bool was = updating_;
    updating_ = true;
    action();
    updating_ = was;
  }

  TWin32UiBackend& backend_;
  ui::TControl& control_;
  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  HBRUSH brush_ = nullptr;
  TMouse mouse_ = TMouse::Native;
  bool updating_ = false;
  UINT dpi_ = 0;  // a form's, as the system last told it
  bool pressed_ = false;
  int wheel_ = 0;
};

std::unique_ptr<ui::IControlPeer> CreateWin32Peer(TWin32UiBackend& backend, ui::TControl& control);
// Registers the program's window classes (once).
void RegisterWindowClasses();

}  // namespace roarmark::platform::win32
