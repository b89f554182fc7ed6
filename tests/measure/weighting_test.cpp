// Frequency weighting A and C through the measurement path, against the standard's design
// values and class 1 limits at its nominal frequencies.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "measure/sound_level.h"
#include "signals.h"

namespace roarmark {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

struct TWeightingRow {
  double Nominal;      // Hz
  double A, C;         // design values, dB
  double Plus, Minus;  // class 1 limits, dB
};

// IEC 61672-1:2002, Table 2 (identical to GOST 17187-2010, Table 2): frequency weightings and
// class 1 limits (including the expanded uncertainty of measurement). The design values belong
// to the exact frequencies 1 kHz x 10^((n - 30) / 10), n = 10..42.
const TWeightingRow kTable2[] = {
    {10, -70.4, -14.3, 3.5, kInf}, {12.5, -63.4, -11.2, 3.0, kInf}, {16, -56.7, -8.5, 2.5, 4.5},
    {20, -50.5, -6.2, 2.5, 2.5},   {25, -44.7, -4.4, 2.5, 2.0},     {31.5, -39.4, -3.0, 2.0, 2.0},
    {40, -34.6, -2.0, 1.5, 1.5},   {50, -30.2, -1.3, 1.5, 1.5},     {63, -26.2, -0.8, 1.5, 1.5},
    {80, -22.5, -0.5, 1.5, 1.5},   {100, -19.1, -0.3, 1.5, 1.5},    {125, -16.1, -0.2, 1.5, 1.5},
    {160, -13.4, -0.1, 1.5, 1.5},  {200, -10.9, 0.0, 1.5, 1.5},     {250, -8.6, 0.0, 1.4, 1.4},
    {315, -6.6, 0.0, 1.4, 1.4},    {400, -4.8, 0.0, 1.4, 1.4},      {500, -3.2, 0.0, 1.4, 1.4},
    {630, -1.9, 0.0, 1.4, 1.4},    {800, -0.8, 0.0, 1.4, 1.4},      {1000, 0.0, 0.0, 1.1, 1.1},
    {1250, 0.6, 0.0, 1.4, 1.4},    {1600, 1.0, -0.1, 1.6, 1.6},     {2000, 1.2, -0.2, 1.6, 1.6},
    {2500, 1.3, -0.3, 1.6, 1.6},   {3150, 1.2, -0.5, 1.6, 1.6},     {4000, 1.0, -0.8, 1.6, 1.6},
    {5000, 0.5, -1.3, 2.1, 2.1},   {6300, -0.1, -2.0, 2.1, 2.6},    {8000, -1.1, -3.0, 2.1, 3.1},
    {10000, -2.5, -4.4, 2.6, 3.6}, {12500, -4.3, -6.2, 3.0, 6.0},   {16000, -6.6, -8.5, 3.5, 17.0},
};

// A steady sine through the whole path; the weighting is the weighted energy of whole seconds
// against the unweighted one, once the filters have settled.
TEST(FrequencyWeighting, SinesAtTheNominalFrequenciesStayWithinClass1OfTheDesignValues) {
  int n = 10;
  for (const TWeightingRow& row : kTable2) {
    const double hz = 1000 * std::pow(10.0, (n++ - 30) / 10.0);
    SCOPED_TRACE(row.Nominal);
    std::vector<std::uint8_t> block;
    test::AppendSine(block, hz, 10000, 4 * 44100);
    TSoundLevel level;
    level.ProcessBlock(block.data(), 4 * 44100);
    std::vector<TSecond> seconds;
    level.TakeSeconds(seconds);
    ASSERT_EQ(seconds.size(), 4u);
    TEnergy settled = seconds[2].Energy;
    settled += seconds[3].Energy;
    const double a = 10 * std::log10(settled.A / settled.Z);
    const double c = 10 * std::log10(settled.C / settled.Z);
    EXPECT_LE(a - row.A, row.Plus);
    EXPECT_GE(a - row.A, -row.Minus);
    EXPECT_LE(c - row.C, row.Plus);
    EXPECT_GE(c - row.C, -row.Minus);
    // Far inside the limits: the design follows the analogue definition to a few hundredths.
    EXPECT_NEAR(a, row.A, 0.1);
    EXPECT_NEAR(c, row.C, 0.1);
  }
}

}  // namespace
}  // namespace roarmark
