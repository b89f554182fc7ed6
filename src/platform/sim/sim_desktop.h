// The sim's desktop: monitors, shell, locale, system colours, fonts, screen capture and the
// user-interface backend that keeps track of the application.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "platform/fonts.h"
#include "platform/locale.h"
#include "platform/monitors.h"
#include "platform/screen_capture.h"
#include "platform/shell.h"
#include "platform/system_colours.h"
#include "platform/ui/application.h"
#include "platform/ui/backend.h"

namespace roarmark::platform::sim {

// Monitors stand side by side, left to right, tops aligned at 0. With none added there is one
// 1920 x 1080 monitor with the work area (0, 0, 1920, 1040).
class SimMonitors : public IMonitors {
 public:
  // A monitor `width` x `height` whose work area is given in its own coordinates.
  void AddMonitor(int width, int height, int work_left, int work_top, int work_width,
                  int work_height);
  std::vector<TMonitor> Monitors() override;

 private:
  std::vector<TMonitor> monitors_;
};

class SimShell : public IShell {
 public:
  void SetCommonAppDataFolder(std::string folder) { folder_ = std::move(folder); }
  // What OpenDocument answers (42 by default; 32 or less is a failure).
  void SetOpenResult(int result) { open_result_ = result; }
  const std::vector<std::string>& Opened() const { return opened_; }

  std::string CommonAppDataFolder() override { return folder_; }
  int OpenDocument(const std::string& path) override;

 private:
  std::string folder_;
  int open_result_ = 42;
  std::vector<std::string> opened_;
};

class SimLocale : public ILocale {
 public:
  void SetDecimalSeparator(char c) { separator_ = c; }
  char DecimalSeparator() const override { return separator_; }

 private:
  char separator_ = '.';
};

// The Windows default colour table (index 5 window white, 15 button face 0xF0F0F0, 8 window
// text black ...); any other index is black.
class SimSystemColours : public ISystemColours {
 public:
  std::uint32_t SystemColour(int index) const override;
};

// Font files: overrides set by the test first, then fontconfig (loaded on first use).
class SimFonts : public IFonts {
 public:
  SimFonts();
  ~SimFonts() override;
  void SetFontFile(const std::string& family, bool bold, bool italic, std::string path);
  std::string FindFontFile(const std::string& family, bool bold, bool italic) override;

 private:
  std::map<std::tuple<std::string, bool, bool>, std::string> overrides_;
  std::unique_ptr<IFonts> system_;
};

// Pixel colour 0xFFRRGGBB of a settings colour (system colours through `colours`).
std::uint32_t PixelColour(std::uint32_t settings_colour, const ISystemColours& colours);

// Keeps the application it is given and records what the model tells a backend.
class SimUiBackend : public ui::IUiBackend {
 public:
  ui::TApplication* Application() const { return application_; }
  const std::vector<ui::TCursor>& CursorHistory() const { return cursors_; }
  // Runs when the application is told to end (the main form closed).
  std::function<void()> OnTerminated;

  void ApplicationCreated(ui::TApplication& application) override { application_ = &application; }
  void ApplicationDestroyed(ui::TApplication& application) override;
  void CursorChanged(ui::TCursor cursor) override { cursors_.push_back(cursor); }
  void ApplicationTerminated() override;

 private:
  ui::TApplication* application_ = nullptr;
  std::vector<ui::TCursor> cursors_;
};

// What the visible forms show: black desktop, each form (back to front) in its colour, image
// views with their pixels (1:1 or stretched over grey).
class SimScreenCapture : public IScreenCapture {
 public:
  SimScreenCapture(const SimUiBackend& ui, const ISystemColours& colours);
  TPixels CaptureScreen(const TRect& area) override;
  // The areas asked for, in order.
  const std::vector<TRect>& Captures() const { return captures_; }

 private:
  const SimUiBackend& ui_;
  const ISystemColours& colours_;
  std::vector<TRect> captures_;
};

}  // namespace roarmark::platform::sim
