// Peers for every control kind: native EDIT, BUTTON, COMBOBOX, STATIC and the common controls
// (up-down, track bar, progress bar) where Windows has one; the program's own window classes
// for forms, panels, the display image, colour blocks, pictures and the preset grid.
#include "platform/win32/win32_peers.h"

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

constexpr wchar_t kPeerProperty[] = L"RoarmarkPeer";
constexpr wchar_t kContainerClass[] = L"RoarmarkContainer";
constexpr wchar_t kFormClass[] = L"RoarmarkForm";
constexpr wchar_t kPaintedClass[] = L"RoarmarkPainted";

LRESULT CALLBACK OwnWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (TWin32Peer* peer = TWin32Peer::Of(window)) return peer->Message(message, w, l);
  return DefWindowProcW(window, message, w, l);
}

// Native controls are subclassed so that their peer sees the mouse before the control does.
LRESULT CALLBACK SubclassProc(HWND, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR peer) {
  return reinterpret_cast<TWin32Peer*>(peer)->Message(message, w, l);
}

BITMAPINFO TopDownInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

TMouseButton ButtonOf(UINT message) {
  switch (message) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK:
      return TMouseButton::mbRight;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK:
      return TMouseButton::mbMiddle;
    default:
      return TMouseButton::mbLeft;
  }
}

}  // namespace

void RegisterWindowClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  HINSTANCE instance = GetModuleHandleW(nullptr);
  for (const wchar_t* name : {kContainerClass, kFormClass, kPaintedClass}) {
    WNDCLASSW wc{};
    wc.style = CS_DBLCLKS | (name == kPaintedClass ? CS_HREDRAW | CS_VREDRAW : 0u);
    wc.lpfnWndProc = &OwnWindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hIcon = name == kFormClass ? LoadIconW(instance, MAKEINTRESOURCEW(1)) : nullptr;
    wc.lpszClassName = name;
    RegisterClassW(&wc);
  }
}

// ---- Base

TWin32Peer::TWin32Peer(TWin32UiBackend& backend, TControl& control)
    : backend_(backend), control_(control) {}

TWin32Peer::~TWin32Peer() {
  if (window_ && IsWindow(window_)) {
    RemovePropW(window_, kPeerProperty);
    RemoveWindowSubclass(window_, &SubclassProc, 1);
    DestroyWindow(window_);
  }
  if (font_) DeleteObject(font_);
  if (brush_) DeleteObject(brush_);
}

TWin32Peer* TWin32Peer::Of(HWND window) {
  return window ? static_cast<TWin32Peer*>(GetPropW(window, kPeerProperty)) : nullptr;
}

HWND TWin32Peer::ParentWindow() const {
  TWinControl* parent = control_.Parent();
  auto* peer = parent ? dynamic_cast<TWin32Peer*>(parent->Peer()) : nullptr;
  return peer ? peer->Window() : nullptr;
}

