// The setup dialog's conversions of typed times and positions, with the values worked out from
// the buffer length of 1100 / 44100 s.
#include "setup/setup_numbers.h"

#include <gtest/gtest.h>

namespace roarmark {
namespace {

TEST(SetupNumbers, AveragingTimeBecomesBuffersWithinOneTo400) {
  struct TCase {
    const char* Text;
    std::optional<int> Buffers;
  };
  for (const TCase& c :
       {TCase{"0.5", 20}, TCase{"1", 40}, TCase{"9.99", 400}, TCase{"10", std::nullopt},
        TCase{"0", std::nullopt}, TCase{"-1", std::nullopt}, TCase{"0.001", 1}, TCase{"abc", 20},
        TCase{"", 20}, TCase{"0.1", 4}}) {
    EXPECT_EQ(AverageNumberFromText(c.Text, '.'), c.Buffers) << c.Text;
  }
  EXPECT_EQ(AverageNumberFromText("0,5", ','), 20);
}

TEST(SetupNumbers, ResetTimeTypedAndOnOk) {
  struct TCase {
    const char* Text;
    std::optional<int> Live;
    std::optional<int> Ok;
  };
  for (const TCase& c : {
           TCase{"0", 10, std::nullopt},
           TCase{"120", std::nullopt, std::nullopt},
           TCase{"abc", 5000, 500},
           TCase{"", std::nullopt, 500},
           TCase{"0.29", 290, 290},  // a hair below 0.29 in binary must not give 289
           TCase{"119.999", 119999, 119999},
           TCase{"-3", std::nullopt, std::nullopt},
       }) {
    EXPECT_EQ(LiveResetTime(c.Text, '.'), c.Live) << c.Text;
    EXPECT_EQ(OkResetTime(c.Text, '.'), c.Ok) << c.Text;
  }
}

TEST(SetupNumbers, TimesAreShownInSeconds) {
  EXPECT_EQ(AverageTimeText(20, '.'), "0.5");
  EXPECT_EQ(AverageTimeText(40, '.'), "1");
  EXPECT_EQ(AverageTimeText(400, '.'), "10");
  EXPECT_EQ(AverageTimeText(1, ','), "0,025");
  EXPECT_EQ(ResetTimeText(5000, '.'), "5");
  EXPECT_EQ(ResetTimeText(500, ','), "0,5");
}

TEST(SetupNumbers, PositionFieldsFallBack) {
  EXPECT_EQ(PositionFieldValue("", 100, 1), 100);
  EXPECT_EQ(PositionFieldValue("x", 700, 650), 700);
  EXPECT_EQ(PositionFieldValue("0", 700, 650), 650);
  EXPECT_EQ(PositionFieldValue("2500", 700, 650), 2500);
  EXPECT_EQ(PositionFieldValue("99999999999", 620, 0), 620);
}

}  // namespace
}  // namespace roarmark
