// The INI text engine: lookups, typed reads, in-place writes and safe saves.
#include "settings/ini_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "temp_folder.h"

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
      "Colour=-2147483643\nUColour=2147483653\nHex=0x10\nZeros=-00000000000000012\n");
  const struct {
    const char* key;
    std::int32_t fallback;
    std::int32_t expected;
  } ints[] = {{"Monitor", 1, 3}, {"Left", 0, -20}, {"Big", 7, 7},     {"Empty", 5, 5},
              {"Hex", 9, 9},     {"Blend", 4, 4},  {"Missing", 6, 6}, {"Zeros", 0, -12}};
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
  test::TTempFolder dir;
  const std::string path = (dir.Path() / "Roarmark.ini").string();
  TIniFile ini;
  ini.WriteString("Input", "Device Name", "Mikrofon – Bühne 🎤");
  ini.WriteString("Form", "Graphic Filename", "/home/zoë/Fête/Bild.jpg");
  ini.Save(path);
  TIniFile back = TIniFile::Load(path);
  EXPECT_EQ(back.ReadString("Input", "Device Name", ""), "Mikrofon – Bühne 🎤");
  EXPECT_EQ(back.ReadString("Form", "Graphic Filename", ""), "/home/zoë/Fête/Bild.jpg");
}

TEST(IniFile, MissingFileReadsAsEmpty) {
  TIniFile ini = TIniFile::Load("/nonexistent/folder/Roarmark.ini");
  EXPECT_EQ(ini.Text(), "");
  EXPECT_EQ(ini.ReadInteger("Form", "Monitor", 1), 1);
}

TEST(IniFile, FailedSaveThrowsAndLeavesTheOldFile) {
  test::TTempFolder dir;
  const std::string path = (dir.Path() / "Roarmark.ini").string();
  { std::ofstream(path) << "[Form]\nleft=5\n"; }
  EXPECT_THROW(TIniFile().Save((dir.Path() / "missing" / "x.ini").string()), TFileWriteError);
  if (geteuid() != 0) {  // root writes into read-only folders anyway
    fs::permissions(dir.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    TIniFile ini = TIniFile::Load(path);
    ini.WriteInteger("Form", "left", 9);
    EXPECT_THROW(ini.Save(path), TFileWriteError);
    fs::permissions(dir.Path(), fs::perms::owner_all);
    EXPECT_EQ(TIniFile::Load(path).ReadInteger("Form", "left", 0), 5);
  }
}

// UTF-16 code units as bytes behind their byte-order mark.
std::string Utf16(std::u16string_view text, bool big_endian) {
  std::string out = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t u : text) {
    const char hi = static_cast<char>(u >> 8);
    const char lo = static_cast<char>(u & 0xFF);
    out.push_back(big_endian ? hi : lo);
    out.push_back(big_endian ? lo : hi);
  }
  return out;
}

TEST(IniFile, ReadsWhatEditorsWriteAndSavesItTheSameWay) {
  const struct {
    const char* name;
    std::string file;
    std::string written;  // after "left" is set to 3 and "Device Name" to "Bühne"
  } cases[] = {
      {"CR line ends", "[Form]\rcal=-4\r[Input]\rDevice Name=x\r",
       "[Form]\rcal=-4\rleft=3\r[Input]\rDevice Name=B\xC3\xBChne\r"},
      {"UTF-16 LE, CR LF",
       Utf16(u"[Form]\r\ncal=-4\r\n[Input]\r\nDevice Name=\U0001F3A4\r\n", false),
       Utf16(u"[Form]\r\ncal=-4\r\nleft=3\r\n[Input]\r\nDevice Name=B\u00FChne\r\n", false)},
      {"UTF-16 BE, LF, no final line end", Utf16(u"[Form]\ncal=-4\n[Input]\nDevice Name=x", true),
       Utf16(u"[Form]\ncal=-4\nleft=3\n[Input]\nDevice Name=B\u00FChne", true)},
      {"UTF-16 LE, lone surrogate kept",
       Utf16(u"[Form]\ncal=-4\n[Input]\nDevice Name=x\n;\xD800\n", false),
       Utf16(u"[Form]\ncal=-4\nleft=3\n[Input]\nDevice Name=B\u00FChne\n;\xD800\n", false)},
  };
  for (const auto& c : cases) {
    TIniFile ini = TIniFile::Parse(c.file);
    EXPECT_EQ(ini.ReadInteger("Form", "cal", 0), -4) << c.name;
    ini.WriteInteger("Form", "left", 3);
    ini.WriteString("Input", "Device Name", "B\xC3\xBChne");
    EXPECT_EQ(ini.Text(), c.written) << c.name;
    EXPECT_EQ(TIniFile::Parse(c.written).ReadString("Input", "Device Name", ""), "B\xC3\xBChne")
        << c.name;
  }
  // A character beyond the first 65536 comes through a surrogate pair as its UTF-8 form.
  EXPECT_EQ(TIniFile::Parse(Utf16(u"[Input]\nDevice Name=\U0001F3A4\n", false))
                .ReadString("Input", "Device Name", ""),
            "\xF0\x9F\x8E\xA4");
}

TEST(IniFile, OnlyTextThisReaderDecodesCountsAsIniText) {
  const std::string utf16 = Utf16(u"[Form]\r\nStyle=1\r\n", false);
  const struct {
    const char* name;
    std::string bytes;
    bool text;
  } cases[] = {
      {"UTF-8", "[Form]\nStyle=1\n", true},
      {"UTF-16 with its mark", utf16, true},
      {"UTF-16 without its mark", utf16.substr(2), false},
      {"a picture", std::string("BM\0\0\x36", 5), false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsIniText(c.bytes), c.text) << c.name;
}

}  // namespace
}  // namespace roarmark
