// The Windows program: Roarmark on Win32. Its manifest (src/platform/win32/roarmark.rc) makes it
// per-monitor DPI aware, so the meter is laid out in device pixels on every monitor.

// clang-format off
#include "platform/win32/base/win32_windows.h"
// clang-format on

#include <shellapi.h>

#include <string>

#include "app/application.h"
#include "measure/show_report.h"
#include "platform/win32/base/win32_fonts.h"
#include "platform/win32/base/win32_text.h"
#include "platform/win32/win32_platform.h"

namespace {

// "roarmark.exe --report LOG.csv" draws the report of a show log beside it; the exit code says
// how it went, and a failure is shown in a box as well.
int ReportCommand(const wchar_t* log) {
  using namespace roarmark::platform::win32;
  TWin32Fonts fonts;
  const std::string error = roarmark::WriteShowReport(Narrow(log), &fonts);
  if (error.empty()) return 0;
  MessageBoxW(nullptr, Wide(error).c_str(), L" Roarmark Error", MB_OK | MB_ICONERROR);
  return 1;
}

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
  int argc = 0;
  if (wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc)) {
    const bool report = argc == 3 && std::wstring(argv[1]) == L"--report";
    const int code = report ? ReportCommand(argv[2]) : -1;
    LocalFree(argv);
    if (report) return code;
  }
  roarmark::platform::win32::TWin32Platform platform;
  return roarmark::RunRoarmark(platform.Platform(), ReadCommandLine());
}
