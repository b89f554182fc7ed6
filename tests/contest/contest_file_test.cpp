// The contest file: what each kind of input gives, that a refused file is taken whole or not at
// all, and that a save keeps the file's encoding and line ends.
#include "contest/contest_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "../temp_folder.h"
#include "settings/file_save.h"

namespace roarmark {
namespace {

using Problem = TContestFileProblem;

// UTF-16 of text whose characters all lie below U+0800 (enough for these names).
std::string Utf16(const std::string& utf8, bool big_endian) {
  std::string out = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    unsigned c = static_cast<unsigned char>(utf8[i]);
    if (c >= 0xC0) c = ((c & 0x1F) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F);
    const char hi = static_cast<char>(c >> 8);
    const char lo = static_cast<char>(c & 0xFF);
    out += big_endian ? std::string{hi, lo} : std::string{lo, hi};
  }
  return out;
}

std::string Names(int count, int length = 6) {
  std::string text = "[Contestants]\n";
  for (int n = 1; n <= count; ++n)
    text += std::to_string(n) + "=" + std::string(static_cast<std::size_t>(length), 'a') + "\n";
  return text;
}

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i)
    out += text;
  return out;
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct InputCase {
  const char* name;
  std::string bytes;  // "missing": no file at all
  Problem problem;
  std::int64_t detail;
  std::vector<std::string> names;
};

class ContestFileInput : public ::testing::TestWithParam<InputCase> {};

TEST_P(ContestFileInput, GivesTheNamesOrRefusesTheWholeFile) {
  const InputCase& c = GetParam();
  test::TScratchFolder folder("contest_file");
  const std::string path = folder / "Contest.txt";
  if (c.bytes != "missing") std::ofstream(path, std::ios::binary) << c.bytes;
  const TContestFileRead read = ReadContestFile(path);
  EXPECT_EQ(read.Problem, c.problem);
  EXPECT_EQ(read.Detail, c.detail);
  std::vector<std::string> names;
  for (const TContestant& who : read.Contest.Contestants)
    names.push_back(who.Name);
  EXPECT_EQ(names, c.names);
}

const std::string kTwoNames = "[Contestants]\n1=Anna\n2=Ben\n";

INSTANTIATE_TEST_SUITE_P(
    Inputs, ContestFileInput,
    ::testing::Values(
        InputCase{"Missing", "missing", Problem::None, 0, {}},
        InputCase{"Empty", "", Problem::None, 0, {}},
        InputCase{
            "Binary", std::string("\x89PNG\r\n\x1A\n\0\0\0\rIHDR", 16), Problem::NotText, 0, {}},
        InputCase{"TenThousandNames", Names(10000), Problem::TooManyNames, 10000, {}},
        InputCase{"TwentyNamesFit", Names(20), Problem::None, 0,
                  std::vector<std::string>(20, "aaaaaa")},
        InputCase{"SixtyCharactersFit", Names(1, 60), Problem::None, 0, {std::string(60, 'a')}},
        InputCase{"SixtyOneCharacters",
                  "[Contestants]\n1=Anna\n2=" + std::string(61, 'x') + "\n",
                  Problem::NameTooLong,
                  2,
                  {}},
        // Sixty characters of two bytes each are still sixty characters.
        InputCase{"SixtyAccentedFit",
                  "[Contestants]\n1=" + Repeat("\xC3\xA9", 60) + "\n",
                  Problem::None,
                  0,
                  {Repeat("\xC3\xA9", 60)}},
        InputCase{"OverOneMegabyte",
                  "[Contestants]\n1=Anna\n; " + std::string(1 << 20, 'x') + "\n",
                  Problem::TooLarge,
                  0,
                  {}},
        InputCase{"CarriageReturnsOnly",
                  "[Contestants]\r1=Anna\r2=Ben\r",
                  Problem::None,
                  0,
                  {"Anna", "Ben"}},
        InputCase{"Utf16LittleEndian",
                  Utf16("[Contestants]\r\n1=Zo\xC3\xAB\r\n2=Ben\r\n", false),
                  Problem::None,
                  0,
                  {"Zo\xC3\xAB", "Ben"}},
        InputCase{"Utf16BigEndian",
                  Utf16("[Contestants]\n1=Zo\xC3\xAB\n", true),
                  Problem::None,
                  0,
                  {"Zo\xC3\xAB"}},
        InputCase{"Utf8WithMark", "\xEF\xBB\xBF" + kTwoNames, Problem::None, 0, {"Anna", "Ben"}},
        // Keys count by number; blanks around a name go, an empty name and other keys are not
        // names, a repeated number keeps its first name.
        InputCase{"NumberOrderAndGaps",
                  "[Contestants]\n10=Cleo\n2= Ben \n1=Anna\n3=\nnote=x\n2=Bob\n",
                  Problem::None,
                  0,
                  {"Anna", "Ben", "Cleo"}}),
    [](const auto& info) { return info.param.name; });