void TWin32Peer::Create(const wchar_t* window_class, DWORD style, DWORD ex_style, TMouse mouse) {
  RegisterWindowClasses();
  mouse_ = mouse;
  HWND parent = ParentWindow();
  window_ = CreateWindowExW(ex_style, window_class, L"", style | (parent ? WS_CHILD : 0u),
                            control_.Left(), control_.Top(), std::max(0, control_.Width()),
                            std::max(0, control_.Height()), parent, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  if (!window_) return;
  SetPropW(window_, kPeerProperty, this);
  const bool own = std::wcscmp(window_class, kContainerClass) == 0 ||
                   std::wcscmp(window_class, kFormClass) == 0 ||
                   std::wcscmp(window_class, kPaintedClass) == 0;
  if (!own) SetWindowSubclass(window_, &SubclassProc, 1, reinterpret_cast<DWORD_PTR>(this));
  Quietly([&] {
    ApplyFont();
    ApplyColour();
    Update(TProperty::Other);
    ApplyBounds();
    EnableWindow(window_, control_.Enabled());
    if (parent) ShowWindow(window_, control_.Visible() ? SW_SHOWNA : SW_HIDE);
  });
}

void TWin32Peer::PropertyChanged(TProperty what) {
  if (!window_) return;
  Quietly([&] {
    switch (what) {
      case TProperty::Bounds:
        ApplyBounds();
        break;
      case TProperty::Visible:
        if (GetParent(window_) && !dynamic_cast<TForm*>(&control_))
          ShowWindow(window_, control_.Visible() ? SW_SHOWNA : SW_HIDE);
        else
          Update(what);
        break;
      case TProperty::Enabled:
        EnableWindow(window_, control_.Enabled());
        break;
      case TProperty::Font:
        ApplyFont();
        InvalidateRect(window_, nullptr, TRUE);
        break;
      case TProperty::Colour:
        ApplyColour();
        InvalidateRect(window_, nullptr, TRUE);
        break;
      case TProperty::Hint:
        break;
      default:
        Update(what);
        break;
    }
  });
}

void TWin32Peer::ApplyBounds() {
  MoveWindow(window_, control_.Left(), control_.Top(), std::max(0, control_.Width()),
             std::max(0, control_.Height()), TRUE);
}

COLORREF TWin32Peer::Colour(TColour colour) const {
  if (colour & 0x80000000u) return backend_.Colours().SystemColour(static_cast<int>(colour & 0xFF));
  return colour & 0xFFFFFFu;
}

void TWin32Peer::ApplyFont() {
  const TFont& f = control_.Font();
  LOGFONTW lf{};
  if (f.PixelHeight > 0) {
    lf.lfHeight = -f.PixelHeight;
  } else {
    HDC screen = GetDC(nullptr);
    lf.lfHeight = -MulDiv(f.Size, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
  }
  lf.lfWeight = (f.Style & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (f.Style & fsItalic) != 0;
  lf.lfUnderline = (f.Style & fsUnderline) != 0;
  lf.lfStrikeOut = (f.Style & fsStrikeOut) != 0;
  lf.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(lf.lfFaceName, Wide(f.Name).c_str(), LF_FACESIZE);
  HFONT font = CreateFontIndirectW(&lf);
  SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  if (font_) DeleteObject(font_);
  font_ = font;
}

void TWin32Peer::ApplyColour() {
  if (brush_) DeleteObject(brush_);
  brush_ = CreateSolidBrush(Colour(control_.Colour()));
}

HBRUSH TWin32Peer::PaintColours(HDC dc) {
  SetTextColor(dc, Colour(control_.Font().Colour));
  SetBkColor(dc, Colour(control_.Colour()));
  return brush_;
}

void TWin32Peer::SetText(const std::string& text) {
  if (Text() != text) SetWindowTextW(window_, Wide(text).c_str());
}

std::string TWin32Peer::Text() const {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window_)) + 1, L'\0');
  GetWindowTextW(window_, text.data(), static_cast<int>(text.size()));
  text.resize(std::wcslen(text.c_str()));
  return Narrow(text);
}

// The mouse of windows that forward it to the model: every press, move and release (the
// display image, forms), or whole clicks only (colour blocks, pictures, the grid).
bool TWin32Peer::Mouse(UINT message, WPARAM w, LPARAM l) {
  if (mouse_ == TMouse::Native) return false;
  const int x = GET_X_LPARAM(l), y = GET_Y_LPARAM(l);
  TApplication* app = backend_.App();
  auto held = [&](int vk, WPARAM bit) {
    if (app) app->SetKeyDown(vk, (w & bit) != 0);
  };
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      held(VK_SHIFT, MK_SHIFT);
      held(VK_CONTROL, MK_CONTROL);
      SetCapture(window_);
      pressed_ = true;
      if (mouse_ == TMouse::Forward)
        backend_.Guard([&] { control_.UserMouseDown(ButtonOf(message), x, y); });
      return true;
    case WM_LBUTTONDBLCLK:
      SetCapture(window_);
      pressed_ = true;
      backend_.Guard([&] {
        if (mouse_ == TMouse::ClickOnly) {
          control_.UserDblClick(x, y);
          pressed_ = false;
        } else {
          if (control_.OnDblClick) control_.OnDblClick();
          control_.UserMouseDown(TMouseButton::mbLeft, x, y);
        }
      });
      return true;
    case WM_MOUSEMOVE:
      if (mouse_ == TMouse::Forward) backend_.Guard([&] { control_.UserMouseMove(x, y); });
      return true;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      if (GetCapture() == window_) ReleaseCapture();
      const bool was = std::exchange(pressed_, false);
      RECT r;
      GetClientRect(window_, &r);
      const bool inside = x >= 0 && y >= 0 && x < r.right && y < r.bottom;
      backend_.Guard([&] {
        if (mouse_ == TMouse::Forward)
          control_.UserMouseUp(ButtonOf(message), x, y);
        else if (was && inside && message == WM_LBUTTONUP)
          control_.UserClick(x, y);
        else if (was && inside && message == WM_RBUTTONUP)
          control_.UserRightClick(x, y);
      });
      return true;
    }
    case WM_MOUSEWHEEL: {
      POINT p{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
      ScreenToClient(window_, &p);
      wheel_ += GET_WHEEL_DELTA_WPARAM(w);
      const int notches = wheel_ / WHEEL_DELTA;
      wheel_ -= notches * WHEEL_DELTA;
      held(VK_SHIFT, MK_SHIFT);
      held(VK_CONTROL, MK_CONTROL);
      if (notches) backend_.Guard([&] { control_.UserMouseWheel(notches, p.x, p.y); });
      return true;
    }
    default:
      return false;
  }
}

