// The INI text engine: lookups, typed reads, in-place writes and safe saves.
#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <limits>

namespace roarmark {
namespace {

namespace fs = std::filesystem;

TEST(IniFile, KeysAndSectionsMatchWithoutRegardToCase) {
  TIniFile ini = TIniFile::Parse("[FORM]\nOnTop=1\n[input]\nDevice Name=Mic\n");
  EXPECT_TRUE(ini.ReadBool("Form", "ontop", false));
  EXPECT_EQ(ini.ReadString("Input", "DEVICE NAME", ""), "Mic");
  EXPECT_EQ(ini.ReadString("Form", "Device Name", "none"), "none");  // other section
}

TEST(IniFile, TypedReadsFallBackOnTextThatIsNotANumber) {
  TIniFile ini = TIniFile::Parse(
      "[Form]\nPeak Hold=2\nBlend=yes\nMonitor= 3 \nLeft=-20\nBig=2147483648\nEmpty=\n"
      "Colour=-2147483643\nUColour=2147483653\nHex=0x10\n");
  const struct {
    const char* key;
    std::int32_t fallback;
    std::int32_t expected;
  } ints[] = {{"Monitor", 1, 3}, {"Left", 0, -20}, {"Big", 7, 7},    {"Empty", 5, 5},
              {"Hex", 9, 9},     {"Blend", 4, 4},  {"Missing", 6, 6}};
  for (const auto& c : ints)
    EXPECT_EQ(ini.ReadInteger("Form", c.key, c.fallback), c.expected) << c.key;
  EXPECT_TRUE(ini.ReadBool("Form", "Peak Hold", false));  // any integer other than 0
  EXPECT_FALSE(ini.ReadBool("Form", "Blend", false));     // not an integer: the default
  EXPECT_TRUE(ini.ReadBool("Form", "Blend", true));
  EXPECT_EQ(ini.ReadColour("Form", "Colour", 0), 0x80000005u);
  EXPECT_EQ(ini.ReadColour("Form", "UColour", 0), 0x80000005u);
}

TEST(IniFile, TextsComeBackVerbatim) {
  TIniFile ini = TIniFile::Parse("[Form]\ncal= 0\npassword=secret \nname=a=b\n");
  EXPECT_EQ(ini.ReadString("Form", "cal", ""), " 0");
  EXPECT_EQ(ini.ReadString("Form", "password", ""), "secret ");
  EXPECT_EQ(ini.ReadString("Form", "name", ""), "a=b");
}

TEST(IniFile, WriteReplacesInPlaceAndKeepsForeignLines) {
  TIniFile ini = TIniFile::Parse("; made by hand\n[Form]\nOnTop=1\nmy own=line\n\n[Other]\nx=1\n");
  ini.WriteBool("Form", "ontop", false);
  EXPECT_EQ(ini.Text(), "; made by hand\n[Form]\nOnTop=0\nmy own=line\n\n[Other]\nx=1\n");
}

TEST(IniFile, WriteAppendsAtTheEndOfItsSectionOrAppendsTheSection) {
  TIniFile ini = TIniFile::Parse("[Input]\nDevice Name=\n\n[Other]\nx=1\n");
  ini.WriteString("Input", "Short Name", "Roarmark");
  ini.WriteInteger("Form", "left", -8);
  EXPECT_EQ(ini.Text(),
            "[Input]\nDevice Name=\nShort Name=Roarmark\n\n[Other]\nx=1\n[Form]\nleft=-8\n");
}

TEST(IniFile, FirstWritesBuildSectionsInWritingOrder) {
  TIniFile ini;
  ini.WriteString("Input", "Device Name", "");
  ini.WriteString("Input", "Short Name", "Roarmark");
  ini.WriteString("Form", "cal", "-6");
  ini.WriteColour("Form", "TopColor", 0x8000FF);
  EXPECT_EQ(ini.Text(),
            "[Input]\nDevice Name=\nShort Name=Roarmark\n[Form]\ncal=-6\nTopColor=8388863\n");
}

TEST(IniFile, KeepsWindowsLineEndsAndAFileWithoutFinalLineEnd) {
  TIniFile crlf = TIniFile::Parse("[Form]\r\na=1\r\n");
  crlf.WriteInteger("Form", "b", 2);
  EXPECT_EQ(crlf.Text(), "[Form]\r\na=1\r\nb=2\r\n");
  TIniFile open_end = TIniFile::Parse("[Form]\na=1");
  EXPECT_EQ(open_end.ReadInteger("Form", "a", 0), 1);
  open_end.WriteInteger("Form", "a", 3);
  EXPECT_EQ(open_end.Text(), "[Form]\na=3");
}

TEST(IniFile, AByteOrderMarkIsKeptButIsNoPartOfTheFirstLine) {
  const std::string bom = "\xEF\xBB\xBF";
  TIniFile ini = TIniFile::Parse(bom + "[Form]\ncal=-4\n");
  EXPECT_EQ(ini.ReadString("Form", "cal", ""), "-4");
  ini.WriteInteger("Form", "left", 3);
  EXPECT_EQ(ini.Text(), bom + "[Form]\ncal=-4\nleft=3\n");
  // A second mark is text of the first line, and stays so through a save and a load.
  const std::string twice = bom + bom + "x\n";
  EXPECT_EQ(TIniFile::Parse(TIniFile::Parse(twice).Text()).Text(), twice);
}

TEST(IniFile, LineBreaksInAValueCannotInjectLines) {
  TIniFile ini;
  ini.WriteString("Form", "password", "a\n[Input]\r\nDevice Name=x");
  EXPECT_EQ(ini.ReadString("Input", "Device Name", "none"), "none");
  EXPECT_EQ(ini.ReadString("Form", "password", ""), "a [Input]  Device Name=x");
}

TEST(IniFile, Utf8SurvivesAWriteAndARead) {
  const std::string path = (fs::temp_directory_path() / "roarmark_ini_utf8.ini").string();
  TIniFile ini;
  ini.WriteString("Input", "Device Name", "Mikrofon – Bühne 🎤");
  ini.WriteString("Form", "Graphic Filename", "/home/zoë/Fête/Bild.jpg");
  ini.Save(path);
  TIniFile back = TIniFile::Load(path);
  EXPECT_EQ(back.ReadString("Input", "Device Name", ""), "Mikrofon – Bühne 🎤");
  EXPECT_EQ(back.ReadString("Form", "Graphic Filename", ""), "/home/zoë/Fête/Bild.jpg");
  fs::remove(path);
}

TEST(IniFile, MissingFileReadsAsEmpty) {
  TIniFile ini = TIniFile::Load("/nonexistent/folder/Roarmark.ini");
  EXPECT_EQ(ini.Text(), "");
  EXPECT_EQ(ini.ReadInteger("Form", "Monitor", 1), 1);
}

TEST(IniFile, FailedSaveThrowsAndLeavesTheOldFile) {
  const fs::path dir = fs::temp_directory_path() / "roarmark_ini_ro";
  fs::create_directories(dir);
  const std::string path = (dir / "Roarmark.ini").string();
  { std::ofstream(path) << "[Form]\nleft=5\n"; }
  EXPECT_THROW(TIniFile().Save((dir / "missing" / "x.ini").string()), TFileWriteError);
  if (geteuid() != 0) {  // root writes into read-only folders anyway
    fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
    TIniFile ini = TIniFile::Load(path);
    ini.WriteInteger("Form", "left", 9);
    EXPECT_THROW(ini.Save(path), TFileWriteError);
    fs::permissions(dir, fs::perms::owner_all);
    EXPECT_EQ(TIniFile::Load(path).ReadInteger("Form", "left", 0), 5);
  }
  fs::remove_all(dir);
}

TEST(IniFile, RefusesToTreatABinaryFileAsIni) {
  const std::string path = (fs::temp_directory_path() / "roarmark_not_ini.bmp").string();
  {
    std::ofstream out(path, std::ios::binary);
    out.write("BM\0\0\x36", 5);
  }
  EXPECT_FALSE(MayWriteAsIni(path));
  EXPECT_TRUE(MayWriteAsIni(path + ".missing"));
  fs::remove(path);
}

}  // namespace
}  // namespace roarmark
