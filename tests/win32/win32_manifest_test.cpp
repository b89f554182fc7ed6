// What roarmark.exe's manifest and icon give the program (this test program links the same
// resources): the UTF-8 code page for the C library's paths, per-monitor DPI awareness, common
// controls 6 and the icon drawn from roarmark.svg.
#include <gtest/gtest.h>

// clang-format off
#include "platform/win32/base/win32_windows.h"
#include <commctrl.h>
// clang-format on

#include <cstdint>
#include <cwctype>
#include <string>
#include <vector>

namespace {

TEST(Win32Manifest, TheCLibraryTakesPathsAsUtf8) {
  EXPECT_EQ(GetACP(), 65001u);
}

// Per-monitor version 2 on Windows 10 1703 and later; wine knows per-monitor awareness alone.
TEST(Win32Manifest, WindowsArePerMonitorDpiAware) {
  EXPECT_EQ(GetAwarenessFromDpiAwarenessContext(GetThreadDpiAwarenessContext()),
            DPI_AWARENESS_PER_MONITOR_AWARE);
}

// The library comes from the side-by-side assembly of common controls 6 (wine's own copy reports
// an older version number, so the assembly is what tells).
TEST(Win32Manifest, NativeControlsComeFromCommonControls6) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  ASSERT_TRUE(InitCommonControlsEx(&controls));
  const HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
  ASSERT_NE(comctl, nullptr);
  wchar_t path[MAX_PATH] = {};
  ASSERT_GT(GetModuleFileNameW(comctl, path, MAX_PATH), 0u);
  std::wstring lower(path);
  for (wchar_t& c : lower)
    c = towlower(c);
  EXPECT_NE(lower.find(L"\\winsxs\\"), std::wstring::npos) << lower;
  EXPECT_NE(lower.find(L"microsoft.windows.common-controls_6595b64144ccf1df_6."),
            std::wstring::npos)
      << lower;
}

// roarmark.svg on its 64 x 64 grid, drawn at 32 x 32: pixel (4, 16) covers (8..10, 32..34), the
// dark ground between the scale's ticks (#1d2330); pixel (16, 13) covers (32..34, 26..28), inside
// the red block (25..39, 23..29, #e04050).
TEST(Win32Manifest, IconOneIsTheProgramsIcon) {
  const auto icon = static_cast<HICON>(
      LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, 32, 32, 0));
  ASSERT_NE(icon, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon, &info));
  BITMAPINFO header{};
  header.bmiHeader.biSize = sizeof header.bmiHeader;
  header.bmiHeader.biWidth = 32;
  header.bmiHeader.biHeight = -32;
  header.bmiHeader.biPlanes = 1;
  header.bmiHeader.biBitCount = 32;
  header.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> pixels(32 * 32);
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, info.hbmColor, 0, 32, pixels.data(), &header, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  DestroyIcon(icon);
  ASSERT_EQ(rows, 32);
  EXPECT_EQ(pixels[16 * 32 + 4] & 0xFFFFFFu, 0x1D2330u);
  EXPECT_EQ(pixels[13 * 32 + 16] & 0xFFFFFFu, 0xE04050u);
}

}  // namespace
