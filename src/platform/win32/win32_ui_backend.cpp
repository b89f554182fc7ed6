// The Win32 backend of the control model: frames, peers, keys, the pointer and the stacking.
#include "platform/win32/win32_ui_backend.h"

// clang-format off
#include "platform/win32/base/win32_windows.h"
#include <commctrl.h>
// clang-format on

#include "platform/ui/keys.h"
#include "platform/win32/win32_message_loop.h"
#include "platform/win32/win32_peers.h"

namespace roarmark::platform::win32 {

using namespace ui;

DWORD FormStyle(TBorderStyle style, bool close_box) {
  const DWORD menu = close_box ? WS_SYSMENU : 0u;
  switch (style) {
    case TBorderStyle::bsNone:
      return WS_POPUP | WS_CLIPCHILDREN;
    case TBorderStyle::bsDialog:
      return WS_POPUP | WS_CAPTION | DS_MODALFRAME | WS_CLIPCHILDREN | menu;
    case TBorderStyle::bsSizeable:
      break;
  }
  return WS_OVERLAPPED | WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX |
         WS_CLIPCHILDREN | menu;
}

DWORD FormExStyle(TBorderStyle style) {
  return WS_EX_CONTROLPARENT | (style == TBorderStyle::bsDialog ? WS_EX_DLGMODALFRAME : 0u);
}

TWin32UiBackend::TWin32UiBackend(TWin32MessageLoop& loop, const ISystemColours& colours)
    : loop_(loop), colours_(colours) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS | ICC_BAR_CLASSES |
                                                     ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  RegisterWindowClasses();
  loop_.PreTranslate = [this](const MSG& msg) { return KeyMessage(msg); };
}

TWin32UiBackend::~TWin32UiBackend() {
  loop_.PreTranslate = nullptr;
}

// Frames are as thick as the DPI of the display's monitor makes them; the program's other forms
// open over the display.
TFrameExtents TWin32UiBackend::FrameExtents(TBorderStyle style) const {
  if (style == TBorderStyle::bsNone) return kNoFrame;
  UINT dpi = GetDpiForSystem();
  if (app_ && app_->MainForm()) {
    if (auto* main = dynamic_cast<TWin32Peer*>(app_->MainForm()->Peer()); main && main->Window())
      dpi = main->Dpi();
  }
  RECT r{0, 0, 100, 100};
  AdjustWindowRectExForDpi(&r, FormStyle(style, true), FALSE, FormExStyle(style), dpi);
  return TFrameExtents{-r.left, -r.top, r.right - 100, r.bottom - 100};
}

void TWin32UiBackend::ApplicationDestroyed(TApplication& app) {
  if (app_ == &app) app_ = nullptr;
}

std::unique_ptr<IControlPeer> TWin32UiBackend::CreatePeer(TControl& control) {
  return CreateWin32Peer(*this, control);
}

void TWin32UiBackend::CursorChanged(TCursor cursor) {
  const wchar_t* shape = IDC_ARROW;
  switch (cursor) {
    case TCursor::crSizeNS:
      shape = IDC_SIZENS;
      break;
    case TCursor::crSizeWE:
      shape = IDC_SIZEWE;
      break;
    case TCursor::crSizeAll:
      shape = IDC_SIZEALL;
      break;
    case TCursor::crDrag:
      shape = IDC_HAND;
      break;
    case TCursor::crDefault:
      break;
  }
  cursor_ = cursor == TCursor::crDefault ? nullptr : LoadCursorW(nullptr, shape);
  SetCursor(cursor_ ? cursor_ : LoadCursorW(nullptr, IDC_ARROW));
}

// Forms under a modal form take no input, and the front form of the model is the front window.
void TWin32UiBackend::ZOrderChanged() {
  if (!app_) return;
  for (TForm* form : app_->Forms()) {
    if (auto* peer = dynamic_cast<TWin32Peer*>(form->Peer()); peer && peer->Window())
      EnableWindow(peer->Window(), form->InputEnabled());
  }
  const std::vector<TForm*> order = app_->ZOrder();
  if (order.empty()) return;
  if (auto* front = dynamic_cast<TWin32Peer*>(order.back()->Peer()); front && front->Window())
    SetWindowPos(front->Window(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TWin32UiBackend::ApplicationTerminated() {
  loop_.Wake();
}

HWND TWin32UiBackend::ActiveWindow() const {
  if (!app_) return nullptr;
  TForm* form = app_->ModalForm() ? app_->ModalForm() : app_->ActiveForm();
  auto* peer = form ? dynamic_cast<TWin32Peer*>(form->Peer()) : nullptr;
  return peer ? peer->Window() : nullptr;
}

void TWin32UiBackend::Guard(const std::function<void()>& action) {
  try {
    action();
  } catch (const std::exception& error) {
    if (app_) app_->ShowException(error);
  }
}

// Keys reach the model's form as virtual keys with the modifiers as held now; the native
// control still gets them afterwards (typing in a field).
bool TWin32UiBackend::KeyMessage(const MSG& msg) {
  const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
  const bool up = msg.message == WM_KEYUP || msg.message == WM_SYSKEYUP;
  if (!app_ || !(down || up) || !msg.hwnd) return false;
  auto* peer = TWin32Peer::Of(GetAncestor(msg.hwnd, GA_ROOT));
  auto* form = peer ? dynamic_cast<TForm*>(&peer->Control()) : nullptr;
  if (!form) return false;
  int vk = static_cast<int>(msg.wParam);
  if (vk == VK_LSHIFT || vk == VK_RSHIFT) vk = ui::VK_SHIFT;
  if (vk == VK_LCONTROL || vk == VK_RCONTROL) vk = ui::VK_CONTROL;
  if (vk == VK_LMENU || vk == VK_RMENU) vk = ui::VK_MENU;
  if (vk != ui::VK_SHIFT && vk != ui::VK_CONTROL && vk != ui::VK_MENU) {
    app_->SetKeyDown(ui::VK_SHIFT, GetKeyState(VK_SHIFT) < 0);
    app_->SetKeyDown(ui::VK_CONTROL, GetKeyState(VK_CONTROL) < 0);
    app_->SetKeyDown(ui::VK_MENU, GetKeyState(VK_MENU) < 0);
  }
  Guard([&] {
    if (down)
      form->UserKeyDown(vk);
    else
      form->UserKeyUp(vk);
  });
  // Alt on its own would open the (absent) window menu and swallow the next key.
  return msg.message == WM_SYSKEYUP && vk == ui::VK_MENU;
}

}  // namespace roarmark::platform::win32
