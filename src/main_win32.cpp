// The Windows program: Roarmark on Win32. Its manifest (src/platform/win32/roarmark.rc) makes it
// per-monitor DPI aware, so the meter is laid out in device pixels on every monitor.

// clang-format off
#include "platform/win32/base/win32_windows.h"
// clang-format on

#include <shellapi.h>

#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <string>

#include "app/application.h"
#include "app/show_events.h"
#include "measure/show_report.h"
#include "platform/win32/base/win32_fonts.h"
#include "platform/win32/base/win32_text.h"
#include "platform/win32/win32_desktop_watch.h"
#include "platform/win32/win32_keep_awake.h"
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

// Names the data folder in the mutex and the watch window: letters' case does not matter to the
// file system, so it does not matter here.
std::wstring InstanceKey(const std::string& data_folder) {
  std::uint32_t hash = 2166136261u;
  for (wchar_t c : roarmark::platform::win32::Wide(data_folder)) {
    hash ^= static_cast<std::uint32_t>(towlower(c));
    hash *= 16777619u;
  }
  wchar_t text[16];
  swprintf(text, 16, L"%08x", hash);
  return L"Roarmark-" + std::wstring(text);
}

// Asks the program already running on this data folder to come to the front.
void RaiseRunning(const std::wstring& key) {
  using roarmark::platform::win32::kDesktopWatchClass;
  for (int attempt = 0; attempt < 50; ++attempt) {
    if (HWND watch = FindWindowW(kDesktopWatchClass, key.c_str())) {
      DWORD process = 0;
      GetWindowThreadProcessId(watch, &process);
      AllowSetForegroundWindow(process);
      PostMessageW(watch, roarmark::platform::win32::RaiseRequestMessage(), 0, 0);
      return;
    }
    Sleep(100);  // the first one may still be starting
  }
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
  using namespace roarmark::platform::win32;
  TWin32Platform platform;
  roarmark::TRoarmarkProgram program(platform.Platform(), ReadCommandLine());
  // Two programs on one data folder would be two stay-on-top windows over each other, each
  // saving its own settings: a second start brings the first to the front and ends.
  const std::wstring key = InstanceKey(roarmark::ProgramDataFolder(platform.Platform()));
  HANDLE instance = CreateMutexW(nullptr, FALSE, (L"Local\\" + key).c_str());
  if (instance && GetLastError() == ERROR_ALREADY_EXISTS) {
    RaiseRunning(key);
    program.Events().Write("a second start brought the running program to the front");
    CloseHandle(instance);
    return 0;
  }
  TWin32DesktopWatch watch(key);
  watch.OnMonitorsChanged = [&program] { program.MonitorsChanged(); };
  watch.OnRaiseRequest = [&] {
    platform.Platform().MessageLoop->Post([&program] { program.BringToFront(); });
  };
  program.Start();
  TWin32KeepAwake awake;
  awake.Hold();
  const int code = program.Run();
  awake.Release();
  if (instance) CloseHandle(instance);
  return code;
}
