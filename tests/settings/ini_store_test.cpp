// "Roarmark.ini" load and save through real files in a temporary data folder.
#include "settings/ini_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include <sys/stat.h>

#include "settings/paths.h"
#include "temp_folder.h"

namespace roarmark {
namespace {

namespace fs = std::filesystem;

class IniStoreTest : public ::testing::Test {
 protected:
  IniStoreTest() { ctx.DataFolder = dir_.Folder(); }
  void WriteIni(const std::string& text) { std::ofstream(ctx.DataFolder + "Roarmark.ini") << text; }
  std::string ReadIni() {
    std::ifstream in(ctx.DataFolder + "Roarmark.ini");
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  TMeterSettings Load() {
    TMeterSettings s;
    LoadIniSettings(s, ctx);
    return s;
  }

  test::TTempFolder dir_;
  TIniLoadContext ctx;
};

TEST_F(IniStoreTest, FirstStartWithoutAFileGetsEveryDefault) {
  TMeterSettings s = Load();
  EXPECT_EQ(s.Calibration, "-6");
  EXPECT_EQ(s.Style, kStyleVerticalBars);
  EXPECT_EQ(s.ReadoutX, -51);
  EXPECT_EQ(s.ReadoutY, 200);
  EXPECT_EQ(s.GraphicFilename, ctx.DataFolder + "Files/Graphic.bmp");
  EXPECT_EQ(s.MeterHeight, 650);
  EXPECT_EQ(s.Monitor, 1);
}

TEST_F(IniStoreTest, DerivationsApplyToValuesFromTheFile) {
  struct Case {
    const char* form;
    int monitors;
    int style, height, monitor;
  } cases[] = {
      {"Vertical=0\n", 1, 2, 650, 1},       {"Style=-1\nVertical=0\n", 1, 2, 650, 1},
      {"Meter Height=675\n", 1, 1, 650, 1}, {"Style=3\nMeter Height=675\n", 1, 3, 675, 1},
      {"Monitor=3\n", 2, 1, 650, 1},        {"Monitor=2\n", 2, 1, 650, 2},
      {"Monitor=0\n", 2, 1, 650, 0},
  };
  for (const auto& c : cases) {
    WriteIni(std::string("[Form]\n") + c.form);
    ctx.MonitorCount = c.monitors;
    TMeterSettings s = Load();
    EXPECT_EQ(s.Style, c.style) << c.form;
    EXPECT_EQ(s.MeterHeight, c.height) << c.form;
    EXPECT_EQ(s.Monitor, c.monitor) << c.form;
  }
}

TEST_F(IniStoreTest, OddValuesLoadAsTheDesignSays) {
  WriteIni(
      "[Form]\nPeak Hold=2\nBlend=yes\ncal=\nGraphic Filename=\nAllow Drag=1\nFontStyle=5\n"
      "amber=1\nfitscreen=0\n[Input]\nDevice Name=  USB Mic\n");
  TMeterSettings s = Load();
  EXPECT_TRUE(s.PeakHold);
  EXPECT_TRUE(s.Blend);          // "yes" is not an integer: the default
  EXPECT_EQ(s.Calibration, "");  // start-up turns an empty reference into " 0"
  EXPECT_EQ(s.GraphicFilename, ctx.DataFolder + "Files/Graphic.bmp");
  EXPECT_FALSE(s.AllowDrag);
  EXPECT_EQ(s.FontStyle, 5);
  EXPECT_TRUE(s.Amber);
  EXPECT_FALSE(s.FitScreen);
  EXPECT_EQ(s.DeviceName, "  USB Mic");
}

TEST_F(IniStoreTest, ReadoutDefaultsComeFromTheControlsAtLoadTime) {
  ctx.ImageWidth = 1920;
  ctx.ImageHeight = 1040;
  ctx.ReadoutControlWidth = 120;
  TMeterSettings s = Load();
  EXPECT_EQ(s.ReadoutX, 840);
  EXPECT_EQ(s.ReadoutY, 520);
}

TEST_F(IniStoreTest, FirstSaveWritesInputThenFormInTableOrderThenSound) {
  TMeterSettings s = Load();
  s.DeviceName = "  Stage Mic";
  SaveIniSettings(s, ctx.DataFolder, 10, -20);
  const std::string expected =
      "[Input]\nDevice Name=Stage Mic\nShort Name=Roarmark\n"
      "[Form]\ncal=-6\ndecay=2\namber=0\nLanguage=0\nontop=0\nFitscreen=1\nPeak Hold=0\n"
      "Auto Reset=0\nColorPeak=0\nReset Time=5000\nMonitor=1\nFullScreen=0\nAllow Drag=0\n"
      "TopColor=8388863\nBaseColor=16711680\nBarBgndColor=2500096\nReadoutColor=16777215\n"
      "PeakColor=16777215\nBlend=1\nBlend offset=0\nMidtone=50\nBlocks=1\npassword=\nLocked=0\n"
      "left=10\ntop=-20\nMeter Position X=188\nMeter Position Y=764\nMeter Width=128\n"
      "Meter Height=650\nPivot Offset=0\nReadout Position X=-51\nReadout Position Y=200\n"
      "FontName=Arial\nFontSize=48\nFontColor=0\nFontStyle=0\nShow Average=0\n"
      "Average Number=20\nShow Decimal=0\nTransparent=0\nShow Readout=1\nVertical=1\nStyle=1\n"
      "Graphic Filename=" +
      ctx.DataFolder +
      "Files/Graphic.bmp\n"
      "[Sound]\nCalibration Offset=120.0\nWeighting=A\nTime Weighting=F\nReadout Unit=0\n"
      "Limit=0.0\nLimit Minutes=15\nLog=0\nWarning Color=33023\nAlarm Color=255\n";
  EXPECT_EQ(ReadIni(), expected);
  EXPECT_EQ(s.WindowLeft, 200);  // the save takes the window's place without storing it
}

TEST_F(IniStoreTest, PasswordIsKeptOnlyWhileLocked) {
  TMeterSettings s = Load();
  s.Password = "gala";
  s.Locked = true;
  SaveIniSettings(s, ctx.DataFolder, 0, 0);
  EXPECT_EQ(Load().Password, "gala");
  EXPECT_TRUE(Load().Locked);
  s.Locked = false;
  SaveIniSettings(s, ctx.DataFolder, 0, 0);
  EXPECT_EQ(s.Password, "");
  EXPECT_EQ(Load().Password, "");
}

TEST_F(IniStoreTest, SaveUpdatesExistingEntriesWhateverTheirSpelling) {
  WriteIni("; stage PC\n[Form]\nOnTop=1\nlocal note=keep me\n");
  TMeterSettings s = Load();
  EXPECT_TRUE(s.OnTop);
  s.OnTop = false;
  SaveIniSettings(s, ctx.DataFolder, 0, 0);
  const std::string text = ReadIni();
  EXPECT_EQ(text.rfind("; stage PC\n[Form]\nOnTop=0\nlocal note=keep me\n", 0), 0u) << text;
  EXPECT_EQ(text.find("ontop="), std::string::npos);
}

TEST_F(IniStoreTest, RoundTripKeepsTextsAndColours) {
  TMeterSettings s = Load();
  s.Calibration = " 0";
  s.FontName = "DejaVu Sans";
  s.TopColor = 0x80000005;  // a system colour
  s.GraphicFilename = "/media/show/Bühne.jpg";
  s.Amber = true;
  SaveIniSettings(s, ctx.DataFolder, 0, 0);
  TMeterSettings back = Load();
  EXPECT_EQ(back.Calibration, " 0");
  EXPECT_EQ(back.FontName, "DejaVu Sans");
  EXPECT_EQ(back.TopColor, 0x80000005u);
  EXPECT_EQ(back.GraphicFilename, "/media/show/Bühne.jpg");
  EXPECT_TRUE(back.Amber);
}

TEST_F(IniStoreTest, WindowPositionAndDeviceResetTouchOnlyTheirKeys) {
  WriteIni("[Form]\ncal=-4\nleft=1\n");
  SaveWindowPosition(ctx.DataFolder, 300, 40);
  SaveEmptyDeviceName(ctx.DataFolder);
  EXPECT_EQ(ReadIni(), "[Form]\ncal=-4\nleft=300\ntop=40\n[Input]\nDevice Name=\n");
}

TEST_F(IniStoreTest, SavingIntoAMissingFolderThrows) {
  TMeterSettings s;
  EXPECT_THROW(SaveIniSettings(s, ctx.DataFolder + "gone/", 0, 0), TFileWriteError);
  EXPECT_THROW(SaveWindowPosition(ctx.DataFolder + "gone/", 0, 0), TFileWriteError);
}

// A file the operator cannot read or write, or one this reader could not read back as text,
// fails every save moment and keeps every byte.
TEST_F(IniStoreTest, EverySaveLeavesAFileItMayNotReadWriteOrDecodeAsItWas) {
  const std::string path = ctx.DataFolder + "Roarmark.ini";
  const std::string text = "[Input]\nDevice Name=Mic\n[Form]\ncal=-4\nleft=1\ntop=2\n";
  std::string utf16_unmarked;  // as an editor writes UTF-16 when told to leave the mark out
  for (char c : text) {
    utf16_unmarked.push_back(c);
    utf16_unmarked.push_back('\0');
  }
  const struct {
    const char* name;
    mode_t mode;
    std::string bytes;
  } files[] = {
      {"no permissions", 0000, text},
      {"read-only", 0444, text},
      {"UTF-16 without its mark", 0600, utf16_unmarked},
      {"over 16 MB", 0600, text + std::string(16 << 20, ' ')},
  };
  TMeterSettings s;
  const struct {
    const char* name;
    std::function<void()> save;
  } moments[] = {
      {"full save", [&] { SaveIniSettings(s, ctx.DataFolder, 0, 0); }},
      {"window position", [&] { SaveWindowPosition(ctx.DataFolder, 0, 0); }},
      {"device reset", [&] { SaveEmptyDeviceName(ctx.DataFolder); }},
  };
  for (const auto& f : files) {
    for (const auto& m : moments) {
      std::ofstream(path, std::ios::binary) << f.bytes;
      ASSERT_EQ(::chmod(path.c_str(), f.mode), 0);
      try {
        m.save();
        ADD_FAILURE() << m.name << " replaced a file: " << f.name;
      } catch (const TFileWriteError& e) {
        EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
      }
      ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
      EXPECT_TRUE(ReadIni() == f.bytes) << m.name << " changed a file: " << f.name;
    }
  }
}

TEST_F(IniStoreTest, WhatIsNoSmallRegularFileLoadsAsDefaultsAndIsSaid) {
  const std::string path = ctx.DataFolder + "Roarmark.ini";
  const struct {
    const char* name;
    std::function<void()> make;
    const char* reason;
  } cases[] = {
      {"FIFO", [&] { ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0); }, "It is not a regular file."},
      {"link to /dev/zero", [&] { fs::create_symlink("/dev/zero", path); },
       "It is not a regular file."},
      {"over 16 MB", [&] { WriteIni("[Form]\ncal=-4\n" + std::string(16 << 20, ' ')); },
       "It is larger than 16 MB."},
  };
  for (const auto& c : cases) {
    fs::remove(path);
    c.make();
    TMeterSettings s;
    std::string refused;
    LoadIniSettings(s, ctx, &refused);
    EXPECT_EQ(s.Calibration, "-6") << c.name;
    EXPECT_EQ(refused, "Settings file not read -  \n\r" + path + "\n\r" + c.reason +
                           "\n\rThe default settings will be used.")
        << c.name;
  }
}

TEST_F(IniStoreTest, AUnicodeFileFromAWindowsEditorIsReadAndKeptSo) {
  // "[Form]" CR LF "cal=-4" CR LF "left=1" CR LF in UTF-16 LE behind its byte-order mark.
  std::string file = "\xFF\xFE";
  for (char c : std::string("[Form]\r\ncal=-4\r\nleft=1\r\n")) {
    file.push_back(c);
    file.push_back('\0');
  }
  WriteIni(file);
  EXPECT_EQ(Load().Calibration, "-4");
  SaveWindowPosition(ctx.DataFolder, 7, 8);
  std::string expected = "\xFF\xFE";
  for (char c : std::string("[Form]\r\ncal=-4\r\nleft=7\r\ntop=8\r\n")) {
    expected.push_back(c);
    expected.push_back('\0');
  }
  EXPECT_EQ(ReadIni(), expected);
}

TEST(Paths, PortablePathAndFileNames) {
  const struct {
    const char* path;
    const char* portable;
  } cases[] = {
      {"C:\\Users\\x\\RoarmarkDevProject\\Files\\gala.cfg", "/data/Files/gala.cfg"},
      {"/home/x/RoarmarkDevProject/pics/a.bmp", "/data/Files/a.bmp"},
      {"/home/x/roarmarkdevproject/pics/a.bmp", "/home/x/roarmarkdevproject/pics/a.bmp"},
      {"/shows/gala.cfg", "/shows/gala.cfg"},
      {"D:RoarmarkDevProject.cfg", "/data/Files/RoarmarkDevProject.cfg"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PortablePath(c.path, "/data/"), c.portable) << c.path;
  EXPECT_EQ(ReplaceExtension("/shows.v2/gala", ".thm"), "/shows.v2/gala.thm");
  EXPECT_EQ(ReplaceExtension("/shows/gala.cfg", ".thm"), "/shows/gala.thm");
  EXPECT_EQ(ReplaceExtension("C:\\shows.v2\\gala", ".thm"), "C:\\shows.v2\\gala.thm");
}

}  // namespace
}  // namespace roarmark
