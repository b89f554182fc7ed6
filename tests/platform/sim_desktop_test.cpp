// The sim desktop: monitors, system colours, shell and what a screen capture sees.
#include "platform/sim/sim_desktop.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_platform.h"
#include "platform/ui/image_view.h"

namespace roarmark::platform::sim {
namespace {

TEST(SimMonitorsTest, DefaultIsOneFullHdMonitorAboveATaskBar) {
  SimMonitors monitors;
  auto list = monitors.Monitors();
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].Bounds, (TRect{0, 0, 1920, 1080}));
  EXPECT_EQ(list[0].WorkArea, (TRect{0, 0, 1920, 1040}));
  EXPECT_TRUE(list[0].Primary);
}

TEST(SimMonitorsTest, AddedMonitorsStandSideBySideLeftToRight) {
  SimMonitors monitors;
  monitors.AddMonitor(1280, 1024, 0, 0, 1280, 984);
  monitors.AddMonitor(1920, 1080, 0, 40, 1920, 1040);
  auto list = monitors.Monitors();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].Bounds, (TRect{0, 0, 1280, 1024}));
  EXPECT_EQ(list[1].Bounds, (TRect{1280, 0, 3200, 1080}));
  EXPECT_EQ(list[1].WorkArea, (TRect{1280, 40, 3200, 1080}));
  EXPECT_FALSE(list[1].Primary);
}

TEST(SimSystemColoursTest, WindowsTableAsSettingsColoursAndBlackBeyond) {
  SimSystemColours colours;
  const std::pair<int, std::uint32_t> cases[] = {
      {5, 0xFFFFFF},   // window
      {15, 0xF0F0F0},  // button face
      {8, 0x000000},   // window text
      {13, 0xD77800},  // highlight RGB(0, 120, 215) as 0x00BBGGRR
      {24, 0xE1FFFF},  // tooltip background RGB(255, 255, 225)
      {31, 0},        {1000, 0}, {-1, 0},
  };
  for (auto [index, colour] : cases)
    EXPECT_EQ(colours.SystemColour(index), colour) << index;
  EXPECT_EQ(PixelColour(0x0000FF, colours), 0xFFFF0000u) << "red in the low byte";
  EXPECT_EQ(PixelColour(0x8000000F, colours), 0xFFF0F0F0u);
}

TEST(SimShellTest, RecordsWhatItOpensAndAnswersAsSet) {
  SimShell shell;
  EXPECT_GT(shell.OpenDocument("/data/Help/Roarmark Help English.pdf"), 32);
  shell.SetOpenResult(2);
  EXPECT_EQ(shell.OpenDocument("https://example.org"), 2);
  EXPECT_EQ(shell.Opened(), (std::vector<std::string>{"/data/Help/Roarmark Help English.pdf",
                                                      "https://example.org"}));
  EXPECT_EQ(shell.CommonAppDataFolder(), "");
  shell.SetCommonAppDataFolder("/tmp/common");
  EXPECT_EQ(shell.CommonAppDataFolder(), "/tmp/common");
}

TEST(SimLocaleTest, DecimalSeparatorIsDotUntilSet) {
  SimLocale locale;
  EXPECT_EQ(locale.DecimalSeparator(), '.');
  locale.SetDecimalSeparator(',');
  EXPECT_EQ(locale.DecimalSeparator(), ',');
}

// A borderless 8 x 4 main form with a 4 x 2 picture, and a dialog partly over it.
class ScreenCaptureTest : public ::testing::Test {
 protected:
  ScreenCaptureTest() {
    main.SetBorderStyle(ui::TBorderStyle::bsNone);
    main.SetBounds(10, 20, 8, 4);
    image.SetBounds(0, 0, 8, 4);
    image.SetImage(TPixelsView{pixels.data(), 4, 2});
    main.Show();
  }
  std::uint32_t At(const TPixels& shot, int x, int y) {
    return shot.Pixels[static_cast<std::size_t>(y * shot.Width + x)];
  }

  SimPlatform sim;
  ui::TApplication app{sim.Platform()};
  ui::TForm main{app, "TForm1"};
  ui::TImageView image{&main, "Image1"};
  std::vector<std::uint32_t> pixels = {0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004,
                                       0xFF000005, 0xFF000006, 0xFF000007, 0xFF000008};
};

TEST_F(ScreenCaptureTest, ImageShownOneToOneOverGrey) {
  TPixels shot = sim.screen_capture.CaptureScreen(RectOfSize(9, 20, 10, 4));
  ASSERT_EQ(shot.Width, 10);
  ASSERT_EQ(shot.Height, 4);
  EXPECT_EQ(At(shot, 0, 0), 0xFF000000u) << "desktop left of the window";
  EXPECT_EQ(At(shot, 1, 0), 0xFF000001u);
  EXPECT_EQ(At(shot, 4, 1), 0xFF000008u);
  EXPECT_EQ(At(shot, 5, 0), ui::kImageViewBackground);
  EXPECT_EQ(At(shot, 1, 2), ui::kImageViewBackground);
  EXPECT_EQ(At(shot, 9, 3), 0xFF000000u) << "desktop right of the window";
}

TEST_F(ScreenCaptureTest, StretchedImageUsesNearestNeighbour) {
  image.SetScaleMode(ui::TScaleMode::smStretch);
  TPixels shot = sim.screen_capture.CaptureScreen(RectOfSize(10, 20, 8, 4));
  // Each image pixel covers 2 x 2 screen pixels.
  EXPECT_EQ(At(shot, 0, 0), 0xFF000001u);
  EXPECT_EQ(At(shot, 1, 1), 0xFF000001u);
  EXPECT_EQ(At(shot, 2, 1), 0xFF000002u);
  EXPECT_EQ(At(shot, 7, 3), 0xFF000008u);
}

TEST_F(ScreenCaptureTest, FrontMostFormIsPaintedLast) {
  ui::TForm dialog{app, "TForm2"};
  dialog.SetBorderStyle(ui::TBorderStyle::bsNone);
  dialog.SetBounds(14, 20, 10, 2);
  dialog.Show();
  TPixels shot = sim.screen_capture.CaptureScreen(RectOfSize(10, 20, 8, 4));
  EXPECT_EQ(At(shot, 3, 0), 0xFF000004u);
  EXPECT_EQ(At(shot, 4, 0), 0xFFF0F0F0u) << "the dialog in button face covers the picture";
  EXPECT_EQ(At(shot, 4, 2), ui::kImageViewBackground);
  main.Activate();
  shot = sim.screen_capture.CaptureScreen(RectOfSize(10, 20, 8, 4));
  EXPECT_EQ(At(shot, 4, 0), ui::kImageViewBackground) << "the main form raised again";
}

}  // namespace
}  // namespace roarmark::platform::sim
