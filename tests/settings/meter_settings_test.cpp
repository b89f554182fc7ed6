// Load derivations of the settings record.
#include "settings/meter_settings.h"

#include <gtest/gtest.h>

namespace roarmark {
namespace {

TEST(MeterSettings, LoadDefaultsOfTheRecord) {
  TMeterSettings s;
  EXPECT_EQ(s.Calibration, "-6");
  EXPECT_EQ(s.Decay, "2");
  EXPECT_EQ(s.TopColor, 0x8000FFu);
  EXPECT_EQ(s.BarBgndColor, 2500096u);
  EXPECT_EQ(s.MeterX, 188);
  EXPECT_EQ(s.MeterY, 764);
  EXPECT_EQ(s.MeterHeight, 650);
  EXPECT_EQ(s.ResetTime, 5000);
  EXPECT_EQ(s.AverageNumber, 20);
  EXPECT_EQ(s.Style, kStyleUnset);
  EXPECT_TRUE(s.FitScreen);
  EXPECT_EQ(s.ShortName, "Roarmark");
  EXPECT_FALSE(s.AllowDrag);
}

TEST(MeterSettings, MonitorClamp) {
  const struct {
    int stored, monitors, loaded;
  } cases[] = {{3, 2, 1}, {2, 2, 2}, {1, 1, 1}, {0, 2, 0}, {-4, 1, -4}, {5, 0, 1}};
  for (const auto& c : cases) {
    EXPECT_EQ(ClampMonitor(c.stored, c.monitors), c.loaded) << c.stored << " of " << c.monitors;
  }
}

TEST(MeterSettings, StyleDerivation) {
  const struct {
    int stored;
    bool vertical;
    int style;
  } cases[] = {{-1, true, 1}, {-1, false, 2}, {0, false, 0},
               {3, true, 3},  {2, true, 2},   {7, true, 7}};
  for (const auto& c : cases)
    EXPECT_EQ(DeriveStyle(c.stored, c.vertical), c.style);
}

TEST(MeterSettings, HeightRoundingForBarStyles) {
  const struct {
    int height, style, rounded;
  } cases[] = {{675, 1, 650}, {675, 3, 675}, {49, 1, 0},   {-70, 2, -50},
               {650, 2, 650}, {699, 0, 650}, {-70, 3, -70}};
  for (const auto& c : cases) {
    EXPECT_EQ(RoundMeterHeight(c.height, c.style), c.rounded) << c.height << " style " << c.style;
  }
}

TEST(MeterSettings, ReadoutDefaultsFromControlSizes) {
  // First start: image control 500 x 400, readout control 301 wide.
  EXPECT_EQ(DefaultReadoutX(500, 301), -51);
  EXPECT_EQ(DefaultReadoutY(400), 200);
  EXPECT_EQ(DefaultReadoutX(1921, 100), 860);
  EXPECT_EQ(DefaultReadoutY(1081), 540);
}

TEST(MeterSettings, PictureDefaults) {
  EXPECT_EQ(BackgroundDefault("", "/d/Quillmoor/Roarmark/"),
            "/d/Quillmoor/Roarmark/Files/Graphic.bmp");
  EXPECT_EQ(BackgroundDefault("/pics/a.jpg", "/d/"), "/pics/a.jpg");
  EXPECT_EQ(SettingsFileGraphicDefault("/d/Quillmoor/Roarmark/"),
            "/d/Quillmoor/Roarmark/default.bmp");
}

}  // namespace
}  // namespace roarmark