LRESULT TWin32Peer::Message(UINT message, WPARAM w, LPARAM l) {
  switch (message) {
    case WM_COMMAND:
      if (TWin32Peer* child = Of(reinterpret_cast<HWND>(l))) {
        if (!child->updating_) child->Command(HIWORD(w));
        return 0;
      }
      break;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(l);
      if (TWin32Peer* child = Of(header->hwndFrom)) return child->Notify(header);
      break;
    }
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (TWin32Peer* child = Of(reinterpret_cast<HWND>(l))) {
        if (!child->updating_) child->Scroll();
        return 0;
      }
      break;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
      if (TWin32Peer* child = Of(reinterpret_cast<HWND>(l)))
        return reinterpret_cast<LRESULT>(child->PaintColours(reinterpret_cast<HDC>(w)));
      break;
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(window_, &r);
      FillRect(reinterpret_cast<HDC>(w), &r, brush_);
      return 1;
    }
    case WM_SETCURSOR:
      if (backend_.Cursor() && LOWORD(l) == HTCLIENT) {
        SetCursor(backend_.Cursor());
        return TRUE;
      }
      break;
    default:
      if (Mouse(message, w, l)) return 0;
      break;
  }
  // Subclassed native controls hand everything else on to their own procedure.
  if (GetPropW(window_, kPeerProperty) &&
      GetWindowLongPtrW(window_, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&OwnWindowProc))
    return DefSubclassProc(window_, message, w, l);
  return DefWindowProcW(window_, message, w, l);
}

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

// ---- Native controls

class TEditPeer final : public TWin32Peer {
 public:
  TEditPeer(TWin32UiBackend& backend, TEdit& edit) : TWin32Peer(backend, edit), edit_(edit) {
    Create(L"EDIT", WS_TABSTOP | ES_AUTOHSCROLL | (edit.NumbersOnly() ? ES_NUMBER : 0u),
           WS_EX_CLIENTEDGE, TMouse::Native);
  }
  void Command(WORD code) override {
    if (code != EN_CHANGE) return;
    const std::string typed = Text();
    if (typed == edit_.Text()) return;
    backend_.Guard([&] { edit_.UserType(typed); });
    // The field may refuse characters, or not take input at all: show what the model holds.
    Quietly([&] { SetText(edit_.Text()); });
  }

 protected:
  void Update(TProperty what) override {
    const bool all = what == TProperty::Other;
    if (all || what == TProperty::Text) SetText(edit_.Text());
    if (all || what == TProperty::ReadOnly)
      SendMessageW(window_, EM_SETREADONLY, edit_.ReadOnly(), 0);
  }

 private:
  TEdit& edit_;
};

class TMemoPeer final : public TWin32Peer {
 public:
  TMemoPeer(TWin32UiBackend& backend, TMemo& memo) : TWin32Peer(backend, memo), memo_(memo) {
    Create(L"EDIT", WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
           WS_EX_CLIENTEDGE, TMouse::Native);
  }

 protected:
  void Update(TProperty what) override {
    const bool all = what == TProperty::Other;
    if (all || what == TProperty::Lines) SetText(memo_.Text());
    if (all || what == TProperty::ReadOnly)
      SendMessageW(window_, EM_SETREADONLY, memo_.ReadOnly(), 0);
  }

