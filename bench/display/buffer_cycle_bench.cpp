// One whole buffer cycle at 1920 x 1080 as a crowd sounds: the level engine on a tone that
// swells and fades (1 kHz, 90 % deep tremolo at 0.7 Hz), the meter, the readout when the peak
// is reached, and the rectangles handed to the display image. Target: at most 0.25 ms.
#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "core/level_engine.h"
#include "display/colour_ramp.h"
#include "display/drawn_record.h"
#include "display/meter_display.h"
#include "display/readout.h"
#include "platform/fontconfig/fontconfig_fonts.h"

namespace roarmark {
namespace {

struct Fields : ISetupFields {
  std::string ReferenceText() const override { return "-6"; }
  void SetReferenceColour(TColor) override {}
  std::string DecayText() const override { return "2"; }
  void SetDecayColour(TColor) override {}
  void SetHeadroomCaption(const std::string&) override {}
};

// A quarter of full scale: the meter swings over most of its scale with every swell.
constexpr double kPeak = 8000;
// Long enough for a few swells; the cycle runs through it over and over.
std::vector<std::vector<std::uint8_t>> CrowdBuffers() {
  constexpr int kBuffers = 400;  // 10 s
  std::vector<std::vector<std::uint8_t>> buffers(kBuffers, std::vector<std::uint8_t>(kBufferBytes));
  for (int b = 0; b < kBuffers; ++b) {
    for (int f = 0; f < kFramesPerBuffer; ++f) {
      const double t = (b * kFramesPerBuffer + f) / 44100.0;
      const double swell = 1.0 - 0.9 * (0.5 - 0.5 * std::sin(2 * std::numbers::pi * 0.7 * t));
      const auto v = static_cast<std::int16_t>(
          std::lround(kPeak * swell * std::sin(2 * std::numbers::pi * 1000.0 * t)));
      const auto u = static_cast<std::uint16_t>(v);
      for (int c = 0; c < 2; ++c) {
        buffers[b][4 * f + 2 * c] = static_cast<std::uint8_t>(u & 0xFF);
        buffers[b][4 * f + 2 * c + 1] = static_cast<std::uint8_t>(u >> 8);
      }
    }
  }
  return buffers;
}

struct Layout {
  int style;
  int x, y, w, h;  // meter box
  int readout_x, readout_y, font_size;
};

// The layouts the CPU measurement runs full screen.
constexpr Layout kLayouts[] = {
    {kStyleVerticalBars, 200, 1000, 120, 900, 1500, 100, 48},
    {kStyleHorizontalBars, 110, 1050, 1700, 150, 900, 100, 48},
    {kStyleAnalogue, 360, 900, 1200, 600, 100, 80, 48},
    {kStyleVerticalBars, 0, 0, 0, 0, 600, 300, 240},  // the readout alone
};

void BM_BufferCycle1920x1080(benchmark::State& bench) {
  const Layout& layout = kLayouts[bench.range(0)];
  platform::TFontconfigFonts fonts;
  TMeterSettings s;
  s.Style = layout.style;
  s.MeterX = layout.x;
  s.MeterY = layout.y;
  s.MeterWidth = layout.w;
  s.MeterHeight = layout.h;
  s.ReadoutX = layout.readout_x;
  s.ReadoutY = layout.readout_y;
  s.FontSize = layout.font_size;
  s.Transparent = bench.range(1) != 0;
  TDisplayState display;
  display.Fonts = &fonts;
  display.BackgroundBitmap.SetSize(1920, 1080);
  for (int y = 0; y < 1080; ++y) {
    for (int x = 0; x < 1920; ++x)
      display.BackgroundBitmap.SetPixel(x, y, 0xFF000000u | static_cast<TColor32>(y * 255 / 1080));
  }
  display.DisplayBitmap.SetSize(1920, 1080);
  display.DisplayBitmap.Draw(0, 0, display.BackgroundBitmap);
  ApplyReadoutFont(display, s);
  SaveBackings(display, s);
  BuildColourRamp(display, s);

  LevelTable table{};
  BuildLevelTable(table);
  TMeterState state;
  TMeterDisplay meter(display, s, state);
  Fields fields;
  std::uint32_t tick = 0;
  TLevelEngine engine{state, table, s, meter, fields, [&tick] { return tick += 25; }, '.'};
  const auto buffers = CrowdBuffers();
  std::size_t next = 0;
  std::size_t areas = 0;
  std::size_t pixels = 0;
  std::size_t moves = 0;
  for (auto _ : bench) {
    const int before = state.Position;
    ProcessBuffer(engine, buffers[next].data(), false);
    moves += state.Position != before;
    const auto drawn = TakeDrawnAreas(display);
    areas += drawn.size();
    for (const auto& r : drawn)
      pixels += static_cast<std::size_t>(r.Width() * r.Height());
    next = (next + 1) % buffers.size();
  }
  bench.counters["areas"] =
      benchmark::Counter(static_cast<double>(areas), benchmark::Counter::kAvgIterations);
  // Pixels handed to the display image: what the window system copies on.
  bench.counters["pixels"] =
      benchmark::Counter(static_cast<double>(pixels), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_BufferCycle1920x1080)
    ->ArgNames({"layout", "transparent"})
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace roarmark
