// UTF-8 (the program's strings) to UTF-16 (the Windows API's) and back.
#pragma once

#include <string>

namespace roarmark::platform::win32 {

std::wstring Wide(const std::string& text);
std::string Narrow(const std::wstring& text);
std::string Narrow(const wchar_t* text);

}  // namespace roarmark::platform::win32
