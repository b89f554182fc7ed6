// The sim's monitors, shell, colours, fonts, screen capture and user-interface backend.
#include "platform/sim/sim_desktop.h"

#include <algorithm>
#include <array>

#include "platform/fontconfig/fontconfig_fonts.h"
#include "platform/ui/image_view.h"

namespace roarmark::platform::sim {

// ---- Monitors

void SimMonitors::AddMonitor(int width, int height, int work_left, int work_top, int work_width,
                             int work_height) {
  const int left = monitors_.empty() ? 0 : monitors_.back().Bounds.Right;
  TMonitor monitor;
  monitor.Bounds = RectOfSize(left, 0, width, height);
  monitor.WorkArea = RectOfSize(left + work_left, work_top, work_width, work_height);
  monitor.Primary = monitors_.empty();
  monitors_.push_back(monitor);
}

std::vector<TMonitor> SimMonitors::Monitors() {
  if (!monitors_.empty()) return monitors_;
  return {TMonitor{RectOfSize(0, 0, 1920, 1080), RectOfSize(0, 0, 1920, 1040), true}};
}

// ---- Shell

int SimShell::OpenDocument(const std::string& path) {
  opened_.push_back(path);
  return open_result_;
}

// ---- System colours

namespace {
// Windows defaults as 0xRRGGBB, by index.
constexpr std::array<std::uint32_t, 31> kWindowsColours = {
    0xC8C8C8,  // 0 scroll bar
    0x000000,  // 1 desktop
    0x99B4D1,  // 2 active caption
    0xBFCDDB,  // 3 inactive caption
    0xF0F0F0,  // 4 menu
    0xFFFFFF,  // 5 window
    0x646464,  // 6 window frame
    0x000000,  // 7 menu text
    0x000000,  // 8 window text
    0x000000,  // 9 caption text
    0xB4B4B4,  // 10 active border
    0xF4F7FC,  // 11 inactive border
    0xABABAB,  // 12 application workspace
    0x0078D7,  // 13 highlight
    0xFFFFFF,  // 14 highlight text
    0xF0F0F0,  // 15 button face
    0xA0A0A0,  // 16 button shadow
    0x6D6D6D,  // 17 grey text
    0x000000,  // 18 button text
    0x000000,  // 19 inactive caption text
    0xFFFFFF,  // 20 button highlight
    0x696969,  // 21 3D dark shadow
    0xE3E3E3,  // 22 3D light
    0x000000,  // 23 tooltip text
    0xFFFFE1,  // 24 tooltip background
    0x000000,  // 25 unused
    0x0066CC,  // 26 hot light
    0xB9D1EA,  // 27 active caption gradient
    0xD7E4F2,  // 28 inactive caption gradient
    0x3399FF,  // 29 menu highlight
    0xF0F0F0,  // 30 menu bar
};
}  // namespace

std::uint32_t SimSystemColours::SystemColour(int index) const {
  if (index < 0 || index >= static_cast<int>(kWindowsColours.size())) return 0;
  const std::uint32_t rgb = kWindowsColours[static_cast<std::size_t>(index)];
  return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

std::uint32_t PixelColour(std::uint32_t settings_colour, const ISystemColours& colours) {
  if (settings_colour & 0x80000000u)
    settings_colour = colours.SystemColour(static_cast<int>(settings_colour & 0xFFFFFF));
  const std::uint32_t r = settings_colour & 0xFF;
  const std::uint32_t g = (settings_colour >> 8) & 0xFF;
  const std::uint32_t b = (settings_colour >> 16) & 0xFF;
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

// ---- Fonts

SimFonts::SimFonts() = default;
SimFonts::~SimFonts() = default;

void SimFonts::SetFontFile(const std::string& family, bool bold, bool italic, std::string path) {
  overrides_[{family, bold, italic}] = std::move(path);
}

std::string SimFonts::FindFontFile(const std::string& family, bool bold, bool italic) {
  auto it = overrides_.find({family, bold, italic});
  if (it != overrides_.end()) return it->second;
  if (!system_) system_ = std::make_unique<TFontconfigFonts>();
  return system_->FindFontFile(family, bold, italic);
}

// ---- User-interface backend

void SimUiBackend::ApplicationDestroyed(ui::TApplication& application) {
  if (application_ == &application) application_ = nullptr;
}

void SimUiBackend::ApplicationTerminated() {
  if (OnTerminated) OnTerminated();
}

// ---- Screen capture

SimScreenCapture::SimScreenCapture(const SimUiBackend& ui, const ISystemColours& colours)
    : ui_(ui), colours_(colours) {}

TPixels SimScreenCapture::CaptureScreen(const TRect& area) {
  captures_.push_back(area);
  TPixels shot;
  shot.Width = std::max(area.Width(), 0);
  shot.Height = std::max(area.Height(), 0);
  shot.Pixels.assign(static_cast<std::size_t>(shot.Width) * static_cast<std::size_t>(shot.Height),
                     0xFF000000u);
  ui::TApplication* app = ui_.Application();
  if (!app || shot.Pixels.empty()) return shot;

  auto paint = [&](const TRect& rect, auto&& colour_at) {
    const int left = std::max(rect.Left, area.Left);
    const int top = std::max(rect.Top, area.Top);
    const int right = std::min(rect.Right, area.Right);
    const int bottom = std::min(rect.Bottom, area.Bottom);
    for (int y = top; y < bottom; ++y) {
      for (int x = left; x < right; ++x) {
        shot.Pixels[static_cast<std::size_t>(y - area.Top) * static_cast<std::size_t>(shot.Width) +
                    static_cast<std::size_t>(x - area.Left)] = colour_at(x, y);
      }
    }
  };

  for (ui::TForm* form : app->ZOrder()) {
    const std::uint32_t face = PixelColour(form->Colour(), colours_);
    paint(form->BoundsRect(), [face](int, int) { return face; });
    form->ForEachDescendant([&](ui::TControl& control) {
      auto* view = dynamic_cast<ui::TImageView*>(&control);
      if (!view || !view->Showing()) return;
      const TPoint origin = view->ClientOrigin();
      paint(RectOfSize(origin.X, origin.Y, view->Width(), view->Height()),
            [&](int x, int y) { return 0xFF000000u | view->PixelAt(x - origin.X, y - origin.Y); });
    });
  }
  return shot;
}

}  // namespace roarmark::platform::sim
