// The show log and the readout's sound level on the sim platform, through the program's own
// start: a run with a lost input, and the limit's colours on the readout.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "../app/sim_program_test.h"
#include "core/main_window.h"
#include "display/pictures/bmp_writer.h"
#include "measure/show_log.h"
#include "measure/sound_meter.h"

namespace roarmark {
namespace {

using platform::sim::WaveSignal;

class ShowTest : public test::SimProgramTest {
 protected:
  explicit ShowTest(const std::string& sound) : SimProgramTest("show-") {
    std::filesystem::create_directories(data + "Files");
    platform::TPixels picture;
    picture.Width = 640;
    picture.Height = 360;
    picture.Pixels.assign(640u * 360u, 0xFF203040u);
    EXPECT_TRUE(WriteBmp24(data + "Files/Graphic.bmp", picture));
    std::ofstream(data + "Roarmark.ini")
        << "[Input]\nDevice Name=Mic\n[Form]\nShow Decimal=1\n[Sound]\n"
        << sound;
    sim.wave_input.AddDevice("Line In");
    sim.wave_input.AddDevice("Mic");
    sim.loop.SetSleepDriven(true);
  }
  void Buffers(int n) {
    for (int i = 0; i < n; ++i) {
      sim.wave_input.DeliverBuffers(1);
      sim.loop.DispatchPending();
      sim.loop.Advance(25);
    }
  }
  // The microphone is away for `polls` polls of the input-loss wait (100 ms each).
  void Unplugged(int polls) {
    int polled = 0;
    sim.loop.SetIdleDriver([&] {
      if (++polled == polls) sim.wave_input.Plug("Mic");
      sim.loop.GrantSleep(100);
      return true;
    });
    sim.wave_input.Unplug("Mic");
    Buffers(1);
    sim.loop.SetIdleDriver(nullptr);
  }
  std::vector<TLogRow> LogRows() {
    std::stringstream text;
    text << std::ifstream(data + "Logs/Show Log 0001.csv").rdbuf();
    return ParseLog(text.str());
  }
};

class ShowLogTest : public ShowTest {
 protected:
  ShowLogTest() : ShowTest("Calibration Offset=120.0\nReadout Unit=1\nLog=1\n") {}
};

// About ten minutes: 12000 buffers (13,200,000 samples: seconds 0..298 whole, 299 cut short by
// the loss), 30 s without the microphone, then 10,800 buffers (seconds 330..598 whole; 599 is
// not over when the program ends). A 1 kHz tone at -20 dBFS with offset 120 reads 100.0 dB, its
// C-weighted peak 103.0 dB; digital silence leaves the meter at rest, position 1, level 0.1.
TEST_F(ShowLogTest, ATenMinuteRunHasARowEverySecondAndMarksTheLostOnes) {
  ASSERT_TRUE(Start());
  sim.wave_input.SetSignal("Mic", WaveSignal::Sine(1000, -20));
  Buffers(12000);
  Unplugged(300);
  // The first buffer back ends the cut-short second and marks the lost ones, and saves: a crash
  // now would keep every row so far.
  Buffers(1);
  program->SoundMeter()->WaitForLog();
  EXPECT_EQ(LogRows().size(), 330u);
  Buffers(9999);
  sim.wave_input.SetSignal("Mic", WaveSignal::Silence());
  Buffers(800);
  program->App().Terminate();
  program.reset();

  const std::vector<TLogRow> rows = LogRows();
  ASSERT_EQ(rows.size(), 599u);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const TLogRow& r = rows[i];
    SCOPED_TRACE(RunTimeText(r.Second));
    EXPECT_EQ(r.Second, static_cast<std::int64_t>(i));
    EXPECT_EQ(r.Lost, i >= 300 && i < 330);
    if (r.Lost || i == 0 || i == 299 || i == 330 || i >= 579) continue;
    EXPECT_DOUBLE_EQ(r.LAeq, 100.0);
    EXPECT_DOUBLE_EQ(r.LAFmax, 100.0);
    EXPECT_DOUBLE_EQ(r.LCpeak, 103.0);
    EXPECT_EQ(r.Readout, "100.0 dB(A)");
  }
  EXPECT_DOUBLE_EQ(rows[598].Level, 0.1);
  EXPECT_FALSE(rows[0].Limit);
  EXPECT_TRUE(std::filesystem::exists(data + "Logs/Show Log 0001.png"));
}

class LimitColourTest : public ShowTest {
 protected:
  LimitColourTest()
      : ShowTest("Calibration Offset=120.0\nReadout Unit=1\nLimit=99.0\nLimit Minutes=1\n") {}
};

// A limit of 99 dB over one minute: a tone of 97 dB is within 3 dB of it (warning, orange
// 0x0080FF), one of 102 dB above it (alarm, red 0x0000FF); the 0..100 readout takes the colours
// as well.
TEST_F(LimitColourTest, TheReadoutWarnsWithin3dBAndAlarmsAboveTheLimit) {
  ASSERT_TRUE(Start());
  TForm1& main = *program->MainWindow();
  sim.wave_input.SetSignal("Mic", WaveSignal::Sine(1000, -23));
  Buffers(62 * 40);
  EXPECT_EQ(main.Display.LastReadoutText, "97.0 dB(A)");
  EXPECT_EQ(main.Display.Drawn.Readout.Digits, 0xFFFF8000u);
  sim.wave_input.SetSignal("Mic", WaveSignal::Sine(1000, -18));
  Buffers(62 * 40);
  EXPECT_EQ(main.Display.LastReadoutText, "102.0 dB(A)");
  EXPECT_EQ(main.Display.Drawn.Readout.Digits, 0xFFFF0000u);
  main.Settings.Sound.ReadoutUnit = 0;
  Buffers(2 * 40);
  EXPECT_NE(main.Display.LastReadoutText->find(" dB"), 0u);
  EXPECT_EQ(main.Display.LastReadoutText->find("dB"), std::string::npos);
  EXPECT_EQ(main.Display.Drawn.Readout.Digits, 0xFFFF0000u);
}

}  // namespace
}  // namespace roarmark