TEST(ContestFile, RulesOutOfRangeOrUnreadableFallBackOrAreKeptInRange) {
  const struct {
    const char* text;
    int round, countdown;
    TScoreRule rule;
  } cases[] = {
      {"", 10, 3, TScoreRule::Average},
      {"Round Seconds=45\nCountdown Seconds=0\nScore=peak", 45, 0, TScoreRule::Peak},
      {"Round Seconds=500\nCountdown Seconds=5\nScore= PEAK ", 120, 3, TScoreRule::Peak},
      {"Round Seconds=1\nScore=loudest", 3, 3, TScoreRule::Average},
      {"Round Seconds=ten\nCountdown Seconds=zero", 10, 3, TScoreRule::Average},
  };
  for (const auto& c : cases) {
    test::TScratchFolder folder("contest_rules");
    const std::string path = folder / "Contest.txt";
    std::ofstream(path, std::ios::binary) << "[Contest]\n" << c.text << "\n";
    const TContestRules rules = ReadContestFile(path).Contest.Rules;
    EXPECT_EQ(rules.RoundSeconds, c.round) << c.text;
    EXPECT_EQ(rules.CountdownSeconds, c.countdown) << c.text;
    EXPECT_EQ(rules.Score, c.rule) << c.text;
  }
}

TEST(ContestFile, SaveKeepsEncodingLineEndsAndOtherLinesAndDropsNamesNoLongerThere) {
  const struct {
    const char* name;
    std::string bytes;
    std::string starts;  // what the saved bytes begin with: mark, kept line, line end
  } cases[] = {
      {"CarriageReturns", "; kept\r[Contestants]\r1=Anna\r2=Ben\r3=Cleo\r", "; kept\r["},
      {"Utf16", Utf16("; kept\r\n[Contestants]\r\n1=Anna\r\n2=Ben\r\n3=Cleo\r\n", false),
       Utf16("; kept\r\n[", false)},
  };
  for (const auto& c : cases) {
    test::TScratchFolder folder("contest_save");
    const std::string path = folder / "Contest.txt";
    std::ofstream(path, std::ios::binary) << c.bytes;
    TContest contest = ReadContestFile(path).Contest;
    contest.Contestants.erase(contest.Contestants.begin() + 1);
    contest.Contestants[1].Name = "Zo\xC3\xAB";
    SaveContestFile(path, contest);
    const std::string saved = ReadBytes(path);
    EXPECT_EQ(saved.substr(0, c.starts.size()), c.starts) << c.name;
    const TContestFileRead again = ReadContestFile(path);
    ASSERT_EQ(again.Contest.Contestants.size(), 2u) << c.name;
    EXPECT_EQ(again.Contest.Contestants[1].Name, "Zo\xC3\xAB") << c.name;
  }
}

TEST(ContestFile, NeverWritesOverAFileThatIsNotTextUnlessToldTo) {
  test::TScratchFolder folder("contest_binary");
  const std::string path = folder / "Contest.txt";
  const std::string binary("GIF89a\0\x01\0\x01", 10);
  std::ofstream(path, std::ios::binary) << binary;
  TContest contest;
  contest.Add("Anna");
  EXPECT_THROW(SaveContestFile(path, contest), TFileWriteError);
  EXPECT_EQ(ReadBytes(path), binary);
  SaveContestFile(path, contest, true);
  EXPECT_EQ(ReadContestFile(path).Contest.Contestants.at(0).Name, "Anna");
}

}  // namespace
}  // namespace roarmark
