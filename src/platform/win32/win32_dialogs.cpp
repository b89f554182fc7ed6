// The standard dialogs with the Windows common dialogs; each runs its own modal loop, which
// keeps dispatching the message window's buffers and timers.
#include "platform/win32/win32_dialogs.h"

// clang-format off
#include "platform/win32/base/win32_windows.h"
#include <commdlg.h>
// clang-format on

#include <vector>

#include "platform/win32/base/win32_text.h"

namespace roarmark::platform::win32 {

MessageAnswer TWin32Dialogs::MessageBox(const std::string& caption, const std::string& text,
                                        MessageButtons buttons) {
  const UINT type = (buttons == MessageButtons::Ok ? MB_OK : MB_OKCANCEL) | MB_APPLMODAL;
  const int r = MessageBoxW(OwnerWindow(), Wide(text).c_str(), Wide(caption).c_str(), type);
  return r == IDOK ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

// COLORREF is 0x00BBGGRR, the settings colour itself.
std::optional<std::uint32_t> TWin32Dialogs::ColourDialog(std::uint32_t initial) {
  CHOOSECOLORW cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = OwnerWindow();
  cc.rgbResult = initial & 0xFFFFFFu;
  cc.lpCustColors = custom_;
  cc.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!ChooseColorW(&cc)) return std::nullopt;
  return static_cast<std::uint32_t>(cc.rgbResult) & 0xFFFFFFu;
}

std::optional<TFontChoice> TWin32Dialogs::FontDialog(const TFontChoice& initial) {
  LOGFONTW lf{};
  HDC screen = GetDC(nullptr);
  lf.lfHeight = -MulDiv(initial.Size, GetDeviceCaps(screen, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screen);
  lf.lfWeight = (initial.Style & 1) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (initial.Style & 2) ? TRUE : FALSE;
  lf.lfUnderline = (initial.Style & 4) ? TRUE : FALSE;
  lf.lfStrikeOut = (initial.Style & 8) ? TRUE : FALSE;
  const std::wstring name = Wide(initial.Name);
  lstrcpynW(lf.lfFaceName, name.c_str(), LF_FACESIZE);
  CHOOSEFONTW cf{};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = OwnerWindow();
  cf.lpLogFont = &lf;
  cf.iPointSize = initial.Size * 10;
  cf.rgbColors = initial.Colour & 0xFFFFFFu;
  cf.Flags = CF_INITTOLOGFONTSTRUCT | CF_EFFECTS | CF_SCREENFONTS;
  if (!ChooseFontW(&cf)) return std::nullopt;
  TFontChoice choice;
  choice.Name = Narrow(lf.lfFaceName);
  choice.Size = (cf.iPointSize + 5) / 10;
  choice.Style = (lf.lfWeight >= FW_BOLD ? 1 : 0) | (lf.lfItalic ? 2 : 0) |
                 (lf.lfUnderline ? 4 : 0) | (lf.lfStrikeOut ? 8 : 0);
  choice.Colour = static_cast<std::uint32_t>(cf.rgbColors) & 0xFFFFFFu;
  return choice;
}

std::optional<std::string> TWin32Dialogs::OpenFileDialog(const TFileDialogRequest& request) {
  return FileDialog(request, false);
}

std::optional<std::string> TWin32Dialogs::SaveFileDialog(const TFileDialogRequest& request) {
  return FileDialog(request, true);
}

std::optional<std::string> TWin32Dialogs::FileDialog(const TFileDialogRequest& request, bool save) {
  // "Description|*.ext|..." becomes NUL-separated pairs ending in two NULs.
  std::wstring filter = Wide(request.Filter);
  for (wchar_t& c : filter)
    if (c == L'|') c = L'\0';
  filter.push_back(L'\0');
  filter.push_back(L'\0');
  std::vector<wchar_t> file(32768, L'\0');
  const std::wstring initial_name = Wide(request.FileName);
  lstrcpynW(file.data(), initial_name.c_str(), static_cast<int>(file.size()));
  const std::wstring dir = Wide(request.InitialDir), ext = Wide(request.DefaultExt),
                     title = Wide(request.Title);
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = OwnerWindow();
  ofn.lpstrFilter = request.Filter.empty() ? nullptr : filter.c_str();
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
  ofn.lpstrDefExt = ext.empty() ? nullptr : ext.c_str();
  ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
              (save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST);
  const BOOL ok = save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn);
  if (!ok) return std::nullopt;
  return Narrow(file.data());
}

// ---- Input box: a prompt, a field, OK and Cancel, in a window of its own.

namespace {

constexpr int kOk = IDOK, kCancel = IDCANCEL, kField = 100;
constexpr wchar_t kInputClass[] = L"RoarmarkInputBox";

struct TInputState {
  bool Done = false;
  bool Accepted = false;
  std::wstring Text;
};

LRESULT CALLBACK InputProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  auto* state = reinterpret_cast<TInputState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (state && message == WM_COMMAND && (LOWORD(w) == kOk || LOWORD(w) == kCancel)) {
    if (LOWORD(w) == kOk) {
      HWND field = GetDlgItem(window, kField);
      std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
      GetWindowTextW(field, text.data(), static_cast<int>(text.size()));
      text.resize(text.size() - 1);
      state->Text = text;
      state->Accepted = true;
    }
    state->Done = true;
    return 0;
  }
  if (state && message == WM_CLOSE) {
    state->Done = true;
    return 0;
  }
  return DefWindowProcW(window, message, w, l);
}

}  // namespace

std::string TWin32Dialogs::InputBox(const std::string& title, const std::string& prompt,
                                    const std::string& initial) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  wc.lpfnWndProc = &InputProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kInputClass;
  RegisterClassW(&wc);
  HWND owner = OwnerWindow();
  RECT frame{0, 0, 360, 120};
  const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
  AdjustWindowRectEx(&frame, style, FALSE, WS_EX_DLGMODALFRAME);
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  HWND box = CreateWindowExW(WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, kInputClass,
                             Wide(title).c_str(), style, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                             (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, owner, nullptr,
                             instance, nullptr);
  TInputState state;
  SetWindowLongPtrW(box, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
  HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  auto child = [&](const wchar_t* kind, const std::wstring& text, DWORD s, int x, int y, int cw,
                   int ch, int id) {
    HWND c = CreateWindowExW(kind == std::wstring(L"EDIT") ? WS_EX_CLIENTEDGE : 0, kind,
                             text.c_str(), WS_CHILD | WS_VISIBLE | s, x, y, cw, ch, box,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    return c;
  };
  child(L"STATIC", Wide(prompt), 0, 12, 10, 336, 32, -1);
  HWND field = child(L"EDIT", Wide(initial), WS_TABSTOP | ES_AUTOHSCROLL, 12, 46, 336, 24, kField);
  child(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, 188, 82, 75, 26, kOk);
  child(L"BUTTON", L"Cancel", WS_TABSTOP | BS_PUSHBUTTON, 273, 82, 75, 26, kCancel);
  if (owner) EnableWindow(owner, FALSE);
  ShowWindow(box, SW_SHOW);
  SetFocus(field);
  SendMessageW(field, EM_SETSEL, 0, -1);
  MSG msg;
  while (!state.Done && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!IsDialogMessageW(box, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  if (owner) EnableWindow(owner, TRUE);
  DestroyWindow(box);
  if (owner) SetActiveWindow(owner);
  return state.Accepted ? Narrow(state.Text) : initial;
}

}  // namespace roarmark::platform::win32