 private:
  TMemo& memo_;
};

class TCheckBoxPeer final : public TWin32Peer {
 public:
  TCheckBoxPeer(TWin32UiBackend& backend, TCheckBox& box) : TWin32Peer(backend, box), box_(box) {
    Create(L"BUTTON", WS_TABSTOP | BS_CHECKBOX, 0, TMouse::Native);
  }
  void Command(WORD code) override {
    if (code == BN_CLICKED) backend_.Guard([&] { box_.UserClick(); });
  }

 protected:
  void Update(TProperty what) override {
    const bool all = what == TProperty::Other;
    if (all || what == TProperty::Caption) SetText(box_.Caption());
    if (all || what == TProperty::Checked)
      SendMessageW(window_, BM_SETCHECK, box_.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  }

 private:
  TCheckBox& box_;
};

class TButtonPeer final : public TWin32Peer {
 public:
  TButtonPeer(TWin32UiBackend& backend, TButton& button)
      : TWin32Peer(backend, button), button_(button) {
    Create(L"BUTTON", WS_TABSTOP | (button.Default() ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON), 0,
           TMouse::Native);
  }
  void Command(WORD code) override {
    if (code == BN_CLICKED) backend_.Guard([&] { button_.UserClick(); });
  }

 protected:
  void Update(TProperty what) override {
    if (what == TProperty::Other || what == TProperty::Caption) SetText(button_.Caption());
  }

 private:
  TButton& button_;
};

class TComboPeer final : public TWin32Peer {
 public:
  TComboPeer(TWin32UiBackend& backend, TComboBox& combo)
      : TWin32Peer(backend, combo), combo_(combo) {
    Create(L"COMBOBOX", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0, TMouse::Native);
  }
  void Command(WORD code) override {
    if (code != CBN_SELCHANGE) return;
    const int index = static_cast<int>(SendMessageW(window_, CB_GETCURSEL, 0, 0));
    backend_.Guard([&] { combo_.UserSelect(index); });
    Quietly(
        [&] { SendMessageW(window_, CB_SETCURSEL, static_cast<WPARAM>(combo_.ItemIndex()), 0); });
  }

 protected:
  // The window's height includes its drop-down list.
  void ApplyBounds() override {
    const int item = std::max(16, static_cast<int>(SendMessageW(window_, CB_GETITEMHEIGHT, 0, 0)));
    MoveWindow(window_, combo_.Left(), combo_.Top(), combo_.Width(),
               combo_.Height() + item * std::max(1, combo_.DropDownCount()) + 4, TRUE);
  }
  void Update(TProperty what) override {
    const bool all = what == TProperty::Other;
    if (all || what == TProperty::Items) {
      SendMessageW(window_, CB_RESETCONTENT, 0, 0);
      for (const std::string& item : combo_.Items())
        SendMessageW(window_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
    }
    if (all || what == TProperty::Items || what == TProperty::ItemIndex)
      SendMessageW(window_, CB_SETCURSEL, static_cast<WPARAM>(combo_.ItemIndex()), 0);
  }

 private:
  TComboBox& combo_;
};

// Arrows only: the model writes the position into the associated field itself.
class TUpDownPeer final : public TWin32Peer {
 public:
  TUpDownPeer(TWin32UiBackend& backend, TUpDown& updown)
      : TWin32Peer(backend, updown), updown_(updown) {
    Create(UPDOWN_CLASSW, updown.Orientation() == TOrientation::Horizontal ? UDS_HORZ : 0u, 0,
           TMouse::Native);
    SendMessageW(window_, UDM_SETRANGE32, 0, 100);
    SendMessageW(window_, UDM_SETPOS32, 0, 50);
  }
  LRESULT Notify(NMHDR* header) override {
    if (header->code != UDN_DELTAPOS) return 0;
    const auto* change = reinterpret_cast<NMUPDOWN*>(header);
    const bool up = change->iDelta > 0;
    backend_.Guard([&] { updown_.UserArrow(up); });
    return TRUE;  // the native position stays in the middle
  }

