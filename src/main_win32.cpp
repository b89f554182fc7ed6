// The Windows program: Roarmark on Win32.

// clang-format off
#include "platform/win32/base/win32_windows.h"
// clang-format on

#include <shellapi.h>

#include <string>

#include "app/application.h"
#include "platform/win32/win32_platform.h"

namespace {

// "--remote [ADDRESS:]PORT" turns the remote on; anything else on the command line is ignored.
roarmark::TProgramOptions ReadCommandLine() {
  roarmark::TProgramOptions options;
  options.Network = true;
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argv == nullptr) return options;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::wstring(argv[i]) != L"--remote") continue;
    std::string value;
    for (const wchar_t* c = argv[i + 1]; *c; ++c)
      value += *c < 128 ? static_cast<char>(*c) : '?';
    options.Remote = roarmark::ParseEndpoint(value, "127.0.0.1");
  }
  LocalFree(argv);
  return options;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Sharp pixels on scaled displays: the meter is laid out in screen pixels.
  SetProcessDPIAware();
  roarmark::platform::win32::TWin32Platform platform;
  return roarmark::RunRoarmark(platform.Platform(), ReadCommandLine());
}
