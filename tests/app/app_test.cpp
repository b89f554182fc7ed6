// The whole program on the sim platform through its own start-up: the cases that need paths,
// pixels or the device's own bookkeeping rather than a script.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "../temp_folder.h"
#include "app/application.h"
#include "core/main_window.h"
#include "display/pictures/bmp_reader.h"
#include "display/pictures/bmp_writer.h"
#include "platform/sim/sim_platform.h"
#include "platform/ui/application.h"
#include "setup/setup_dialog.h"
#include "sim_program_test.h"

namespace roarmark {
namespace {

namespace fs = std::filesystem;
using platform::sim::ProcessEnded;
using platform::sim::SimPlatform;
using platform::sim::WaveSignal;
using platform::ui::TImageView;

class AppTest : public test::SimProgramTest {
 protected:
  AppTest() : SimProgramTest("app-") {}

  void Picture(const std::string& rel, int w, int h, std::uint32_t rgb) {
    fs::create_directories(fs::path(data + rel).parent_path());
    platform::TPixels p;
    p.Width = w;
    p.Height = h;
    p.Pixels.assign(static_cast<std::size_t>(w) * h, 0xFF000000u | rgb);
    ASSERT_TRUE(WriteBmp24(data + rel, p));
  }
  void Ini(const std::string& text) {
    fs::create_directories(data);
    std::ofstream(data + "Roarmark.ini") << text;
  }
  void Buffers(int n) {
    for (int i = 0; i < n; ++i) {
      sim.wave_input.DeliverBuffers(1);
      sim.loop.DispatchPending();
      sim.loop.Advance(25);
    }
  }
  std::vector<std::string> Texts() {
    std::vector<std::string> out;
    for (const auto& r : sim.dialogs.TakeMessages())
      out.push_back(r.text);
    return out;
  }
  std::uint32_t DisplayPixel(int x, int y) {
    return program->MainWindow()->Display.DisplayBitmap.Pixel(x, y);
  }
};

TEST_F(AppTest, FirstStartCreatesTheDataFolderWithTheDefaultPicture) {
  sim.wave_input.AddDevice("Mic");
  ASSERT_TRUE(Start());
  EXPECT_TRUE(Texts().empty());
  EXPECT_TRUE(fs::is_directory(data + "Help"));
  platform::TPixels picture;
  ASSERT_TRUE(DecodeBmpFile(data + "Files/Graphic.bmp", picture));
  EXPECT_EQ(picture.Width, 1920);
  EXPECT_EQ(picture.Height, 1080);
}

TEST_F(AppTest, AnExistingDataFolderIsNeverFilledIn) {
  fs::create_directories(data);  // there, but empty
  sim.wave_input.AddDevice("Mic");
  EXPECT_FALSE(Start());
  EXPECT_EQ(sim.loop.EndCode(), 1);
  EXPECT_FALSE(fs::exists(data + "Files"));
  ASSERT_EQ(Texts().size(), 2u);
}

TEST_F(AppTest, MeterLightsForSoundAndFallsDarkInSilence) {
  Picture("Files/Graphic.bmp", 1920, 1080, 0x000000);
  Ini("[Form]\ncal=0\n");
  sim.wave_input.AddDevice("Mic");
  sim.wave_input.SetSignal(0, WaveSignal::Square(0));
  ASSERT_TRUE(Start());
  Buffers(1);
  // Default meter box: columns 188..315, rows 114..763. The bottom block (rows 753..763) is
  // ramp entry 0, the base colour, blue; rows 751..752 are the gap above it.
  EXPECT_EQ(DisplayPixel(200, 760), 0xFF0000FFu);
  EXPECT_EQ(DisplayPixel(200, 752), 0xFF000000u);  // the gap between blocks 0 and 1
  sim.wave_input.SetSignal(0, WaveSignal::Silence());
  Buffers(110);                                    // falls 10 per buffer from 1020 to rest at 1
  EXPECT_EQ(DisplayPixel(200, 760), 0xFF002626u);  // unlit: the bar background
  EXPECT_EQ(program->MainWindow()->State.Position, 1);
}

// The area the main window reports after a buffer must hold every pixel the buffer changed, or
// a backend that repaints only that area would leave stale pixels on the screen.
TEST_F(AppTest, ReportedDrawnAreaHoldsEveryChangedPixel) {
  const struct {
    const char* form;
  } cases[] = {
      {"Style=1\n"},
      {"Style=1\nMeter Height=30\nBlocks=0\n"},
      {"Style=2\nMeter Width=500\nMeter Height=100\n"},
      {"Style=2\nMeter Width=37\n"},
      {"Style=3\nMeter Width=600\nMeter Height=300\nMeter Position X=400\n"},
      {"Style=1\nReadout Position X=900\nReadout Position Y=100\nTransparent=1\n"},
  };
  for (const auto& c : cases) {
    Picture("Files/Graphic.bmp", 1280, 900, 0x203040);
    Ini(std::string("[Form]\ncal=0\nColorPeak=1\n") + c.form);
    SimPlatform fresh;  // a fresh platform for each layout
    fresh.shell.SetCommonAppDataFolder(root.string());
    fresh.monitors.AddMonitor(1920, 1080, 0, 0, 1920, 1040);
    fresh.wave_input.AddDevice("Mic");
    TRoarmarkProgram run(fresh.Platform());
    run.Start();
    TForm1& w = *run.MainWindow();
    const TBitmap32& bitmap = w.Display.DisplayBitmap;
    w.Image1.TakeChangedArea();  // the start's whole picture
    for (WaveSignal signal :
         {WaveSignal::Square(0), WaveSignal::Square(-20), WaveSignal::Silence()}) {
      const std::vector<std::uint32_t> before(
          bitmap.Bits(), bitmap.Bits() + std::size_t(bitmap.Width()) * bitmap.Height());
      fresh.wave_input.SetSignal(0, signal);
      fresh.wave_input.DeliverBuffers(1);
      fresh.loop.DispatchPending();
      const TImageView::TChangedArea changed = w.Image1.TakeChangedArea();
      ASSERT_FALSE(changed.Whole) << c.form;
      const platform::TRect area = changed.Area;
      for (int y = 0; y < bitmap.Height(); ++y) {
        for (int x = 0; x < bitmap.Width(); ++x) {
          if (bitmap.Pixel(x, y) != before[std::size_t(y) * bitmap.Width() + x]) {
            ASSERT_TRUE(area.Contains({x, y})) << c.form << " pixel " << x << "," << y;
          }
        }
      }
    }
  }
}

TEST_F(AppTest, JpgInAFolderNameMeansJpeg) {
  Picture("Files/Graphic.bmp", 200, 100, 0x000000);
  Picture("Files/show.jpg/stage.bmp", 64, 32, 0xFFFFFF);
  Ini("[Form]\nFitScreen=0\nGraphic Filename=" + data + "Files/show.jpg/stage.bmp\n");
  sim.wave_input.AddDevice("Mic");
  ASSERT_TRUE(Start());
  EXPECT_EQ(Texts(), (std::vector<std::string>{
                         "Error in the background image file or file not found.\n\r\n\rThe "
                         "default image will be used."}));
  EXPECT_EQ(program->MainWindow()->Settings.GraphicFilename, data + "Files/Graphic.bmp");
  EXPECT_EQ(program->MainWindow()->ClientWidth(), 200);
}

// The picture dialog offers PNG files with the others and on their own, in either letter case.
TEST_F(AppTest, BrowseOffersPngPictures) {
  Picture("Files/Graphic.bmp", 200, 100, 0x000000);
  sim.wave_input.AddDevice("Mic");
  ASSERT_TRUE(Start());
  sim.dialogs.QueueAnswer(platform::sim::DialogAnswer::Cancel());
  program->SetupDialog()->Button5Click();
  ASSERT_FALSE(sim.dialogs.Records().empty());
  EXPECT_EQ(sim.dialogs.Records().back().file.Filter,
            "Background Graphic (*.jpg; *.bmp; *.png)|*jpg;*bmp;*png;*BMP;*JPG;*PNG | Background "
            "Graphic (*.bmp)|*bmp;*BMP  | Background Graphic (*.jpg) | *jpg; *JPG | Background "
            "Graphic (*.png) | *png; *PNG");
}

TEST_F(AppTest, LargePicturesAreShownEightHundredHigh) {
  Picture("Files/Graphic.bmp", 4000, 3000, 0x102030);
  Ini("[Form]\nFitScreen=0\n");
  sim.wave_input.AddDevice("Mic");
  ASSERT_TRUE(Start());
  TForm1& w = *program->MainWindow();
  EXPECT_EQ(w.Display.BackgroundBitmap.Width(), 1066);
  EXPECT_EQ(w.Display.BackgroundBitmap.Height(), 800);
  EXPECT_EQ(w.ClientWidth(), 1066);
  EXPECT_EQ(w.ClientHeight(), 800);
}

TEST_F(AppTest, ClosingStopsTheCaptureInOrder) {
  Picture("Files/Graphic.bmp", 320, 200, 0x000000);
  sim.wave_input.AddDevice("Mic");
  ASSERT_TRUE(Start());
  Buffers(2);
  program->MainWindow()->Close();
  EXPECT_EQ(sim.loop.EndCode(), 0);
  EXPECT_EQ(sim.wave_input.OpenHandleCount(), 0);
  EXPECT_EQ(sim.wave_input.CountCalls("Reset"), 1);
}

TEST_F(AppTest, StoredReferenceReachesTheEngineWithoutActivation) {
  Picture("Files/Graphic.bmp", 320, 200, 0x000000);
  Ini("[Form]\ncal=-20\ndecay=abc\n");
  sim.wave_input.AddDevice("Mic");
  ASSERT_TRUE(Start());
  EXPECT_EQ(program->MainWindow()->State.DecayStep, 2);  // not an integer: the cycle's fallback
  sim.wave_input.SetSignal(0, WaveSignal::Constant(3311, 3311));
  Buffers(1);
  EXPECT_EQ(program->MainWindow()->State.Position, 1020);  // divisor 1: envelope 3272
}

}  // namespace
}  // namespace roarmark
