// The whole program on the sim: start-up to the first drawn buffer, and a display re-layout,
// both with a 1920 x 1080 picture.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "core/application.h"
#include "core/main_window.h"
#include "display/pictures/bmp_writer.h"
#include "platform/sim/sim_platform.h"

namespace roarmark {
namespace {

namespace fs = std::filesystem;

// A data folder with a full-HD picture, made once.
const std::string& PreparedFolder() {
  static const std::string root = [] {
    fs::path dir = fs::temp_directory_path() / "roarmark_bench_app";
    fs::create_directories(dir / "Quillmoor/Roarmark/Files");
    platform::TPixels p;
    p.Width = 1920;
    p.Height = 1080;
    p.Pixels.resize(static_cast<std::size_t>(p.Width) * p.Height);
    for (std::size_t i = 0; i < p.Pixels.size(); ++i) {
      p.Pixels[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
    }
    WriteBmp24((dir / "Quillmoor/Roarmark/Files/Graphic.bmp").string(), p);
    return dir.string();
  }();
  return root;
}

void BM_StartupToFirstDrawnBuffer(benchmark::State& state) {
  const std::string& root = PreparedFolder();
  for (auto _ : state) {
    platform::sim::SimPlatform sim;
    sim.shell.SetCommonAppDataFolder(root);
    sim.monitors.AddMonitor(1920, 1080, 0, 0, 1920, 1040);
    sim.wave_input.AddDevice("Mic");
    sim.wave_input.SetSignal(0, platform::sim::WaveSignal::Square(-6));
    TRoarmarkProgram program(sim.Platform());
    program.Start();
    sim.wave_input.DeliverBuffers(1);
    sim.loop.DispatchPending();
    benchmark::DoNotOptimize(program.MainWindow()->State.Position);
  }
}
BENCHMARK(BM_StartupToFirstDrawnBuffer)->Unit(benchmark::kMillisecond);

void BM_RelayoutDisplay(benchmark::State& state) {
  platform::sim::SimPlatform sim;
  sim.shell.SetCommonAppDataFolder(PreparedFolder());
  sim.monitors.AddMonitor(1920, 1080, 0, 0, 1920, 1040);
  sim.wave_input.AddDevice("Mic");
  TRoarmarkProgram program(sim.Platform());
  program.Start();
  for (auto _ : state)
    program.MainWindow()->RelayoutDisplay();
}
BENCHMARK(BM_RelayoutDisplay)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace roarmark
