// Thumbnails: a small picture of the main window as the screen shows it, stored beside its
// settings file as ".thm" for the preset list.
#include <algorithm>
#include <cctype>

#include "core/main_window.h"
#include "display/pictures/bmp_writer.h"
#include "settings/ini_file.h"
#include "settings/paths.h"
#include "settings/preset_list.h"

namespace roarmark {

namespace {

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

platform::TPixels MakeThumbnail(const platform::TPixels& shot) {
  const TThumbnailSize size = ThumbnailSize(shot.Width, shot.Height);
  platform::TPixels out;
  if (size.Width <= 0 || size.Height <= 0) return out;
  out.Width = size.Width;
  out.Height = size.Height;
  out.Pixels.resize(static_cast<std::size_t>(size.Width) * static_cast<std::size_t>(size.Height));
  // Nearest neighbour, the way the picture is stretched on the display.
  for (int y = 0; y < size.Height; ++y) {
    const std::int64_t sy = std::int64_t{y} * shot.Height / size.Height;
    for (int x = 0; x < size.Width; ++x) {
      const std::int64_t sx = std::int64_t{x} * shot.Width / size.Width;
      out.Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(size.Width) +
                 static_cast<std::size_t>(x)] =
          shot.Pixels[static_cast<std::size_t>(sy * shot.Width + sx)];
    }
  }
  return out;
}

void WriteThumbnail(const std::string& settings_path, const platform::TPixels& thumbnail) {
  const std::string path = ReplaceExtension(settings_path, ".thm");
  // A settings file that is itself named ".thm" keeps its contents and gets no thumbnail.
  if (SameTextIgnoringCase(path, settings_path)) return;
  if (!WriteBmp24(path, thumbnail)) {
    throw TFileWriteError("Cannot create file \"" + path + "\".");
  }
}

void TForm1::CaptureThumbnail(const std::string& path) {
  // Let the windows just closed leave the screen and the display repaint before the copy.
  platform::IMessageLoop& loop = *platform_.MessageLoop;
  const std::uint32_t start = loop.TickCount();
  for (;;) {
    App().ProcessMessages();
    const std::uint32_t waited = loop.TickCount() - start;
    if (waited >= 250) break;
    loop.Sleep(std::min<std::uint32_t>(250 - waited, 25));
  }
  const platform::TRect area = BoundsRect();
  const platform::TPixels shot = platform_.ScreenCapture->CaptureScreen(area);
  WriteThumbnail(path, MakeThumbnail(shot));
}

}  // namespace roarmark