 private:
  TUpDown& updown_;
};

class TTrackBarPeer final : public TWin32Peer {
 public:
  TTrackBarPeer(TWin32UiBackend& backend, TTrackBar& bar) : TWin32Peer(backend, bar), bar_(bar) {
    Create(TRACKBAR_CLASSW,
           WS_TABSTOP | TBS_AUTOTICKS |
               (bar.Orientation() == TOrientation::Vertical ? TBS_VERT : TBS_HORZ),
           0, TMouse::Native);
  }
  void Scroll() override {
    const int position = static_cast<int>(SendMessageW(window_, TBM_GETPOS, 0, 0));
    if (position != bar_.Position()) backend_.Guard([&] { bar_.UserSlide(position); });
    if (position != bar_.Position())
      Quietly([&] { SendMessageW(window_, TBM_SETPOS, TRUE, bar_.Position()); });
  }

 protected:
  void Update(TProperty what) override {
    const bool all = what == TProperty::Other;
    if (all || what == TProperty::Range) {
      SendMessageW(window_, TBM_SETRANGEMIN, FALSE, bar_.Min());
      SendMessageW(window_, TBM_SETRANGEMAX, TRUE, bar_.Max());
    }
    if (all || what == TProperty::Range || what == TProperty::Position)
      SendMessageW(window_, TBM_SETPOS, TRUE, bar_.Position());
  }

 private:
  TTrackBar& bar_;
};

class TProgressPeer final : public TWin32Peer {
 public:
  TProgressPeer(TWin32UiBackend& backend, TProgressBar& bar) : TWin32Peer(backend, bar), bar_(bar) {
    Create(PROGRESS_CLASSW, 0, 0, TMouse::Native);
  }

 protected:
  void Update(TProperty) override {
    SendMessageW(window_, PBM_SETRANGE32, static_cast<WPARAM>(bar_.Min()), bar_.Max());
    SendMessageW(window_, PBM_SETPOS, static_cast<WPARAM>(bar_.Position()), 0);
  }

 private:
  TProgressBar& bar_;
};

// Labels and static texts: a STATIC window that reports clicks.
class TLabelPeer final : public TWin32Peer {
 public:
  TLabelPeer(TWin32UiBackend& backend, TLabel& label, bool framed)
      : TWin32Peer(backend, label), label_(label) {
    Create(L"STATIC", SS_NOTIFY | SS_LEFT | (framed ? SS_SUNKEN : 0u), 0, TMouse::Native);
  }
  void Command(WORD code) override {
    if (code == STN_CLICKED) backend_.Guard([&] { label_.UserClick(); });
    if (code == STN_DBLCLK && label_.OnDblClick) backend_.Guard([&] { label_.OnDblClick(); });
  }

 protected:
  void Update(TProperty what) override {
    if (what == TProperty::Other || what == TProperty::Caption) SetText(label_.Caption());
  }

 private:
  TLabel& label_;
};

// ---- Painted controls

class TPaintedPeer : public TWin32Peer {
 public:
  using TWin32Peer::TWin32Peer;
  LRESULT Message(UINT message, WPARAM w, LPARAM l) override {
    if (message == WM_PAINT) {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(window_, &ps);
      Paint(dc, ps.rcPaint);
      EndPaint(window_, &ps);
      return 0;
    }
    if (message == WM_ERASEBKGND) return 1;  // Paint covers everything
    return TWin32Peer::Message(message, w, l);
  }

 protected:
  virtual void Paint(HDC dc, const RECT& area) = 0;
  void Update(TProperty) override { InvalidateRect(window_, nullptr, FALSE); }
};

// The display image: the owner's pixels 1:1 or stretched (nearest neighbour) over grey; only
// the areas the owner reports as changed are repainted.
class TImagePeer final : public TPaintedPeer {
 public:
  TImagePeer(TWin32UiBackend& backend, TImageView& view)
      : TPaintedPeer(backend, view), view_(view) {
    Create(kPaintedClass, WS_CLIPSIBLINGS, 0, TMouse::Forward);
  }

