// A whole show on the sim at full speed: buffers of an amplitude-modulated tone through the
// whole program, the microphone unplugged and plugged back every ten simulated minutes, and
// the resident memory noted every simulated hour. Fails when the memory at the end is more than
// 1 MB above the memory after the first hour, or when a replug leaves the capture in a wrong
// state.
//
// Usage: roarmark_show_soak [HOURS]   (default 24; a fraction runs part of an hour)
#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "app/application.h"
#include "core/capture_session.h"
#include "core/main_window.h"
#include "display/pictures/bmp_writer.h"
#include "platform/sim/sim_platform.h"

namespace {

using namespace roarmark;
namespace fs = std::filesystem;

constexpr int kBufferMs = 25;
constexpr long kBuffersPerHour = 3600L * 1000 / kBufferMs;  // 144,000
constexpr long kBuffersBetweenUnplugs = 600L * 1000 / kBufferMs;

double ResidentMb() {
  long pages_total = 0;
  long pages_resident = 0;
  std::ifstream("/proc/self/statm") >> pages_total >> pages_resident;
  return static_cast<double>(pages_resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) /
         (1024.0 * 1024.0);
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A 1 kHz tone whose amplitude swells and fades over four seconds (-40 to -6 dBFS and back),
// a whole number of carrier periods, so it repeats seamlessly.
std::vector<std::int16_t> SwellingTone() {
  constexpr int kFrames = 4 * 44100;
  std::vector<std::int16_t> samples(2 * kFrames);
  for (int i = 0; i < kFrames; ++i) {
    const double t = i / 44100.0;
    const double swell = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * t / 4.0);  // 0..1..0
    const double amplitude = 32767.0 * std::pow(10.0, (-40.0 + 34.0 * swell) / 20.0);
    const auto s = static_cast<std::int16_t>(
        std::lround(amplitude * std::sin(2 * std::numbers::pi * 1000.0 * t)));
    samples[2 * i] = s;
    samples[2 * i + 1] = s;
  }
  return samples;
}

}  // namespace

int main(int argc, char** argv) {
  const double hours = argc > 1 ? std::atof(argv[1]) : 24.0;
  const long total = std::lround(hours * kBuffersPerHour);
  if (total <= 0) {
    std::fprintf(stderr, "usage: roarmark_show_soak [HOURS]\n");
    return 2;
  }

  std::string pattern = (fs::temp_directory_path() / "roarmark-soak-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return 2;
  const std::string root = pattern;
  int failures = 0;
  {
    platform::sim::SimPlatform sim;
    // A full-HD stage picture and the microphone chosen by name, as on a show night.
    const std::string data = root + "/Quillmoor/Roarmark/";
    fs::create_directories(data + "Files");
    platform::TPixels picture;
    picture.Width = 1920;
    picture.Height = 1080;
    picture.Pixels.resize(static_cast<std::size_t>(picture.Width) * picture.Height);
    for (std::size_t i = 0; i < picture.Pixels.size(); ++i)
      picture.Pixels[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 2654435761u >> 8);
    WriteBmp24(data + "Files/Graphic.bmp", picture);
    std::ofstream(data + "Roarmark.ini") << "[Input]\nDevice Name=USB Mic\n";
    sim.shell.SetCommonAppDataFolder(root);
    sim.monitors.AddMonitor(1920, 1080, 0, 0, 1920, 1040);
    sim.wave_input.AddDevice("Line In");
    sim.wave_input.AddDevice("USB Mic");
    sim.wave_input.SetSignal("USB Mic", platform::sim::WaveSignal::Samples(SwellingTone()));
    sim.loop.SetSleepDriven(true);
    TRoarmarkProgram program(sim.Platform());
    program.Start();
    TForm1& main = *program.MainWindow();

    const double cpu_start = CpuSeconds();
    double rss_after_first_hour = 0;
    long unplugs = 0;
    std::printf("%8s %12s %10s %8s\n", "hour", "buffers", "rss MB", "cpu s");
    std::printf("%8.2f %12d %10.2f %8.1f\n", 0.0, 0, ResidentMb(), 0.0);
    for (long n = 1; n <= total; ++n) {
      if (n % kBuffersBetweenUnplugs == 0) {
        // The wait polls three times, then the microphone is back.
        int polls = 0;
        sim.loop.SetIdleDriver([&] {
          if (++polls == 3) sim.wave_input.Plug("USB Mic");
          sim.loop.GrantSleep(100);
          return true;
        });
        sim.wave_input.Unplug("USB Mic");
        ++unplugs;
      }
      sim.wave_input.DeliverBuffers(1);
      sim.loop.DispatchPending();
      sim.loop.Advance(kBufferMs);
      if (n % kBuffersBetweenUnplugs == 0) {
        sim.loop.SetIdleDriver(nullptr);
        if (sim.wave_input.OpenHandleCount() != 1 ||
            main.Capture->Outstanding() != kQueuedBuffers || main.Recovering()) {
          std::fprintf(stderr, "replug %ld: %d open devices, %d buffers outstanding\n", unplugs,
                       sim.wave_input.OpenHandleCount(), main.Capture->Outstanding());
          ++failures;
        }
      }
      if (n % 1000 == 0) {
        // The sim's own call log is not the program's memory.
        sim.wave_input.ClearCalls();
        sim.loop.ClearSleeps();
      }
      if (n % kBuffersPerHour == 0 || n == total) {
        const double rss = ResidentMb();
        if (n == kBuffersPerHour || (n == total && rss_after_first_hour == 0)) {
          rss_after_first_hour = rss;
        }
        std::printf("%8.2f %12ld %10.2f %8.1f\n", static_cast<double>(n) / kBuffersPerHour, n, rss,
                    CpuSeconds() - cpu_start);
        std::fflush(stdout);
      }
    }
    const double cpu = CpuSeconds() - cpu_start;
    const double rss_end = ResidentMb();
    std::printf(
        "buffers %ld (%.2f simulated hours), unplugs %ld, cpu %.1f s (%.0f buffers/s), "
        "final position %d\n",
        total, static_cast<double>(total) / kBuffersPerHour, unplugs, cpu, total / cpu,
        main.State.Position);
    std::printf("rss after the first hour %.2f MB, at the end %.2f MB (%+.2f MB)\n",
                rss_after_first_hour, rss_end, rss_end - rss_after_first_hour);
    if (rss_end > rss_after_first_hour + 1.0) {
      std::fprintf(stderr, "resident memory grew by more than 1 MB\n");
      ++failures;
    }
  }
  fs::remove_all(root);
  return failures == 0 ? 0 : 1;
}
