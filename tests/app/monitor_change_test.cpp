// The display when the desktop's monitors change mid-show: back on the monitor "Monitor" names
// while it is there, on monitor 1 while it is not, and sized again for whichever it is on.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/application.h"
#include "core/main_window.h"
#include "display/pictures/bmp_writer.h"
#include "sim_program_test.h"

namespace roarmark {
namespace {

namespace fs = std::filesystem;

// Monitors the test rearranges at will, as a projector is plugged, unplugged or switched.
class TestMonitors : public platform::IMonitors {
 public:
  std::vector<platform::TMonitor> Monitors() override { return list; }
  std::vector<platform::TMonitor> list;
};

platform::TMonitor Monitor(int left, int width, int height) {
  const platform::TRect bounds{left, 0, left + width, height};
  return {bounds, bounds, left == 0};
}

class MonitorChangeTest : public test::SimProgramTest {
 protected:
  MonitorChangeTest() : SimProgramTest("monitors-") {
    fs::create_directories(data + "Files");
    platform::TPixels picture;
    picture.Width = 64;
    picture.Height = 48;
    picture.Pixels.assign(64u * 48u, 0xFF203040u);
    EXPECT_TRUE(WriteBmp24(data + "Files/Graphic.bmp", picture));
    std::ofstream(data + "Roarmark.ini") << "[Form]\nFullScreen=1\nMonitor=2\n";
    sim.wave_input.AddDevice("Line In");
  }
  // The program goes before the monitors it reads.
  ~MonitorChangeTest() override { program.reset(); }
  TestMonitors monitors;
};

TEST_F(MonitorChangeTest, DisplayFollowsItsMonitorThroughChanges) {
  monitors.list = {Monitor(0, 1920, 1080), Monitor(1920, 1280, 1024)};
  platform::TPlatform with_monitors = sim.Platform();
  with_monitors.Monitors = &monitors;
  program = std::make_unique<TRoarmarkProgram>(with_monitors);
  program->Start();
  sim.loop.DispatchPending();
  TForm1& main = *program->MainWindow();
  ASSERT_EQ(main.Left(), 1920);

  const struct {
    const char* Change;
    std::vector<platform::TMonitor> List;
    int Left, Top, Width, Height;
  } changes[] = {
      {"projector switched to 1024 x 768",
       {Monitor(0, 1920, 1080), Monitor(1920, 1024, 768)},
       1920,
       0,
       1024,
       768},
      {"projector unplugged", {Monitor(0, 1920, 1080)}, 0, 0, 1920, 1080},
      {"projector back", {Monitor(0, 1920, 1080), Monitor(1920, 1280, 1024)}, 1920, 0, 1280, 1024},
      {"monitor 1 grew, pushing the projector right",
       {Monitor(0, 2560, 1440), Monitor(2560, 1280, 1024)},
       2560,
       0,
       1280,
       1024},
  };
  for (const auto& c : changes) {
    monitors.list = c.List;
    // A burst of notices, as a plug-in gives, lays the display out once with the final list.
    program->MonitorsChanged();
    program->MonitorsChanged();
    sim.loop.DispatchPending();
    EXPECT_EQ(main.Left(), c.Left) << c.Change;
    EXPECT_EQ(main.Top(), c.Top) << c.Change;
    EXPECT_EQ(main.Width(), c.Width) << c.Change;
    EXPECT_EQ(main.Height(), c.Height) << c.Change;
  }
}

}  // namespace
}  // namespace roarmark
