// The whole measurement path of one capture buffer: weighting, time weighting, the sums, the
// seconds it completes (periods, noise limit) and the readout's text, on a buffer of noise.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "measure/sound_meter.h"

namespace roarmark {
namespace {

void BM_MeasurementPath(benchmark::State& bench) {
  std::vector<std::uint8_t> block(1100 * 4);
  std::mt19937 rng(42);
  for (auto& b : block)
    b = static_cast<std::uint8_t>(rng());
  TSoundSettings settings;
  settings.Limit = 100;
  settings.ReadoutUnit = 1;
  TSoundMeter meter(settings, "");
  std::uint32_t tick = 0;
  for (auto _ : bench) {
    meter.ProcessBuffer(block.data(), tick += 25);
    benchmark::DoNotOptimize(meter.ReadoutText(true, '.'));
  }
}
BENCHMARK(BM_MeasurementPath);

}  // namespace
}  // namespace roarmark
