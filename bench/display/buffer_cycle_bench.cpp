// One whole buffer cycle at 1920 x 1080 as a crowd sounds: the level engine on pink noise that
// swells and falls about the middle of the scale (or on a tone that swells and fades near the
// top), the meter, the readout when the peak is reached, and the rectangles handed to the
// display image, counted per buffer. Target: at most 0.25 ms.
// With cold=1 the caches are flushed before each buffer, as the 25 ms between two buffers
// leaves them at a show (other programs, the window system, the sound server run meanwhile),
// after one pass through the signal has built what is kept from buffer to buffer.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>
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

enum class Signal { Crowd, Tone };

std::uint8_t LowByte(std::int16_t v) {
  return static_cast<std::uint8_t>(static_cast<std::uint16_t>(v) & 0xFF);
}
std::uint8_t HighByte(std::int16_t v) {
  return static_cast<std::uint8_t>(static_cast<std::uint16_t>(v) >> 8);
}

// Long enough for a few swells; the cycle runs through it over and over.
std::vector<std::vector<std::uint8_t>> Buffers(Signal signal) {
  constexpr int kBuffers = 400;  // 10 s
  std::vector<std::vector<std::uint8_t>> buffers(kBuffers, std::vector<std::uint8_t>(kBufferBytes));
  std::mt19937 random(7);
  std::normal_distribution<double> white(0.0, 1.0);
  double b0 = 0, b1 = 0, b2 = 0;  // pink-noise filter state
  for (int b = 0; b < kBuffers; ++b) {
    for (int f = 0; f < kFramesPerBuffer; ++f) {
      const double t = (b * kFramesPerBuffer + f) / 44100.0;
      double v = 0;
      if (signal == Signal::Tone) {
        // A quarter of full scale, 90 % deep tremolo at 0.7 Hz: up to near the top.
        const double swell = 1.0 - 0.9 * (0.5 - 0.5 * std::sin(2 * std::numbers::pi * 0.7 * t));
        v = 8000 * swell * std::sin(2 * std::numbers::pi * 1000.0 * t);
      } else {
        // Pink noise, swelling and falling over six seconds with a quicker flutter on top.
        const double w = white(random);
        b0 = 0.99765 * b0 + w * 0.0990460;
        b1 = 0.96300 * b1 + w * 0.2965164;
        b2 = 0.57000 * b2 + w * 1.0526913;
        const double pink = b0 + b1 + b2 + w * 0.1848;
        const double swell =
            (1.0 - 0.35 * (0.5 - 0.5 * std::sin(2 * std::numbers::pi * 0.17 * t))) *
            (1.0 - 0.175 * (0.5 - 0.5 * std::sin(2 * std::numbers::pi * 2.3 * t)));
        v = 900 * swell * pink;
      }
      const auto sample = static_cast<std::int16_t>(std::clamp(std::lround(v), -32768L, 32767L));
      for (int c = 0; c < 2; ++c) {
        buffers[b][4 * f + 2 * c] = LowByte(sample);
        buffers[b][4 * f + 2 * c + 1] = HighByte(sample);
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
  const auto buffers = Buffers(bench.range(2) == 0 ? Signal::Crowd : Signal::Tone);
  const bool cold = bench.range(3) != 0;
  // Larger than any cache, with a line of it on every page for the address translations too.
  std::vector<std::uint8_t> flush(cold ? std::size_t{64} << 20 : 0);
  if (cold) {
    for (const auto& buffer : buffers)
      ProcessBuffer(engine, buffer.data(), false);
    TakeDrawnAreas(display);
  }
  std::size_t next = 0;
  std::size_t areas = 0;
  std::size_t pixels = 0;
  std::size_t moves = 0;
  std::int64_t positions = 0;
  for (auto _ : bench) {
    if (cold) {
      bench.PauseTiming();
      for (std::size_t i = 0; i < flush.size(); i += 64)
        ++flush[i];
      benchmark::ClobberMemory();
      bench.ResumeTiming();
    }
    const int before = state.Position;
    ProcessBuffer(engine, buffers[next].data(), false);
    moves += state.Position != before;
    positions += state.Position;
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
  // How often the meter moved, and where it stood on average (1..1024).
  bench.counters["moves"] =
      benchmark::Counter(static_cast<double>(moves), benchmark::Counter::kAvgIterations);
  bench.counters["position"] =
      benchmark::Counter(static_cast<double>(positions), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_BufferCycle1920x1080)
    ->ArgNames({"layout", "transparent", "tone", "cold"})
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}, {0, 1}, {0}})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
// Each flush takes some 4 ms: one pass through the signal a repetition.
BENCHMARK(BM_BufferCycle1920x1080)
    ->ArgNames({"layout", "transparent", "tone", "cold"})
    ->ArgsProduct({{0, 1, 2, 3}, {0}, {0}, {1}})
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(400)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

}  // namespace
}  // namespace roarmark
