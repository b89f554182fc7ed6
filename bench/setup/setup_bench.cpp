// The setup dialog on the sim with a 1920 x 1080 picture: opening it (filling, showing, up to
// the first buffer drawn behind it) and one live change of a meter field (its handler, the
// re-layout and the redraw of the next buffer).
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>

#include "core/application.h"
#include "core/main_window.h"
#include "display/pictures/bmp_writer.h"
#include "platform/sim/sim_platform.h"
#include "platform/ui/keys.h"
#include "setup/setup_dialog.h"

namespace roarmark {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string& PreparedFolder() {
  static const std::string root = [] {
    fs::path dir = fs::temp_directory_path() / "roarmark_bench_setup";
    fs::create_directories(dir / "Quillmoor/Roarmark/Files");
    platform::TPixels p;
    p.Width = 1920;
    p.Height = 1080;
    p.Pixels.resize(static_cast<std::size_t>(p.Width) * p.Height);
    for (std::size_t i = 0; i < p.Pixels.size(); ++i) {
      p.Pixels[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
    }
    WriteBmp24((dir / "Quillmoor/Roarmark/Files/Graphic.bmp").string(), p);
    std::ofstream(dir / "Quillmoor/Roarmark/Roarmark.ini")
        << "[Form]\r\nFitScreen=0\r\nStyle=1\r\nMeter Position Y=1000\r\n";
    return dir.string();
  }();
  return root;
}

struct TRunningProgram {
  platform::sim::SimPlatform sim;
  std::unique_ptr<TRoarmarkProgram> program;
  TRunningProgram() {
    sim.shell.SetCommonAppDataFolder(PreparedFolder());
    sim.monitors.AddMonitor(1920, 1080, 0, 0, 1920, 1040);
    sim.wave_input.AddDevice("Mic");
    sim.wave_input.SetSignal(0, platform::sim::WaveSignal::Square(-6));
    program = std::make_unique<TRoarmarkProgram>(sim.Platform());
    program->Start();
  }
  void DrawOneBuffer() {
    sim.wave_input.DeliverBuffers(1);
    sim.loop.DispatchPending();
  }
};

// From the call to the first buffer drawn while the dialog is shown; closing it is not timed.
void BM_OpenSetupDialog(benchmark::State& state) {
  TRunningProgram run;
  TForm2& dialog = *run.program->SetupDialog();
  Clock::time_point start;
  bool timed = false;
  run.sim.loop.SetIdleDriver([&] {
    if (!dialog.Visible()) return false;
    if (!timed) {
      run.DrawOneBuffer();
      state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
      timed = true;
    }
    dialog.UserKey(platform::ui::VK_ESCAPE);
    return true;
  });
  for (auto _ : state) {
    timed = false;
    start = Clock::now();
    dialog.ShowSetupDialog();
  }
}
BENCHMARK(BM_OpenSetupDialog)->UseManualTime()->Unit(benchmark::kMillisecond);

// The first opening after start, when filling changes every field and each change re-lays out
// the display.
void BM_OpenSetupDialogFirstTime(benchmark::State& state) {
  for (auto _ : state) {
    TRunningProgram run;
    TForm2& dialog = *run.program->SetupDialog();
    Clock::time_point start;
    bool timed = false;
    run.sim.loop.SetIdleDriver([&] {
      if (!dialog.Visible()) return false;
      if (!timed) {
        run.DrawOneBuffer();
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        timed = true;
      }
      dialog.UserKey(platform::ui::VK_ESCAPE);
      return true;
    });
    start = Clock::now();
    dialog.ShowSetupDialog();
  }
}
BENCHMARK(BM_OpenSetupDialogFirstTime)->UseManualTime()->Unit(benchmark::kMillisecond);

// Typing a new bar height into the open dialog: the handler re-lays out the display and the
// next buffer redraws the meter.
void BM_LiveMeterFieldChange(benchmark::State& state) {
  TRunningProgram run;
  TForm2& dialog = *run.program->SetupDialog();
  dialog.FillDialog();
  int height = 400;
  for (auto _ : state) {
    height = height == 400 ? 450 : 400;
    dialog.Edit12.SetText(std::to_string(height));
    run.DrawOneBuffer();
  }
}
BENCHMARK(BM_LiveMeterFieldChange)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace roarmark
