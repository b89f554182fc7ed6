// The setup dialog on the sim with a 1920 x 1080 picture: opening it (filling, showing, up to
// the first buffer drawn behind it) and one live change of a meter field (its handler, the
// re-layout and the redraw of the next buffer).
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>

#include "../bench_program.h"
#include "platform/ui/keys.h"
#include "setup/setup_dialog.h"

namespace roarmark {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A data folder with a full-HD picture and the vertical bars low on it, made once.
const std::string& PreparedFolder() {
  static const std::string root = [] {
    const fs::path dir = bench::MakeDataFolder("roarmark-bench-setup");
    std::ofstream(dir / "Quillmoor/Roarmark/Roarmark.ini")
        << "[Form]\r\nFitScreen=0\r\nStyle=1\r\nMeter Position Y=1000\r\n";
    return dir.string();
  }();
  return root;
}

// From the call to the first buffer drawn while the dialog is shown; closing it is not timed.
void BM_OpenSetupDialog(benchmark::State& state) {
  bench::TBenchProgram run(PreparedFolder());
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
    bench::TBenchProgram run(PreparedFolder());
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
  bench::TBenchProgram run(PreparedFolder());
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
