// "[Sound]" in "Roarmark.ini": what a load makes of the keys, and a full save read back.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "../temp_folder.h"
#include "settings/ini_file.h"
#include "settings/ini_store.h"
#include "settings/sound_settings.h"

namespace roarmark {
namespace {

TEST(SoundSettings, LoadTakesValidValuesAndKeepsTheRestUsable) {
  const struct {
    const char* Text;
    double Offset;
    char Weighting, Time;
    int Unit;
    double Limit;
    int Minutes;
    bool Log;
  } cases[] = {
      {"", 120.0, 'A', 'F', 0, 0.0, 15, false},
      {"Calibration Offset=113.5\nWeighting=c\nTime Weighting= S \nReadout Unit=1\nLimit=100.0\n"
       "Limit Minutes=5\nLog=1\n",
       113.5, 'C', 'S', 1, 100.0, 5, true},
      {"Calibration Offset=loud\nWeighting=B\nTime Weighting=Impulse\nReadout Unit=2\n"
       "Limit=-\nLimit Minutes=0\nLog=yes\n",
       120.0, 'A', 'F', 0, 0.0, 1, false},
      {"Calibration Offset=1e3\nWeighting=\nLimit Minutes=99999\n", 120.0, 'A', 'F', 0, 0.0, 1440,
       false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    const TSoundSettings s = ReadSoundSettings(TIniFile::Parse(std::string("[Sound]\n") + c.Text));
    EXPECT_DOUBLE_EQ(s.CalibrationOffset, c.Offset);
    EXPECT_EQ(s.Weighting, c.Weighting);
    EXPECT_EQ(s.TimeWeighting, c.Time);
    EXPECT_EQ(s.ReadoutUnit, c.Unit);
    EXPECT_DOUBLE_EQ(s.Limit, c.Limit);
    EXPECT_EQ(s.LimitMinutes, c.Minutes);
    EXPECT_EQ(s.Log, c.Log);
  }
}

TEST(SoundSettings, AFullSaveWritesTheSectionInOrderAndALoadReadsItBack) {
  const std::filesystem::path dir = test::MakeUniqueTempFolder("sound-settings");
  const std::string data = dir.string() + "/";
  TMeterSettings settings;
  settings.Sound = {93.26, 'Z', 'S', 1, 99.04, 30, true, 0x00FFFF, 0xFF00FF};
  SaveIniSettings(settings, data, 0, 0);
  std::stringstream text;
  text << std::ifstream(data + "Roarmark.ini").rdbuf();
  const std::string ini = text.str();
  // Levels keep one decimal.
  EXPECT_NE(ini.find("[Sound]\nCalibration Offset=93.3\nWeighting=Z\nTime Weighting=S\n"
                     "Readout Unit=1\nLimit=99.0\nLimit Minutes=30\nLog=1\nWarning Color=65535\n"
                     "Alarm Color=16711935\n"),
            std::string::npos)
      << ini;
  TMeterSettings back;
  TIniLoadContext context;
  context.DataFolder = data;
  LoadIniSettings(back, context);
  EXPECT_DOUBLE_EQ(back.Sound.CalibrationOffset, 93.3);
  EXPECT_EQ(back.Sound.Weighting, 'Z');
  EXPECT_EQ(back.Sound.TimeWeighting, 'S');
  EXPECT_EQ(back.Sound.ReadoutUnit, 1);
  EXPECT_DOUBLE_EQ(back.Sound.Limit, 99.0);
  EXPECT_EQ(back.Sound.LimitMinutes, 30);
  EXPECT_TRUE(back.Sound.Log);
  EXPECT_EQ(back.Sound.WarningColor, 0x00FFFFu);
  EXPECT_EQ(back.Sound.AlarmColor, 0xFF00FFu);
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace roarmark
