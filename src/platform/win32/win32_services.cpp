// Monitors, the shell, screen capture, the locale's decimal separator and system colours.
#include "platform/win32/win32_services.h"

// clang-format off
#include "platform/win32/base/win32_windows.h"
#include <shellapi.h>
#include <shlobj.h>
// clang-format on

#include <algorithm>

#include "platform/win32/base/win32_text.h"

namespace roarmark::platform::win32 {

namespace {

TRect FromRect(const RECT& r) {
  return TRect{r.left, r.top, r.right, r.bottom};
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoW(monitor, &info)) return TRUE;
  reinterpret_cast<std::vector<TMonitor>*>(list)->push_back(
      {FromRect(info.rcMonitor), FromRect(info.rcWork),
       (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  return TRUE;
}

}  // namespace

std::vector<TMonitor> TWin32Monitors::Monitors() {
  std::vector<TMonitor> list;
  EnumDisplayMonitors(nullptr, nullptr, &AddMonitor, reinterpret_cast<LPARAM>(&list));
  // The primary monitor is the program's monitor 1; the others keep the system's order.
  std::stable_partition(list.begin(), list.end(), [](const TMonitor& m) { return m.Primary; });
  return list;
}

std::string TWin32Shell::CommonAppDataFolder() {
  wchar_t folder[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
    return {};
  std::wstring path(folder);
  while (!path.empty() && (path.back() == L'\\' || path.back() == L'/'))
    path.pop_back();
  return Narrow(path);
}

int TWin32Shell::OpenDocument(const std::string& path) {
  const HINSTANCE r =
      ShellExecuteW(nullptr, L"open", Wide(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  return static_cast<int>(reinterpret_cast<INT_PTR>(r));
}

// The whole display's device context; what lies beyond every monitor comes out black.
TPixels TWin32ScreenCapture::CaptureScreen(const TRect& area) {
  TPixels out;
  out.Width = std::max(0, area.Width());
  out.Height = std::max(0, area.Height());
  out.Pixels.assign(static_cast<std::size_t>(out.Width) * out.Height, 0xFF000000u);
  if (out.Pixels.empty()) return out;
  HDC screen = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
  HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = out.Width;
  info.bmiHeader.biHeight = -out.Height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap && bits) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    PatBlt(memory, 0, 0, out.Width, out.Height, BLACKNESS);
    // Only the parts on a monitor are copied.
    const int x0 = GetSystemMetrics(SM_XVIRTUALSCREEN), y0 = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const RECT desktop{x0, y0, x0 + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                       y0 + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    const RECT wanted{area.Left, area.Top, area.Right, area.Bottom};
    RECT both{};
    if (IntersectRect(&both, &wanted, &desktop)) {
      BitBlt(memory, both.left - area.Left, both.top - area.Top, both.right - both.left,
             both.bottom - both.top, screen, both.left, both.top, SRCCOPY | CAPTUREBLT);
    }
    GdiFlush();
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (std::size_t i = 0; i < out.Pixels.size(); ++i)
      out.Pixels[i] = pixels[i] | 0xFF000000u;
    SelectObject(memory, old);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  DeleteDC(screen);
  return out;
}

char TWin32Locale::DecimalSeparator() const {
  wchar_t text[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, text, 8) > 0 && text[0] > 0 &&
      text[0] < 128)
    return static_cast<char>(text[0]);
  return '.';
}

// GetSysColor answers 0x00BBGGRR, the settings colour layout itself.
std::uint32_t TWin32SystemColours::SystemColour(int index) const {
  if (index < 0 || index > COLOR_MENUBAR) return 0;
  return GetSysColor(index) & 0xFFFFFFu;
}

}  // namespace roarmark::platform::win32