 protected:
  void Update(TProperty what) override {
    if (what != TProperty::ImageChanged) {
      view_.TakeChangedArea();
      InvalidateRect(window_, nullptr, FALSE);
      return;
    }
    const TImageView::TChangedArea changed = view_.TakeChangedArea();
    const TPixelsView& image = view_.Image();
    if (changed.Whole || image.Width <= 0 || image.Height <= 0) {
      InvalidateRect(window_, nullptr, FALSE);
      return;
    }
    if (changed.Area.Width() <= 0 || changed.Area.Height() <= 0) return;
    RECT r{changed.Area.Left, changed.Area.Top, changed.Area.Right, changed.Area.Bottom};
    if (view_.ScaleMode() == TScaleMode::smStretch) {
      RECT client;
      GetClientRect(window_, &client);
      // Every client pixel whose source pixel lies in the area, with a pixel to spare.
      r.left = r.left * client.right / image.Width - 1;
      r.top = r.top * client.bottom / image.Height - 1;
      r.right = (r.right * client.right + image.Width - 1) / image.Width + 1;
      r.bottom = (r.bottom * client.bottom + image.Height - 1) / image.Height + 1;
    }
    InvalidateRect(window_, &r, FALSE);
  }

  void Paint(HDC dc, const RECT& area) override {
    RECT client;
    GetClientRect(window_, &client);
    const TPixelsView& image = view_.Image();
    HBRUSH grey = CreateSolidBrush(RGB(0x80, 0x80, 0x80));
    if (!image.Pixels || image.Width <= 0 || image.Height <= 0) {
      FillRect(dc, &area, grey);
      DeleteObject(grey);
      return;
    }
    const BITMAPINFO info = TopDownInfo(image.Width, image.Height);
    SetStretchBltMode(dc, COLORONCOLOR);
    if (view_.ScaleMode() == TScaleMode::smStretch) {
      StretchDIBits(dc, 0, 0, client.right, client.bottom, 0, 0, image.Width, image.Height,
                    image.Pixels, &info, DIB_RGB_COLORS, SRCCOPY);
    } else {
      // Only the rows and columns of the area, straight from the picture.
      const int left = std::max<int>(0, area.left), top = std::max<int>(0, area.top);
      const int right = std::min<int>(image.Width, area.right);
      const int bottom = std::min<int>(image.Height, area.bottom);
      if (right > left && bottom > top) {
        const BITMAPINFO rows = TopDownInfo(image.Width, bottom - top);
        SetDIBitsToDevice(
            dc, left, top, static_cast<DWORD>(right - left), static_cast<DWORD>(bottom - top), left,
            0, 0, static_cast<UINT>(bottom - top),
            image.Pixels + static_cast<std::size_t>(top) * image.Width, &rows, DIB_RGB_COLORS);
      }
      RECT strip{image.Width, 0, client.right, client.bottom};
      if (strip.right > strip.left) FillRect(dc, &strip, grey);
      strip = RECT{0, image.Height, std::min<LONG>(image.Width, client.right), client.bottom};
      if (strip.bottom > strip.top) FillRect(dc, &strip, grey);
    }
    (void)info;
    DeleteObject(grey);
  }

 private:
  TImageView& view_;
};

class TColourBlockPeer final : public TPaintedPeer {
 public:
  TColourBlockPeer(TWin32UiBackend& backend, TColourBlock& block)
      : TPaintedPeer(backend, block), block_(block) {
    Create(kPaintedClass, 0, 0, TMouse::ClickOnly);
  }

 protected:
  void Paint(HDC dc, const RECT&) override {
    RECT r;
    GetClientRect(window_, &r);
    FillRect(dc, &r, brush_);
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
    if (!block_.Caption().empty()) {
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, Colour(block_.Font().Colour));
      HGDIOBJ old = SelectObject(dc, font_);
      DrawTextW(dc, Wide(block_.Caption()).c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      SelectObject(dc, old);
    }
  }

 private:
  TColourBlock& block_;
};

class TPicturePeer final : public TPaintedPeer {
 public:
  TPicturePeer(TWin32UiBackend& backend, TPicture& picture)
      : TPaintedPeer(backend, picture), picture_(picture) {
    Create(kPaintedClass, 0, 0, TMouse::ClickOnly);
  }

