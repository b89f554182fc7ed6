// Peers of forms and panels: windows of the program's own classes that hold the controls.
#include "platform/win32/win32_peer_kinds.h"

// clang-format off
#include "platform/win32/base/win32_windows.h"
#include <commctrl.h>
#include <windowsx.h>
// clang-format on

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/ui/application.h"
#include "platform/ui/controls.h"
#include "platform/ui/form.h"
#include "platform/ui/image_view.h"
#include "platform/ui/text_grid.h"
#include "platform/win32/base/win32_text.h"
#include "platform/win32/win32_message_loop.h"
#include "platform/win32/win32_ui_backend.h"

namespace roarmark::platform::win32 {

using namespace ui;

namespace {

// ---- Forms

class TFormPeer final : public TWin32Peer {
 public:
  TFormPeer(TWin32UiBackend& backend, TForm& form) : TWin32Peer(backend, form), form_(form) {
    RegisterWindowClasses();
    HWND owner = nullptr;
    if (TApplication* app = backend.App(); app && app->MainForm() && app->MainForm() != &form) {
      if (auto* main = dynamic_cast<TWin32Peer*>(app->MainForm()->Peer())) owner = main->Window();
    }
    window_ = CreateWindowExW(
        FormExStyle(form.BorderStyle()), kFormClass, Wide(form.Caption()).c_str(),
        FormStyle(form.BorderStyle(), form.HasCloseBox()), form.Left(), form.Top(), form.Width(),
        form.Height(), owner, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetPropW(window_, kPeerProperty, this);
    dpi_ = GetDpiForWindow(window_);
    mouse_ = TMouse::Forward;
    Quietly([&] {
      ApplyFont();
      ApplyColour();
      Update(TProperty::Other);
    });
  }

  LRESULT Message(UINT message, WPARAM w, LPARAM l) override {
    switch (message) {
      case WM_CLOSE:
        backend_.Guard([&] { form_.UserCloseBox(); });
        return 0;
      case WM_WINDOWPOSCHANGED:
        if (!updating_ && IsWindowVisible(window_) && !IsIconic(window_)) {
          RECT r;
          GetWindowRect(window_, &r);
          backend_.Guard([&] {
            if (r.left != form_.Left() || r.top != form_.Top()) form_.UserMoved(r.left, r.top);
            if (r.right - r.left != form_.Width() || r.bottom - r.top != form_.Height())
              form_.UserResized(r.right - r.left, r.bottom - r.top);
          });
        }
        break;
      case WM_DPICHANGED:
        MovedToDpi(HIWORD(w), *reinterpret_cast<const RECT*>(l));
        return 0;
      case WM_ACTIVATE:
        if (!updating_ && LOWORD(w) != WA_INACTIVE && form_.Visible() && !form_.Active() &&
            form_.InputEnabled())
          backend_.Guard([&] { form_.Activate(); });
        break;
      default:
        break;
    }
    return TWin32Peer::Message(message, w, l);
  }

 protected:
  void ApplyBounds() override {
    SetWindowPos(window_, nullptr, form_.Left(), form_.Top(), form_.Width(), form_.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }

  void Update(TProperty what) override {
    const bool all = what == TProperty::Other;
    if (all || what == TProperty::Caption) SetWindowTextW(window_, Wide(form_.Caption()).c_str());
    if (all || what == TProperty::BorderStyle) {
      const LONG_PTR visible = GetWindowLongPtrW(window_, GWL_STYLE) & WS_VISIBLE;
      SetWindowLongPtrW(
          window_, GWL_STYLE,
          static_cast<LONG_PTR>(FormStyle(form_.BorderStyle(), form_.HasCloseBox())) | visible);
      SetWindowLongPtrW(window_, GWL_EXSTYLE, FormExStyle(form_.BorderStyle()));
      SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
      ApplyBounds();
    }
    if (all || what == TProperty::StayOnTop) {
      SetWindowPos(window_, form_.StayOnTop() ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (what == TProperty::Visible) {
      if (form_.Visible()) {
        ApplyBounds();
        ShowWindow(window_, SW_SHOW);
        UpdateWindow(window_);
      } else {
        ShowWindow(window_, SW_HIDE);
      }
    }
    if ((what == TProperty::Active || what == TProperty::Visible) && form_.Active() &&
        form_.Visible()) {
      SetForegroundWindow(window_);
      SetActiveWindow(window_);
      ApplyFocus();
    }
    if (what == TProperty::Focus) ApplyFocus();
  }

 private:
  // The form is on a monitor of another DPI now (dragged there, or placed there by the program).
  // Its pixels stay device pixels: the client area keeps its size and only the frame follows the
  // new DPI, so the picture is neither scaled nor cut; the system's suggested rectangle (the old
  // size scaled) gives only the place of a form the user dragged. The text of the controls is
  // made anew for the new DPI.
  void MovedToDpi(UINT dpi, const RECT& suggested) {
    const int client_width = form_.ClientWidth(), client_height = form_.ClientHeight();
    dpi_ = dpi;
    const DWORD style = FormStyle(form_.BorderStyle(), form_.HasCloseBox());
    RECT outer{0, 0, client_width, client_height};
    if (form_.BorderStyle() != TBorderStyle::bsNone)
      AdjustWindowRectExForDpi(&outer, style, FALSE, FormExStyle(form_.BorderStyle()), dpi);
    const int left = updating_ ? form_.Left() : suggested.left;
    const int top = updating_ ? form_.Top() : suggested.top;
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    Quietly([&] {
      SetWindowPos(window_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    });
    backend_.Guard([&] {
      if (left != form_.Left() || top != form_.Top()) form_.UserMoved(left, top);
      if (width != form_.Width() || height != form_.Height()) form_.UserResized(width, height);
    });
    DpiChanged();
    EnumChildWindows(
        window_,
        [](HWND child, LPARAM) {
          if (TWin32Peer* peer = Of(child)) peer->DpiChanged();
          return TRUE;
        },
        0);
  }

  void ApplyFocus() {
    if (!form_.Active()) return;
    HWND target = window_;
    if (TControl* focused = form_.ActiveControl()) {
      if (auto* peer = dynamic_cast<TWin32Peer*>(focused->Peer()); peer && peer->Window())
        target = peer->Window();
    }
    SetFocus(target);
  }

  TForm& form_;
};

// ---- Panels: containers of their own class.

class TPanelPeer final : public TWin32Peer {
 public:
  TPanelPeer(TWin32UiBackend& backend, TPanel& panel) : TWin32Peer(backend, panel), panel_(panel) {
    Create(kContainerClass, WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT, TMouse::Forward);
  }
  LRESULT Message(UINT message, WPARAM w, LPARAM l) override {
    if (message == WM_PAINT && !panel_.Caption().empty()) {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window_, &ps);
      RECT r;
      GetClientRect(window_, &r);
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, Colour(panel_.Font().Colour));
      HGDIOBJ old = SelectObject(dc, font_);
      DrawTextW(dc, Wide(panel_.Caption()).c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      SelectObject(dc, old);
      EndPaint(window_, &ps);
      return 0;
    }
    return TWin32Peer::Message(message, w, l);
  }

 protected:
  void Update(TProperty what) override {
    if (what == TProperty::Caption) InvalidateRect(window_, nullptr, TRUE);
  }

 private:
  TPanel& panel_;
};

}  // namespace

std::unique_ptr<IControlPeer> CreateWin32FormPeer(TWin32UiBackend& backend, TControl& control) {
  if (auto* c = dynamic_cast<TForm*>(&control)) return std::make_unique<TFormPeer>(backend, *c);
  if (auto* c = dynamic_cast<TPanel*>(&control)) return std::make_unique<TPanelPeer>(backend, *c);
  return nullptr;
}

}  // namespace roarmark::platform::win32
