// Scenario script parsing: words, quotes, numbers, keys and the checks that stop a malformed
// script before anything runs.
#include "scenario/script.h"

#include <gtest/gtest.h>

#include "platform/ui/keys.h"

namespace roarmark::scenario {
namespace {

TEST(ScenarioScript, WordsQuotesAndEscapes) {
  auto words = SplitWords(R"(write Files/a.txt "two words\n\"q\" \\ \t end")", 1);
  ASSERT_EQ(words.size(), 3u);
  EXPECT_EQ(words[1].Text, "Files/a.txt");
  EXPECT_FALSE(words[1].Quoted);
  EXPECT_EQ(words[2].Text, "two words\n\"q\" \\ \t end");
  EXPECT_TRUE(words[2].Quoted);
  EXPECT_EQ(SplitWords(R"(device "")", 1)[1].Text, "");
}

TEST(ScenarioScript, QuoteUndoesTheEscapes) {
  EXPECT_EQ(Quote("a\n\rb\t\"c\"\\"), R"("a\n\rb\t\"c\"\\")");
}

TEST(ScenarioScript, SkipsBlankAndCommentLinesAndKeepsLineNumbers) {
  auto commands = ParseScript("# a comment\n\n   # indented comment\nstart\n  buffers 0x10\n");
  ASSERT_EQ(commands.size(), 2u);
  EXPECT_EQ(commands[0].Line, 4);
  EXPECT_EQ(commands[1].Name(), "buffers");
  EXPECT_EQ(*ParseNumber(commands[1].Arg(0)), 16);
}

TEST(ScenarioScript, NumbersAreDecimalOrHex) {
  const struct {
    const char* word;
    std::optional<std::int64_t> value;
  } cases[] = {{"12", 12},
               {"-6", -6},
               {"0x00BBGGRR", std::nullopt},
               {"0xFF0000", 0xFF0000},
               {"0X1f", 31},
               {"1.5", std::nullopt},
               {"", std::nullopt},
               {"4294967295", 4294967295LL},
               {"ten", std::nullopt}};
  for (const auto& c : cases)
    EXPECT_EQ(ParseNumber(c.word), c.value) << c.word;
  EXPECT_DOUBLE_EQ(*ParseDecimal("-9.5"), -9.5);
  EXPECT_FALSE(ParseDecimal("9dB"));
}

TEST(ScenarioScript, KeyCombos) {
  using namespace platform::ui;
  const struct {
    const char* word;
    bool ctrl, shift, alt;
    int key;
  } cases[] = {{"a", false, false, false, 'A'},
               {"ctrl+r", true, false, false, 'R'},
               {"ctrl+shift+5", true, true, false, '5'},
               {"num7", false, false, false, VK_NUMPAD0 + 7},
               {"ctrl+decimal", true, false, false, VK_DECIMAL},
               {"f12", false, false, false, VK_F12},
               {"alt+delete", false, false, true, VK_DELETE},
               {"ctrl", false, false, false, VK_CONTROL},
               {"escape", false, false, false, VK_ESCAPE}};
  for (const auto& c : cases) {
    auto combo = ParseKeyCombo(c.word);
    ASSERT_TRUE(combo) << c.word;
    EXPECT_EQ(combo->Ctrl, c.ctrl) << c.word;
    EXPECT_EQ(combo->Shift, c.shift) << c.word;
    EXPECT_EQ(combo->Alt, c.alt) << c.word;
    EXPECT_EQ(combo->Key, c.key) << c.word;
  }
  for (const char* bad : {"ctrl+", "A", "f13", "f0", "num10", "r+ctrl", "hyper+a", ""}) {
    EXPECT_FALSE(ParseKeyCombo(bad)) << bad;
  }
}

TEST(ScenarioScript, MalformedScriptsNameTheLine) {
  const struct {
    const char* script;
    int line;
  } cases[] = {
      {"start\nfrobnicate\n", 2},           // unknown command
      {"start\nbuffers\n", 2},              // too few arguments
      {"buffers 1 2\n", 1},                 // too many
      {"\n\nwrite a \"open\n", 3},          // unterminated quote
      {"buffers ten\n", 1},                 // bad number
      {"device \"Mic\" melted\n", 1},       // unknown fault
      {"signal \"Mic\" sine 1000\n", 1},    // sine needs HZ and DBFS
      {"key ctrl+\n", 1},                   // bad key
      {"mouse middle 1 2\n", 1},            // unknown button
      {"print everything\n", 1},            // unknown print
      {"answer maybe\n", 1},                // unknown answer
      {"check TForm2.CheckBox1 yes\n", 1},  // on or off
      {"write a \"x\"y\n", 1},              // text glued to a quote
      {"set Edit1 \"\\q\"\n", 1},           // unknown escape
      {"decimal ,,\n", 1},                  // one character
  };
  for (const auto& c : cases) {
    try {
      ParseScript(c.script);
      ADD_FAILURE() << "accepted: " << c.script;
    } catch (const TScriptError& e) {
      EXPECT_EQ(e.Line, c.line) << c.script << " -> " << e.what();
    }
  }
}

TEST(ScenarioScript, AcceptsEveryDocumentedForm) {
  const char* script =
      "folder /tmp/x\nwrite Roarmark.ini \"[Form]\\ncal=0\"\ncopy Files/a.bmp /tmp/a.bmp\n"
      "picture Files/p.bmp 20 10 0x102030\nmonitor 1920 1080 0 0 1920 1040\n"
      "device \"Mic\" badformat openfail\ndecimal ,\ntick 4294967000\nstart\n"
      "signal \"Mic\" silence\nsignal \"Mic\" sine 1000 -6\nsignal \"Mic\" square 0\n"
      "signal \"Mic\" dc 100 -100\nbuffers 3\nwait 250\nunplug \"Mic\"\nplug \"Mic\"\n"
      "key ctrl+r\nkeyw escape\ndown ctrl\nup r\nmouse left 10 20\npress right 1 2\nmove 3 4\n"
      "release 5 6\ndblclick 7 8\nwheel up 9 10\nanswer ok\nanswer cancel\nanswer text \"pw\"\n"
      "answer file \"Files/a.cfg\"\nanswer colour 0xFF\nanswer font \"Arial\" 48 1 0\n"
      "set Edit1 \"-6\"\ncheck CheckBox1 on\nclick Button1\nchoose cbStyle 2\nslide TrackBar1 -40\n"
      "arrow UpDown1 up\ncell 1 3\ndblcell 1 3\nprint state\nprint readout\n"
      "print setting \"cal\"\nprint control TForm2.Edit1\nprint window\nprint messages\n"
      "print file Roarmark.ini\nprint ended\nprint opened\nprint cursor\ndump display /tmp/d.bmp\n";
  EXPECT_EQ(ParseScript(script).size(), 52u);
}

}  // namespace
}  // namespace roarmark::scenario
