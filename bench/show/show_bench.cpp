// Show control on the sim with a 1920 x 1080 picture: a preset recall up to the first frame
// drawn in the new layout, and one step of a design-mode drag.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "../bench_program.h"

namespace roarmark {
namespace {

namespace fs = std::filesystem;

// A data folder with a full-HD picture and two layouts on it, made once.
const std::string& PreparedFolder() {
  static const std::string root = [] {
    const fs::path dir = bench::MakeDataFolder("roarmark-bench-show");
    const fs::path files = dir / "Quillmoor/Roarmark/Files";
    fs::copy_file(files / "Graphic.bmp", files / "stage.bmp");
    std::ofstream(files / "bars.cfg")
        << "[Form]\nStyle=1\nMeter Position X=188\nMeter Position Y=764\nMeter Width=128\n"
           "Meter Height=650\nReadout Position X=840\nReadout Position Y=400\nFontSize=120\n"
           "Graphic Filename=C:\\RoarmarkDevProject\\stage.bmp\n";
    std::ofstream(files / "needle.cfg")
        << "[Form]\nStyle=3\nMeter Position X=560\nMeter Position Y=760\nMeter Width=800\n"
           "Meter Height=560\nReadout Position X=880\nReadout Position Y=800\nFontSize=96\n"
           "Graphic Filename=C:\\RoarmarkDevProject\\stage.bmp\n";
    std::ofstream(dir / "Quillmoor/Roarmark/Roarmark.ini") << "[Form]\nFitScreen=0\n";
    return dir.string();
  }();
  return root;
}

void BM_PresetRecallToFirstFrame(benchmark::State& state) {
  bench::TBenchProgram run(PreparedFolder());
  const std::string files = run.Main().DataFolder + "Files/";
  bool needle = false;
  for (auto _ : state) {
    needle = !needle;
    run.Main().LoadSettingsFile(files + (needle ? "needle.cfg" : "bars.cfg"));
    run.sim.wave_input.DeliverBuffers(1);
    run.sim.loop.DispatchPending();
    benchmark::DoNotOptimize(run.Main().Display.DisplayBitmap.Bits());
  }
}
BENCHMARK(BM_PresetRecallToFirstFrame)->Unit(benchmark::kMillisecond);

// The picture is shown 1:1, so control and layout pixels agree; the drag goes back and forth
// by 10 pixels inside the meter box, moving it each time.
void BM_DesignDragStep(benchmark::State& state) {
  bench::TBenchProgram run(PreparedFolder());
  TForm1& main = run.Main();
  main.LoadSettingsFile(main.DataFolder + "Files/bars.cfg");
  main.Settings.AllowDrag = true;
  main.Image1.UserMouseDown(platform::ui::TMouseButton::mbLeft, 250, 400);
  int x = 250;
  for (auto _ : state) {
    x = x == 250 ? 260 : 250;
    main.Image1.UserMouseMove(x, 400);
    benchmark::DoNotOptimize(main.Settings.MeterX);
  }
  main.Image1.UserMouseUp(platform::ui::TMouseButton::mbLeft, x, 400);
}
BENCHMARK(BM_DesignDragStep)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace roarmark
