// Per-buffer drawing costs: each renderer runs about 40 times a second.
#include <benchmark/benchmark.h>

#include "display/analogue_meter.h"
#include "display/bar_meter.h"
#include "display/readout.h"
#include "platform/fontconfig/fontconfig_fonts.h"

namespace roarmark {
namespace {

struct Scene {
  platform::TFontconfigFonts fonts;
  TMeterSettings s;
  TDisplayState display;
  TMeterState state;

  void Prepare(int w, int h) {
    display.Fonts = &fonts;
    display.BackgroundBitmap.SetSize(w, h);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        display.BackgroundBitmap.SetPixel(x, y, 0xFF000000u | static_cast<TColor32>(x * 3 + y * 5));
      }
    }
    display.DisplayBitmap.SetSize(w, h);
    display.DisplayBitmap.Draw(0, 0, display.BackgroundBitmap);
    ApplyReadoutFont(display, s);
    SaveBackings(display, s);
    BuildColourRamp(display, s);
    state.PeakMarker = 900;
  }
};

// A level that moves every buffer, as in use.
int Level(int& i) {
  i = (i + 37) % 1024;
  return i + 1;
}

void BM_VerticalBarsDefaults(benchmark::State& st) {
  Scene sc;
  sc.s.Style = kStyleVerticalBars;
  sc.Prepare(1024, 800);
  int i = 0;
  for (auto _ : st) {
    DrawVerticalBars(sc.display, sc.s, sc.state, Level(i));
    benchmark::DoNotOptimize(sc.display.DisplayBitmap.Bits());
  }
}
BENCHMARK(BM_VerticalBarsDefaults);

void BM_HorizontalBars500x100(benchmark::State& st) {
  Scene sc;
  sc.s.Style = kStyleHorizontalBars;
  sc.s.MeterWidth = 500;
  sc.s.MeterHeight = 100;
  sc.Prepare(1024, 800);
  int i = 0;
  for (auto _ : st) {
    DrawHorizontalBars(sc.display, sc.s, sc.state, Level(i));
    benchmark::DoNotOptimize(sc.display.DisplayBitmap.Bits());
  }
}
BENCHMARK(BM_HorizontalBars500x100);

void BM_AnalogueMeter1200x600WithPeak(benchmark::State& st) {
  Scene sc;
  sc.s.Style = kStyleAnalogue;
  sc.s.MeterX = 100;
  sc.s.MeterY = 700;
  sc.s.MeterWidth = 1200;
  sc.s.MeterHeight = 600;
  sc.s.ColorPeak = true;
  sc.Prepare(1400, 800);
  int i = 0;
  for (auto _ : st) {
    DrawAnalogueMeter(sc.display, sc.s, sc.state, Level(i));
    benchmark::DoNotOptimize(sc.display.DisplayBitmap.Bits());
  }
}
BENCHMARK(BM_AnalogueMeter1200x600WithPeak);

// A readout update as the level engine does it: restore the backing when transparent, then
// draw the new value. Level steps of 37 change two or three digits, steps of 1 mostly the last.
void BM_ReadoutUpdate(benchmark::State& st) {
  Scene sc;
  sc.s.Style = kStyleVerticalBars;
  sc.s.FontSize = static_cast<int>(st.range(0));
  sc.s.Transparent = st.range(1) != 0;
  sc.s.ShowDecimal = true;
  sc.s.ReadoutX = 50;
  sc.s.ReadoutY = 50;
  sc.Prepare(1024, 800);
  const int step = static_cast<int>(st.range(2));
  int i = 0;
  for (auto _ : st) {
    i = (i + step) % 1024;
    if (sc.s.Transparent) RestoreReadoutBacking(sc.display);
    DrawReadout(sc.display, sc.s, sc.state, i + 1);
    benchmark::DoNotOptimize(sc.display.DisplayBitmap.Bits());
  }
}
BENCHMARK(BM_ReadoutUpdate)
    ->ArgNames({"pt", "transparent", "step"})
    ->Args({48, 0, 37})
    ->Args({48, 1, 37})
    ->Args({240, 0, 37})
    ->Args({240, 1, 37})
    ->Args({240, 0, 1})
    ->Args({240, 1, 1});

}  // namespace
}  // namespace roarmark
