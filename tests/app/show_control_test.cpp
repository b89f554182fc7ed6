// Show control on the sim platform through the program's own start-up: the starter set of a
// first start, thumbnails of the main window, and settings files written and read back.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <csignal>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "../temp_folder.h"
#include "app/application.h"
#include "core/main_window.h"
#include "display/pictures/bmp_reader.h"
#include "display/pictures/bmp_writer.h"
#include "display/pictures/default_picture.h"
#include "display/readout.h"
#include "platform/sim/sim_platform.h"
#include "platform/ui/application.h"
#include "settings/ini_file.h"
#include "settings/paths.h"
#include "settings/preset_list_window.h"
#include "settings/settings_file.h"
#include "sim_program_test.h"

namespace roarmark {
namespace {

namespace fs = std::filesystem;
using platform::sim::ProcessEnded;
using platform::sim::SimPlatform;
using namespace platform::ui;

class ShowControlTest : public test::SimProgramTest {
 protected:
  ShowControlTest() : SimProgramTest("show-") {}
  TForm1& Main() { return *program->MainWindow(); }
  // Where the readout of the layout shown stands.
  TRect ReadoutBox() {
    const TMeterSettings& s = Main().Settings;
    return {s.ReadoutX, s.ReadoutY, std::int64_t{s.ReadoutX} + ReadoutWidth(Main().Display, s),
            std::int64_t{s.ReadoutY} + ReadoutHeight(Main().Display)};
  }
  std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
  }
};

// The five starter layouts, Ctrl+1 to Ctrl+5, each differ, keep the meter box and the whole
// readout on the picture (the readout alone has a meter of no size), and come with a 240 x 135
// thumbnail of a 1920 x 1080 layout.
TEST_F(ShowControlTest, FirstStartLaysOutStarterLayoutsOnTheFiveFirstPresetKeys) {
  sim.wave_input.AddDevice("Mic");
  ASSERT_TRUE(Start());
  EXPECT_TRUE(sim.dialogs.TakeMessages().empty());
  for (const char* rel : {"Roarmark.ini", "default.bmp", "Files/Graphic.bmp", "Files/Dial.bmp"})
    EXPECT_TRUE(fs::is_regular_file(data + rel)) << rel;
  const std::string list = Slurp(data + "Files/Settings.dat");
  std::size_t lines = 0;
  for (std::size_t at = list.find("\r\n"); at != std::string::npos; at = list.find("\r\n", at + 2))
    ++lines;
  EXPECT_EQ(lines, 10u);
  ASSERT_EQ(Main().PresetList.size(), 10u);
  for (std::size_t slot = 0; slot < 10; ++slot)
    EXPECT_EQ(Main().PresetList[slot].empty(), slot == 0 || slot > 5) << slot;

  auto inside = [](const TRect& box, int w, int h) {
    return box.Left >= 0 && box.Top >= 0 && box.Right <= w && box.Bottom <= h && box.Width() > 0 &&
           box.Height() > 0;
  };
  std::set<std::string> layouts;
  std::set<std::vector<std::uint32_t>> thumbnails;
  for (int slot = 0; slot <= 5; ++slot) {
    Main().Image1.SetFocus();
    ASSERT_TRUE(Main().UserKey(VkDigit(slot), ssCtrl));
    const TMeterSettings& s = Main().Settings;
    const TBitmap32& bg = Main().Display.BackgroundBitmap;
    ASSERT_EQ(bg.Width(), 1920);
    ASSERT_EQ(bg.Height(), 1080);
    const TRect readout = ReadoutBox();
    EXPECT_TRUE(inside(readout, 1920, 1080)) << "slot " << slot;
    if (s.MeterWidth > 0 && s.MeterHeight > 0) {  // a box of no size draws nothing
      EXPECT_TRUE(inside(MeterBox(s), 1920, 1080)) << "slot " << slot;
    }
    if (s.Style == kStyleAnalogue) {
      // The needle's tip, 10 beyond its length, reaches sin 60.19 = 0.868 of that sideways at
      // either end of the sweep: the whole sweep stays in the box, over its dial.
      EXPECT_GT(s.MeterWidth / 2, (s.MeterHeight * 95 / 100 + 10) * 0.868) << "slot " << slot;
    }
    std::ostringstream key;
    key << s.Style << ' ' << s.MeterX << ' ' << s.MeterY << ' ' << s.MeterWidth << ' '
        << s.MeterHeight << ' ' << s.ReadoutX << ' ' << s.ReadoutY << ' ' << s.FontSize;
    layouts.insert(key.str());
    if (slot == 0) continue;  // slot 0 is left free: Ctrl+0 keeps the layout of the start
    const std::string cfg =
        PortablePath(Main().PresetList[static_cast<std::size_t>(slot)], Main().DataFolder);
    platform::TPixels thumbnail;
    ASSERT_TRUE(DecodeBmpFile(ReplaceExtension(cfg, ".thm"), thumbnail)) << cfg;
    EXPECT_EQ(thumbnail.Width, 240);
    EXPECT_EQ(thumbnail.Height, 135);
    thumbnails.insert(thumbnail.Pixels);
  }
  EXPECT_EQ(layouts.size(), 6u);  // the start's own layout and five others
  EXPECT_EQ(thumbnails.size(), 5u);
  EXPECT_TRUE(sim.dialogs.TakeMessages().empty());
}

// Each starter layout, as the display shows it with the meter running, is the bare stage
// everywhere but where its own meter and readout stand: a panel around bars (which the bars do
// not cover: the panel reaches beyond them), a dial around the needle, nothing for the readout
// alone.
TEST_F(ShowControlTest, EachStarterLayoutHasAPanelWhereItsMeterStandsAndNoneElsewhere) {
  sim.wave_input.AddDevice("Mic");
  sim.wave_input.SetSignal(0, platform::sim::WaveSignal::Square(-6));
  ASSERT_TRUE(Start());
  const platform::TPixels stage = MakeStagePicture({});
  auto brightness = [](std::uint32_t c) { return (c >> 16 & 0xFF) + (c >> 8 & 0xFF) + (c & 0xFF); };
  for (int slot = 0; slot <= 5; ++slot) {
    Main().Image1.SetFocus();
    ASSERT_TRUE(Main().UserKey(VkDigit(slot), ssCtrl));
    for (int i = 0; i < 3; ++i) {
      sim.wave_input.DeliverBuffers(1);
      sim.loop.DispatchPending();
      sim.loop.Advance(25);
    }
    const TMeterSettings& s = Main().Settings;
    const TBitmap32& shown = Main().Display.DisplayBitmap;
    ASSERT_EQ(shown.Width(), 1920);
    ASSERT_EQ(shown.Height(), 1080);
    const TRect readout = ReadoutBox();
    const TRect meter = MeterBox(s);
    // The meter's own area: its panel (and its soft edge), or the dial, whose labels stand
    // outside the arc and whose panel holds the readout under the pivot: it reaches up to 40 %
    // of the box's height beyond the box.
    TRect own;
    if (s.Style == kStyleAnalogue) {
      const std::int64_t reach = meter.Height() * 2 / 5;
      own = {meter.Left - reach, meter.Top - reach, meter.Right + reach, meter.Bottom + reach};
    } else if (!meter.Empty()) {
      const std::int64_t reach = kMeterPanelMargin + 2;
      own = {meter.Left - reach, meter.Top - reach, meter.Right + reach, meter.Bottom + reach};
    }
    auto inside = [](const TRect& r, int x, int y) {
      return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
    };
    int stray = 0;
    for (int y = 0; y < 1080; ++y) {
      for (int x = 0; x < 1920; ++x) {
        if (inside(own, x, y) || inside(readout, x, y)) continue;
        if (shown.Pixel(x, y) != stage.Pixels[static_cast<std::size_t>(y) * 1920 + x]) ++stray;
      }
    }
    EXPECT_EQ(stray, 0) << "slot " << slot << ": pixels off the stage outside the meter";
    if (!own.Empty()) {
      // Half-way up the box, half-way between its left edge and the panel's: a dark panel,
      // not the stage.
      const int x = static_cast<int>(meter.Left) - kMeterPanelMargin / 2;
      const int y = static_cast<int>((meter.Top + meter.Bottom) / 2);
      EXPECT_NE(shown.Pixel(x, y), stage.Pixels[static_cast<std::size_t>(y) * 1920 + x])
          << "slot " << slot;
      EXPECT_LT(brightness(shown.Pixel(x, y)), 60u) << "slot " << slot;
    }
  }
}

TEST_F(ShowControlTest, StartWithoutADeviceLeavesAFreshMachineUntouched) {
  EXPECT_FALSE(Start());
  EXPECT_FALSE(fs::exists(data));
}

// A first start cut short by a full disk (here a file-size limit, so every write past 1 MB
// fails) leaves no data folder and no half-made one beside it, ends with one message naming the
// folder and the reason, and the next start lays the whole set out.
TEST_F(ShowControlTest, AFirstStartCutShortLeavesNothingAndTheNextStartMakesTheFolder) {
  sim.wave_input.AddDevice("Mic");
  rlimit old{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
  const auto previous = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = old;
  small.rlim_cur = 1 << 20;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool started = Start();
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &old), 0);
  std::signal(SIGXFSZ, previous);

