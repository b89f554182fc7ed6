// Writes a picture of every meter style over a test picture, for looking at by eye:
// display_look [folder] (default: a new folder of its own under the temporary folder, named on
// standard output).
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "../temp_folder.h"
#include "display/analogue_meter.h"
#include "display/bar_meter.h"
#include "display/readout.h"
#include "platform/fontconfig/fontconfig_fonts.h"

namespace roarmark {
namespace {

// Plain 24-bit bottom-up BMP.
bool WriteBmp(const std::string& path, const TBitmap32& b) {
  const std::uint32_t row = (static_cast<std::uint32_t>(b.Width()) * 3 + 3) & ~3u;
  const std::uint32_t image = row * static_cast<std::uint32_t>(b.Height());
  std::uint8_t header[54] = {'B', 'M'};
  const auto put32 = [&](int at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
      header[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
  };
  put32(2, 54 + image);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<std::uint32_t>(b.Width()));
  put32(22, static_cast<std::uint32_t>(b.Height()));
  header[26] = 1;
  header[28] = 24;
  put32(34, image);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  std::fwrite(header, 1, sizeof header, f);
  std::string line(row, '\0');
  for (int y = b.Height() - 1; y >= 0; --y) {
    for (int x = 0; x < b.Width(); ++x) {
      const TColor32 p = b.Pixel(x, y);
      line[static_cast<std::size_t>(x) * 3] = static_cast<char>(p & 0xFF);
      line[static_cast<std::size_t>(x) * 3 + 1] = static_cast<char>((p >> 8) & 0xFF);
      line[static_cast<std::size_t>(x) * 3 + 2] = static_cast<char>((p >> 16) & 0xFF);
    }
    std::fwrite(line.data(), 1, line.size(), f);
  }
  return std::fclose(f) == 0;
}

// A test picture: a diagonal colour gradient with a grey checker board laid over it.
void TestPicture(TBitmap32& b, int w, int h) {
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const int r = 40 + 120 * x / w;
      const int g = 60 + 100 * y / h;
      const int bl = 90 + 60 * (x + y) / (w + h);
      const int shade = ((x / 40 + y / 40) % 2) ? 20 : 0;
      b.SetPixel(
          x, y,
          0xFF000000u | static_cast<TColor32>((r + shade) << 16 | (g + shade) << 8 | (bl + shade)));
    }
  }
}

struct Look {
  platform::TFontconfigFonts fonts;
  TDisplayState display;
  TMeterSettings s;
  TMeterState state;

  void Prepare(int w, int h) {
    display.Fonts = &fonts;
    TestPicture(display.BackgroundBitmap, w, h);
    display.DisplayBitmap.SetSize(w, h);
    display.DisplayBitmap.Draw(0, 0, display.BackgroundBitmap);
    ApplyReadoutFont(display, s);
    SaveBackings(display, s);
    BuildColourRamp(display, s);
  }
};

int Run(const std::string& folder) {
  std::filesystem::create_directories(folder);
  int failures = 0;
  const auto save = [&](const char* name, const TBitmap32& b) {
    if (!WriteBmp(folder + "/" + name + ".bmp", b)) ++failures;
  };
  {
    Look l;
    l.s.Style = kStyleVerticalBars;
    l.s.ReadoutX = 400;
    l.s.ReadoutY = 100;
    l.state.PeakMarker = 900;
    l.Prepare(700, 800);
    DrawVerticalBars(l.display, l.s, l.state, 700);
    DrawReadout(l.display, l.s, l.state, 700);
    save("vertical-bars", l.display.DisplayBitmap);
  }
  {
    Look l;
    l.s.Style = kStyleHorizontalBars;
    l.s.MeterX = 100;
    l.s.MeterY = 400;
    l.s.MeterWidth = 500;
    l.s.MeterHeight = 100;
    l.s.ColorPeak = true;
    l.s.ReadoutX = 280;
    l.s.ReadoutY = 100;
    l.s.ShowDecimal = true;
    l.state.PeakMarker = 850;
    l.Prepare(700, 500);
    DrawHorizontalBars(l.display, l.s, l.state, 600);
    DrawReadout(l.display, l.s, l.state, 600);
    save("horizontal-bars", l.display.DisplayBitmap);
  }
  {
    Look l;
    l.s.Style = kStyleAnalogue;
    l.s.MeterX = 100;
    l.s.MeterY = 700;
    l.s.MeterWidth = 1200;
    l.s.MeterHeight = 600;
    l.s.ColorPeak = true;
    l.s.Transparent = true;
    l.s.FontSize = 72;
    l.s.FontColor = 0xFFFFFF;
    l.s.ReadoutX = 150;
    l.s.ReadoutY = 120;
    l.state.PeakMarker = 950;
    l.Prepare(1400, 800);
    DrawAnalogueMeter(l.display, l.s, l.state, 700);
    RestoreReadoutBacking(l.display);
    DrawReadout(l.display, l.s, l.state, 700);
    save("analogue", l.display.DisplayBitmap);
  }
  for (const bool transparent : {false, true}) {
    Look l;
    l.s.Style = kStyleVerticalBars;
    l.s.MeterWidth = 0;
    l.s.FontSize = 96;
    l.s.FontStyle = kFontBold;
    l.s.FontColor = transparent ? 0x00FFFF : 0x000080;
    l.s.ReadoutColor = 0xE0F0FF;
    l.s.Transparent = transparent;
    l.s.ShowDecimal = true;
    l.s.ReadoutX = 20;
    l.s.ReadoutY = 20;
    l.Prepare(400, 200);
    if (transparent) RestoreReadoutBacking(l.display);
    DrawReadout(l.display, l.s, l.state, 817);
    save(transparent ? "readout-transparent" : "readout-solid", l.display.DisplayBitmap);
  }
  return failures == 0 ? 0 : 1;
}

}  // namespace
}  // namespace roarmark

int main(int argc, char** argv) {
  if (argc > 1) return roarmark::Run(argv[1]);
  const std::string folder = roarmark::test::MakeUniqueTempFolder("display-look").string();
  std::printf("%s\n", folder.c_str());
  return roarmark::Run(folder);
}
