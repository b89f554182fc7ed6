// The peer every control kind builds on: window creation, properties, fonts, colours and the
// mouse; and the choice of peer for a control (forms, native controls, painted controls each
// have a file of their own).
#include "platform/win32/win32_peers.h"

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

LRESULT CALLBACK OwnWindowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (TWin32Peer* peer = TWin32Peer::Of(window)) return peer->Message(message, w, l);
  return DefWindowProcW(window, message, w, l);
}

// Native controls are subclassed so that their peer sees the mouse before the control does.
LRESULT CALLBACK SubclassProc(HWND, UINT message, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR peer) {
  return reinterpret_cast<TWin32Peer*>(peer)->Message(message, w, l);
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

UINT TWin32Peer::Dpi() const {
  if (const TWin32Peer* form = Of(window_ ? GetAncestor(window_, GA_ROOT) : nullptr);
      form && form->dpi_)
    return form->dpi_;
  const UINT dpi = window_ ? GetDpiForWindow(window_) : 0;
  return dpi ? dpi : USER_DEFAULT_SCREEN_DPI;
}

void TWin32Peer::DpiChanged() {
  Quietly([&] { ApplyFont(); });
  InvalidateRect(window_, nullptr, TRUE);
}

// Point sizes are turned into pixels for the monitor the form is on.
void TWin32Peer::ApplyFont() {
  const TFont& f = control_.Font();
  LOGFONTW lf{};
  if (f.PixelHeight > 0) {
    lf.lfHeight = -f.PixelHeight;
  } else {
    lf.lfHeight = -MulDiv(f.Size, static_cast<int>(Dpi()), 72);
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

std::unique_ptr<IControlPeer> CreateWin32Peer(TWin32UiBackend& backend, TControl& control) {
  if (auto peer = CreateWin32FormPeer(backend, control)) return peer;
  if (auto peer = CreateWin32NativePeer(backend, control)) return peer;
  return CreateWin32PaintedPeer(backend, control);
}

}  // namespace roarmark::platform::win32
