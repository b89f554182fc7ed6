// The whole program on the sim: start-up to the first drawn buffer, and a display re-layout,
// both with a 1920 x 1080 picture.
#include <benchmark/benchmark.h>

#include <string>

#include "../bench_program.h"

namespace roarmark {
namespace {

// A data folder with a full-HD picture, made once.
const std::string& PreparedFolder() {
  static const std::string root = bench::MakeDataFolder("roarmark-bench-app").string();
  return root;
}

void BM_StartupToFirstDrawnBuffer(benchmark::State& state) {
  const std::string& root = PreparedFolder();
  for (auto _ : state) {
    bench::TBenchProgram run(root);
    run.DrawOneBuffer();
    benchmark::DoNotOptimize(run.Main().State.Position);
  }
}
BENCHMARK(BM_StartupToFirstDrawnBuffer)->Unit(benchmark::kMillisecond);

void BM_RelayoutDisplay(benchmark::State& state) {
  bench::TBenchProgram run(PreparedFolder());
  for (auto _ : state)
    run.Main().RelayoutDisplay();
}
BENCHMARK(BM_RelayoutDisplay)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace roarmark