  EXPECT_FALSE(started);
  EXPECT_EQ(sim.loop.EndCode(), std::optional<int>(1));
  const auto messages = sim.dialogs.TakeMessages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].caption, "Roarmark Error");
  EXPECT_TRUE(messages[0].text.starts_with("Cannot create the data folder -  \n\r" + data + "\n\r"))
      << messages[0].text;
  EXPECT_NE(messages[0].text.find("File too large"), std::string::npos) << messages[0].text;
  EXPECT_FALSE(fs::exists(data));
  EXPECT_TRUE(fs::is_empty(root / "Quillmoor"));

  // What a start killed while it wrote leaves beside the folder is cleared by the next one.
  const fs::path killed = root / "Quillmoor" / ".Roarmark.new-killed01";
  fs::create_directories(killed / "Files");
  fs::last_write_time(killed, fs::file_time_type::clock::now() - std::chrono::hours(1));

  program.reset();
  ASSERT_TRUE(Start());
  EXPECT_TRUE(sim.dialogs.TakeMessages().empty());
  EXPECT_FALSE(fs::exists(killed));
  for (const char* rel : {"Roarmark.ini", "default.bmp", "Files/Graphic.bmp", "Files/Settings.dat",
                          "Files/Vertical Bars.thm"})
    EXPECT_TRUE(fs::is_regular_file(data + rel)) << rel;
}

