// The small seams on Qt: monitors, shell, screen capture, locale and system colours.
#pragma once

#include <QColor>
#include <string>

#include "platform/locale.h"
#include "platform/monitors.h"
#include "platform/screen_capture.h"
#include "platform/shell.h"
#include "platform/system_colours.h"

namespace roarmark::platform::qt {

// Settings colour 0x00BBGGRR <-> QColor.
QColor ToQColor(std::uint32_t settings_colour);
std::uint32_t ToSettingsColour(const QColor& colour);

class TQtMonitors final : public IMonitors {
 public:
  std::vector<TMonitor> Monitors() override;
};

class TQtShell final : public IShell {
 public:
  std::string CommonAppDataFolder() override;
  int OpenDocument(const std::string& path) override;
};

class TQtScreenCapture final : public IScreenCapture {
 public:
  TPixels CaptureScreen(const TRect& area) override;
};

class TQtLocale final : public ILocale {
 public:
  char DecimalSeparator() const override;
};

// The Windows system colour indices mapped onto the palette; beyond the table, black.
class TQtSystemColours final : public ISystemColours {
 public:
  std::uint32_t SystemColour(int index) const override;
};

}  // namespace roarmark::platform::qt
