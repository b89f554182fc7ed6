// Scores, ranks and results lines worked out by hand.
#include <gtest/gtest.h>

#include <fstream>

#include "../temp_folder.h"
#include "contest/contest.h"
#include "contest/results_file.h"

namespace roarmark {
namespace {

TEST(ContestScore, FiguresArePositionsOver10Point2InTenthsRoundedHalfUp) {
  const struct {
    std::int64_t sum, buffers;
    int peak;
    TRoundFigures expected;
  } cases[] = {
      {1020 * 121, 121, 1020, {1000, 1000}},  // full scale: 100.0
      {512, 1, 512, {502, 502}},              // 50.196: as the readout shows it
      {639 * 121, 121, 639, {626, 626}},      // 62.647
      {1024, 1, 1024, {1004, 1004}},          // a meter driven past the table: 100.39
      {1, 1, 1, {1, 1}},                      // 0.098
      // (40 x 639 + 41 x 909) / 81 = 775.67 -> 76.05 (half up gives 76.0 from 760.46)
      {40 * 639 + 41 * 909, 81, 909, {760, 891}},
      {0, 0, 0, {0, 0}},  // no buffer: nothing to divide by, nothing scored
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FiguresOfRound(c.sum, c.buffers, c.peak), c.expected) << c.sum << "/" << c.buffers;
  }
}

TEST(ContestScore, RanksByRuleWithTiesBrokenByTheOtherFigure) {
  // Figures in tenths (average, peak); none: no valid round yet.
  const std::vector<std::optional<TRoundFigures>> figures = {
      TRoundFigures{804, 804},
      TRoundFigures{804, 863},
      TRoundFigures{804, 804},
      TRoundFigures{628, 863},
      std::nullopt,
  };
  const struct {
    TScoreRule rule;
    std::vector<int> ranks;
  } cases[] = {
      {TScoreRule::Average, {2, 1, 2, 4, 0}},
      {TScoreRule::Peak, {3, 1, 3, 2, 0}},
  };
  for (const auto& c : cases) {
    TContest contest;
    contest.Rules.Score = c.rule;
    for (const auto& f : figures)
      contest.Add("x").Latest = f;
    EXPECT_EQ(Ranks(contest), c.ranks);
  }
}

TEST(ContestResults, LinesQuoteNamesAndGiveSecondsOfSound) {
  const platform::TLocalTime start{2025, 6, 14, 20, 5, 9};
  const struct {
    TResultRow row;
    const char* expected;
  } cases[] = {
      {{"Anna", start, 401, {626, 891}, 626, false},
       "Anna,2025-06-14 20:05:09,10.0,62.6,89.1,62.6,0"},
      {{"Ben, \"B\"", start, 81, {760, 891}, 891, false},
       "\"Ben, \"\"B\"\"\",2025-06-14 20:05:09,2.0,76.0,89.1,89.1,0"},
      // 41 buffers are 1.02 s; a void round has no score.
      {{"Zo\xC3\xAB", start, 41, {626, 626}, 626, true},
       "Zo\xC3\xAB,2025-06-14 20:05:09,1.0,62.6,62.6,,1"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ResultLine(c.row), c.expected);
}

TEST(ContestResults, ARunStartedInTheSameSecondAsAnotherGetsAFileOfItsOwn) {
  test::TScratchFolder folder("contest_results");
  const std::string files = folder.String() + "/";
  const platform::TLocalTime started{2025, 1, 2, 3, 4, 5};
  TResultsFile first(files, started);
  TResultsFile second(files, started);
  const TResultRow row{"Anna", started, 121, {626, 626}, 626, false};
  first.Add(row);
  second.Add(row);
  second.Add(row);
  EXPECT_EQ(first.Path(), files + "Contest Results 2025-01-02 03-04-05.csv");
  EXPECT_EQ(second.Path(), files + "Contest Results 2025-01-02 03-04-05 (2).csv");
  std::ifstream in(second.Path(), std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text, std::string(kResultsHeader) + "\r\n" + ResultLine(row) + "\r\n" +
                      ResultLine(row) + "\r\n");
}

}  // namespace
}  // namespace roarmark
