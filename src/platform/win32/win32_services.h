// The small seams on Win32: monitors, shell, screen capture, locale and system colours.
#pragma once

#include "platform/locale.h"
#include "platform/monitors.h"
#include "platform/screen_capture.h"
#include "platform/shell.h"
#include "platform/system_colours.h"

namespace roarmark::platform::win32 {

class TWin32Monitors final : public IMonitors {
 public:
  std::vector<TMonitor> Monitors() override;
};

class TWin32Shell final : public IShell {
 public:
  std::string CommonAppDataFolder() override;
  int OpenDocument(const std::string& path) override;
};

class TWin32ScreenCapture final : public IScreenCapture {
 public:
  TPixels CaptureScreen(const TRect& area) override;
};

class TWin32Locale final : public ILocale {
 public:
  char DecimalSeparator() const override;
};

class TWin32SystemColours final : public ISystemColours {
 public:
  std::uint32_t SystemColour(int index) const override;
};

}  // namespace roarmark::platform::win32
