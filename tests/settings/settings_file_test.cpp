// Reading a settings file: load defaults and derivations, and the fields it never touches.
#include <gtest/gtest.h>

#include "settings/settings_file.h"

namespace roarmark {
namespace {

TEST(SettingsFile, ReadsLayoutKeysWithTheirLoadDefaults) {
  const TSettingsFileContext context{"/data/", 800, 600, 100};
  const struct {
    const char* text;
    int style, meter_width, meter_height, pivot, readout_x, readout_y;
    const char* graphic;
  } cases[] = {
      // Nothing in the file: defaults, vertical bars, the readout from the control sizes
      // (800 / 2 - 100, 600 / 2) and the data folder's "default.bmp".
      {"", 1, 128, 650, 0, 300, 300, "/data/default.bmp"},
      {"[Form]\nVertical=0\n", 2, 128, 650, 0, 300, 300, "/data/default.bmp"},
      {"[Form]\nStyle=0\nVertical=0\n", 0, 128, 650, 0, 300, 300, "/data/default.bmp"},
      // Heights are taken as written, whatever the style.
      {"[form]\nstyle=1\nmeter height=333\nPivot Offset=-9\n", 1, 128, 333, -9, 300, 300,
       "/data/default.bmp"},
      {"[Form]\nMeter Width=abc\nReadout Position X= 7 \nGraphic Filename=x.jpg\n", 1, 128, 650, 0,
       7, 300, "x.jpg"},
  };
  for (const auto& c : cases) {
    TMeterSettings s;
    s.PivotOffset = 5;
    ReadSettingsFile(TIniFile::Parse(c.text), s, context);
    EXPECT_EQ(s.Style, c.style) << c.text;
    EXPECT_EQ(s.MeterWidth, c.meter_width) << c.text;
    EXPECT_EQ(s.MeterHeight, c.meter_height) << c.text;
    EXPECT_EQ(s.PivotOffset, c.pivot) << c.text;
    EXPECT_EQ(s.ReadoutX, c.readout_x) << c.text;
    EXPECT_EQ(s.ReadoutY, c.readout_y) << c.text;
    EXPECT_EQ(s.GraphicFilename, c.graphic) << c.text;
  }
}

TEST(SettingsFile, LeavesMeasurementWindowAndLanguageSettingsAlone) {
  TMeterSettings s;
  s.Monitor = 2;
  s.PeakHold = true;
  s.Language = 3;
  s.Calibration = "-4";
  s.FitScreen = false;
  ReadSettingsFile(TIniFile::Parse("[Form]\nMonitor=1\nPeak Hold=0\nLanguage=0\ncal=9\n"
                                   "FitScreen=1\n"),
                   s, TSettingsFileContext{});
  EXPECT_EQ(s.Monitor, 2);
  EXPECT_TRUE(s.PeakHold);
  EXPECT_EQ(s.Language, 3);
  EXPECT_EQ(s.Calibration, "-4");
  EXPECT_FALSE(s.FitScreen);
}

}  // namespace
}  // namespace roarmark