TEST_F(ShowControlTest, AnExistingDataFolderGetsNoStarterFiles) {
  fs::create_directories(data + "Files");
  platform::TPixels p;
  p.Width = 64;
  p.Height = 48;
  p.Pixels.assign(64 * 48, 0xFF000000u);
  ASSERT_TRUE(WriteBmp24(data + "Files/Graphic.bmp", p));
  sim.wave_input.AddDevice("Mic");
  ASSERT_TRUE(Start());
  EXPECT_FALSE(fs::exists(data + "Roarmark.ini"));
  EXPECT_FALSE(fs::exists(data + "Files/Settings.dat"));
  EXPECT_FALSE(fs::exists(data + "default.bmp"));
}

// The thumbnail keeps within 240 x 200 by the smaller scale; its name is the settings file's
// with the extension of the file-name part replaced.
TEST_F(ShowControlTest, ThumbnailOfTheMainWindowBesideItsSettingsFile) {
  sim.wave_input.AddDevice("Mic");
  ASSERT_TRUE(Start());
  const struct {
    int w, h;
    const char* settings;
    const char* thumbnail;
    int tw, th;
  } cases[] = {
      {1920, 1080, "a.cfg", "a.thm", 240, 135},
      {1280, 1024, "b.cfg", "b.thm", 240, 192},
      {600, 800, "c.cfg", "c.thm", 150, 200},
      {700, 700, "d", "d.thm", 200, 200},
      {1000, 900, "shows.v2/gala", "shows.v2/gala.thm", 222, 200},
  };
  fs::create_directories(data + "shows.v2");
  for (const auto& c : cases) {
    Main().SetBounds(0, 0, c.w, c.h);
    const std::uint32_t before = sim.loop.TickCount();
    Main().CaptureThumbnail(data + c.settings);
    EXPECT_GE(sim.loop.TickCount() - before, 250u);
    platform::TPixels thumbnail;
    ASSERT_TRUE(DecodeBmpFile(data + c.thumbnail, thumbnail)) << c.thumbnail;
    EXPECT_EQ(thumbnail.Width, c.tw) << c.w << "x" << c.h;
    EXPECT_EQ(thumbnail.Height, c.th) << c.w << "x" << c.h;
  }
  // A settings file named ".thm" is never replaced by its own thumbnail.
  std::ofstream(data + "x.thm") << "[Form]\nStyle=2\n";
  Main().CaptureThumbnail(data + "x.thm");
  EXPECT_EQ(Slurp(data + "x.thm"), "[Form]\nStyle=2\n");
}

TEST_F(ShowControlTest, SavingASettingsFileOverAPictureIsRefused) {
  sim.wave_input.AddDevice("Mic");
  ASSERT_TRUE(Start());
  const std::string picture = Slurp(data + "default.bmp");
  EXPECT_THROW(Main().SaveSettingsFile(data + "default.bmp"), TFileWriteError);
  EXPECT_EQ(Slurp(data + "default.bmp"), picture);
}

// A release on a cell selects its row; a release below the last row or right of the last
// column, where there is no cell, keeps the row selected before.
TEST_F(ShowControlTest, PresetListReleaseOutsideTheCellsKeepsTheSelection) {
  TApplication app(sim.Platform());
  TForm3 list(app);
  list.Show();
  EXPECT_EQ(list.SelectedRow(), 0);
  ASSERT_TRUE(list.FileList.UserClickCell(1, 3));
  EXPECT_EQ(list.SelectedRow(), 3);
  // Ten rows of 24 pixels and a grid line fill 250 of the grid's 253 pixels; the two columns
  // 52 + 1 and 545 + 1 fill 599 of its 601.
  ASSERT_TRUE(list.FileList.UserMouseUp(TMouseButton::mbLeft, 100, 251));
  ASSERT_TRUE(list.FileList.UserMouseUp(TMouseButton::mbLeft, 600, 10));
  EXPECT_EQ(list.SelectedRow(), 3);
  ASSERT_TRUE(list.FileList.UserMouseUp(TMouseButton::mbLeft, 10, 30));  // the fixed column
  EXPECT_EQ(list.SelectedRow(), 1);
}

}  // namespace
}  // namespace roarmark
