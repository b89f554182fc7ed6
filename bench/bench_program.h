// The whole program on the sim, as the program-level benchmarks run it: a data folder of their
// own with a full-HD picture, and a program started on a 1920 x 1080 monitor with a microphone.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/application.h"
#include "core/main_window.h"
#include "display/pictures/bmp_writer.h"
#include "platform/sim/sim_platform.h"

namespace roarmark::bench {

// The folders made below, removed when the benchmark program ends.
struct TMadeFolders {
  std::vector<std::filesystem::path> Paths;
  ~TMadeFolders() {
    for (const auto& path : Paths) {
      std::error_code ec;
      std::filesystem::remove_all(path, ec);
    }
  }
};
inline TMadeFolders& MadeFolders() {
  static TMadeFolders folders;
  return folders;
}

// A new folder below the temporary folder (never one a previous run or another user left)
// with "Quillmoor/Roarmark/Files/Graphic.bmp", 1920 x 1080 of noise; returns the folder.
inline std::filesystem::path MakeDataFolder(const std::string& name) {
  std::string path = (std::filesystem::temp_directory_path() / (name + "-XXXXXX")).string();
  if (mkdtemp(path.data()) == nullptr) std::abort();
  MadeFolders().Paths.push_back(path);
  const std::filesystem::path files = std::filesystem::path(path) / "Quillmoor/Roarmark/Files";
  std::filesystem::create_directories(files);
  platform::TPixels p;
  p.Width = 1920;
  p.Height = 1080;
  p.Pixels.resize(static_cast<std::size_t>(p.Width) * p.Height);
  for (std::size_t i = 0; i < p.Pixels.size(); ++i)
    p.Pixels[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
  WriteBmp24((files / "Graphic.bmp").string(), p);
  return path;
}

struct TBenchProgram {
  platform::sim::SimPlatform sim;
  std::unique_ptr<TRoarmarkProgram> program;

  explicit TBenchProgram(const std::string& folder) {
    sim.shell.SetCommonAppDataFolder(folder);
    sim.monitors.AddMonitor(1920, 1080, 0, 0, 1920, 1040);
    sim.wave_input.AddDevice("Mic");
    sim.wave_input.SetSignal(0, platform::sim::WaveSignal::Square(-6));
    program = std::make_unique<TRoarmarkProgram>(sim.Platform());
    program->Start();
  }
  TForm1& Main() { return *program->MainWindow(); }
  void DrawOneBuffer() {
    sim.wave_input.DeliverBuffers(1);
    sim.loop.DispatchPending();
  }
};

}  // namespace roarmark::bench