 protected:
  void Paint(HDC dc, const RECT&) override {
    RECT r;
    GetClientRect(window_, &r);
    FillRect(dc, &r, brush_);
    if (picture_.Empty()) return;
    const TPixels& p = picture_.Picture();
    const TRect dest = picture_.DestRect();
    const BITMAPINFO info = TopDownInfo(p.Width, p.Height);
    SetStretchBltMode(dc, HALFTONE);
    StretchDIBits(dc, dest.Left, dest.Top, dest.Width(), dest.Height(), 0, 0, p.Width, p.Height,
                  p.Pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  }

 private:
  TPicture& picture_;
};

// The preset grid, drawn from the model's cells and column widths so that a click lands on the
// cell the model computes.
class TGridPeer final : public TPaintedPeer {
 public:
  TGridPeer(TWin32UiBackend& backend, TTextGrid& grid) : TPaintedPeer(backend, grid), grid_(grid) {
    Create(kPaintedClass, WS_TABSTOP, WS_EX_CLIENTEDGE, TMouse::ClickOnly);
  }

 protected:
  void Paint(HDC dc, const RECT& area) override {
    HBRUSH window = GetSysColorBrush(COLOR_WINDOW);
    FillRect(dc, &area, window);
    HGDIOBJ old = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    for (int row = 0; row < grid_.RowCount(); ++row) {
      for (int col = 0; col < grid_.ColCount(); ++col) {
        const TRect c = grid_.CellRect(col, row);
        RECT r{c.Left, c.Top, c.Right, c.Bottom};
        const bool fixed = col < grid_.FixedCols() || row < grid_.FixedRows();
        const bool selected = !fixed && row == grid_.Row();
        FillRect(dc, &r,
                 GetSysColorBrush(fixed      ? COLOR_BTNFACE
                                  : selected ? COLOR_HIGHLIGHT
                                             : COLOR_WINDOW));
        RECT line{r.left, r.bottom, r.right + 1, r.bottom + 1};
        FillRect(dc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
        line = RECT{r.right, r.top, r.right + 1, r.bottom + 1};
        FillRect(dc, &line, GetSysColorBrush(COLOR_BTNSHADOW));
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT text{r.left + 3, r.top, r.right - 2, r.bottom};
        DrawTextW(dc, Wide(grid_.Cell(col, row)).c_str(), -1, &text,
                  DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
      }
    }
    SelectObject(dc, old);
  }

 private:
  TTextGrid& grid_;
};

}  // namespace

std::unique_ptr<IControlPeer> CreateWin32Peer(TWin32UiBackend& backend, TControl& control) {
  if (auto* c = dynamic_cast<TForm*>(&control)) return std::make_unique<TFormPeer>(backend, *c);
  if (auto* c = dynamic_cast<TPanel*>(&control)) return std::make_unique<TPanelPeer>(backend, *c);
  if (auto* c = dynamic_cast<TEdit*>(&control)) return std::make_unique<TEditPeer>(backend, *c);
  if (auto* c = dynamic_cast<TMemo*>(&control)) return std::make_unique<TMemoPeer>(backend, *c);
  if (auto* c = dynamic_cast<TCheckBox*>(&control))
    return std::make_unique<TCheckBoxPeer>(backend, *c);
  if (auto* c = dynamic_cast<TButton*>(&control)) return std::make_unique<TButtonPeer>(backend, *c);
  if (auto* c = dynamic_cast<TComboBox*>(&control))
    return std::make_unique<TComboPeer>(backend, *c);
  if (auto* c = dynamic_cast<TUpDown*>(&control)) return std::make_unique<TUpDownPeer>(backend, *c);
  if (auto* c = dynamic_cast<TTrackBar*>(&control))
    return std::make_unique<TTrackBarPeer>(backend, *c);
  if (auto* c = dynamic_cast<TProgressBar*>(&control))
    return std::make_unique<TProgressPeer>(backend, *c);
  if (auto* c = dynamic_cast<TStaticText*>(&control))
    return std::make_unique<TLabelPeer>(backend, *c, true);
  if (auto* c = dynamic_cast<TLabel*>(&control))
    return std::make_unique<TLabelPeer>(backend, *c, false);
  if (auto* c = dynamic_cast<TImageView*>(&control))
    return std::make_unique<TImagePeer>(backend, *c);
  if (auto* c = dynamic_cast<TColourBlock*>(&control))
    return std::make_unique<TColourBlockPeer>(backend, *c);
  if (auto* c = dynamic_cast<TPicture*>(&control))
    return std::make_unique<TPicturePeer>(backend, *c);
  if (auto* c = dynamic_cast<TTextGrid*>(&control)) return std::make_unique<TGridPeer>(backend, *c);
  return nullptr;
}

}  // namespace roarmark::platform::win32
