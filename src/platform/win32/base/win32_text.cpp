// UTF-8 <-> UTF-16 through the Windows code-page functions.
#include "platform/win32/base/win32_text.h"

// clang-format off
#include "platform/win32/base/win32_windows.h"
// clang-format on

namespace roarmark::platform::win32 {

std::wstring Wide(const std::string& text) {
  if (text.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

std::string Narrow(const std::wstring& text) {
  if (text.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string narrow(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), n,
                      nullptr, nullptr);
  return narrow;
}

std::string Narrow(const wchar_t* text) {
  return text ? Narrow(std::wstring(text)) : std::string();
}

}  // namespace roarmark::platform::win32
