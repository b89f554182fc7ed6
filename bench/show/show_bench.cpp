// Show control on the sim with a 1920 x 1080 picture: a preset recall up to the first frame
// drawn in the new layout, and one step of a design-mode drag.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "core/application.h"
#include "core/main_window.h"
#include "display/pictures/bmp_writer.h"
#include "platform/sim/sim_platform.h"

namespace roarmark {
namespace {

namespace fs = std::filesystem;

// A data folder with a full-HD picture and two layouts on it, made once.
const std::string& PreparedFolder() {
  static const std::string root = [] {
    std::string name = (fs::temp_directory_path() / "roarmark-bench-show-XXXXXX").string();
    if (mkdtemp(name.data()) == nullptr) std::abort();
    const fs::path dir = name;
    fs::create_directories(dir / "Quillmoor/Roarmark/Files");
    platform::TPixels p;
    p.Width = 1920;
    p.Height = 1080;
    p.Pixels.resize(static_cast<std::size_t>(p.Width) * p.Height);
    for (std::size_t i = 0; i < p.Pixels.size(); ++i) {
      p.Pixels[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
    }
    const fs::path files = dir / "Quillmoor/Roarmark/Files";
    WriteBmp24((files / "Graphic.bmp").string(), p);
    WriteBmp24((files / "stage.bmp").string(), p);
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

struct TRunning {
  platform::sim::SimPlatform sim;
  std::unique_ptr<TRoarmarkProgram> program;
  TRunning() {
    sim.shell.SetCommonAppDataFolder(PreparedFolder());
    sim.monitors.AddMonitor(1920, 1080, 0, 0, 1920, 1040);
    sim.wave_input.AddDevice("Mic");
    sim.wave_input.SetSignal(0, platform::sim::WaveSignal::Square(-6));
    program = std::make_unique<TRoarmarkProgram>(sim.Platform());
    program->Start();
  }
  TForm1& Main() { return *program->MainWindow(); }
};

void BM_PresetRecallToFirstFrame(benchmark::State& state) {
  TRunning run;
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
  TRunning run;
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
