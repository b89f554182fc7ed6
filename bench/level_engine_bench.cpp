// ProcessBuffer on a full buffer of noise, drawing into an empty display.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "core/level_engine.h"
#include "display/meter_display.h"

namespace roarmark {
namespace {

struct Fields : ISetupFields {
  std::string ReferenceText() const override { return "-6"; }
  void SetReferenceColour(TColor) override {}
  std::string DecayText() const override { return "2"; }
  void SetDecayColour(TColor) override {}
  void SetHeadroomCaption(const std::string&) override {}
};

void BM_ProcessBuffer(benchmark::State& bench) {
  std::vector<std::uint8_t> block(kBufferBytes);
  std::mt19937 rng(42);
  for (auto& b : block)
    b = static_cast<std::uint8_t>(rng());
  LevelTable table{};
  BuildLevelTable(table);
  TMeterState state;
  TMeterSettings settings;
  settings.Style = kStyleVerticalBars;
  settings.ShowAverage = true;
  TDisplayState display_state;  // 0 x 0: the renderers run but paint nothing
  TMeterDisplay display(display_state, settings, state);
  Fields fields;
  std::uint32_t tick = 0;
  TLevelEngine engine{state, table, settings, display, fields, [&tick] { return tick += 25; }, '.'};
  for (auto _ : bench) {
    ProcessBuffer(engine, block.data(), false);
    benchmark::DoNotOptimize(state.Position);
  }
}
BENCHMARK(BM_ProcessBuffer);

}  // namespace
}  // namespace roarmark
