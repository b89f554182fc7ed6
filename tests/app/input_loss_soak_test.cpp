// A long show with a loose cable: a hundred unplug/replug cycles with sound flowing between them
// must leave the program exactly as it was after the first, in devices, buffers and memory.
#include <gtest/gtest.h>
#include <malloc.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/application.h"
#include "core/capture_session.h"
#include "core/input_loss_dialog.h"
#include "core/main_window.h"
#include "display/pictures/bmp_writer.h"
#include "platform/sim/sim_platform.h"

#if defined(__SANITIZE_ADDRESS__)
#define ROARMARK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ROARMARK_ASAN 1
#endif
#endif
#ifdef ROARMARK_ASAN
// From the sanitizer runtime (GCC ships no header for it).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace roarmark {
namespace {

namespace fs = std::filesystem;
using platform::sim::SimPlatform;
using platform::sim::WaveSignal;

// Bytes the heap holds for the program right now.
std::size_t HeapInUse() {
#ifdef ROARMARK_ASAN
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

class InputLossSoak : public ::testing::Test {
 protected:
  InputLossSoak() {
    std::string pattern = (fs::temp_directory_path() / "roarmark-soak-XXXXXX").string();
    root = mkdtemp(pattern.data());
    const std::string data = root + "/Quillmoor/Roarmark/";
    fs::create_directories(data + "Files");
    platform::TPixels picture;
    picture.Width = 640;
    picture.Height = 480;
    picture.Pixels.assign(640u * 480u, 0xFF203040u);
    EXPECT_TRUE(WriteBmp24(data + "Files/Graphic.bmp", picture));
    std::ofstream(data + "Roarmark.ini") << "[Input]\nDevice Name=USB Mic\n";
    sim.shell.SetCommonAppDataFolder(root);
    sim.monitors.AddMonitor(1920, 1080, 0, 0, 1920, 1040);
    sim.wave_input.AddDevice("Line In");
    sim.wave_input.AddDevice("USB Mic");
    sim.wave_input.SetSignal("USB Mic", WaveSignal::Sine(440, -12));
    sim.loop.SetSleepDriven(true);
  }
  ~InputLossSoak() override {
    program.reset();
    fs::remove_all(root);
  }

  void Buffers(int n) {
    for (int i = 0; i < n; ++i) {
      sim.wave_input.DeliverBuffers(1);
      sim.loop.DispatchPending();
      sim.loop.Advance(25);
    }
  }

  // Unplugs the microphone, lets the wait poll three times, plugs it back in and lets the
  // wait end on its own.
  void UnplugAndReplug() {
    int polls = 0;
    sim.loop.SetIdleDriver([&] {
      if (++polls == 3) sim.wave_input.Plug("USB Mic");
      sim.loop.GrantSleep(100);
      return true;
    });
    sim.wave_input.Unplug("USB Mic");
    Buffers(1);  // its replacement cannot be prepared: the wait runs inside this buffer
    sim.loop.SetIdleDriver(nullptr);
  }

  std::string root;
  SimPlatform sim;
  std::unique_ptr<TRoarmarkProgram> program;
};

TEST_F(InputLossSoak, HundredUnplugCyclesLeaveOneDeviceThreeBuffersAndFlatMemory) {
  program = std::make_unique<TRoarmarkProgram>(sim.Platform());
  program->Start();
  TForm1& main = *program->MainWindow();
  std::size_t heap_after_warm_up = 0;
  for (int cycle = 1; cycle <= 100; ++cycle) {
    SCOPED_TRACE("cycle " + std::to_string(cycle));
    Buffers(40);
    sim.wave_input.ClearCalls();
    UnplugAndReplug();
    EXPECT_EQ(sim.wave_input.CountCalls("Reset"), 1);  // one wait
    EXPECT_EQ(sim.wave_input.CountCalls("Open"), 1);   // one reopen
    EXPECT_FALSE(main.Recovering());
    EXPECT_FALSE(main.InputLoss->Visible());
    EXPECT_EQ(sim.wave_input.OpenHandleCount(), 1);
    EXPECT_LE(main.Capture->Outstanding(), 3);
    EXPECT_EQ(sim.wave_input.QueuedCount(main.Capture->Handle), 3);
    sim.wave_input.ClearCalls();
    sim.loop.ClearSleeps();
    if (cycle == 10) heap_after_warm_up = HeapInUse();
    if (::testing::Test::HasFailure()) break;
  }
  Buffers(40);
  EXPECT_GT(main.State.Position, 500);  // the meter still measures the tone
  // Ninety cycles that each kept so much as one capture block (4400 bytes) would add 400 kB.
  const std::size_t heap_now = HeapInUse();
  EXPECT_LT(heap_now, heap_after_warm_up + 16 * 1024)
      << "grew by " << (heap_now - heap_after_warm_up) << " bytes";
}

// A record of the show hears of each wait: the loss, then the device back with the wait's length
// (four polls of 100 ms: three find nothing, the microphone is plugged in during the third).
TEST_F(InputLossSoak, EachWaitIsToldAsALossThenTheDeviceBackWithTheWaitsLength) {
  program = std::make_unique<TRoarmarkProgram>(sim.Platform());
  program->Start();
  std::vector<std::string> told;
  program->MainWindow()->InputEvent = [&](const TForm1::TInputEvent& event) {
    const char* kinds[] = {"chosen", "lost", "back"};
    told.push_back(std::string(kinds[static_cast<int>(event.Kind)]) + " \"" + event.DeviceName +
                   "\" " + std::to_string(event.WaitMs));
  };
  Buffers(4);
  UnplugAndReplug();
  EXPECT_EQ(told, (std::vector<std::string>{"lost \"\" 0", "back \"USB Mic\" 400"}));
}

}  // namespace
}  // namespace roarmark
