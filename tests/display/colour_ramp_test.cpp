// Colour ramp: worked tables for both styles, midtone, blend offsets and clamping.
#include "display/colour_ramp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "display/display_state.h"

namespace roarmark {
namespace {

struct Entry {
  int index;
  int r, g, b;
};

struct RampCase {
  const char* name;
  int style;
  TColor base, top;
  int offset, midtone;
  std::vector<Entry> entries;
};

class ColourRampTest : public ::testing::TestWithParam<RampCase> {};

TEST_P(ColourRampTest, EntriesMatchTheHandWorkedValuesWithinOneUnit) {
  const RampCase& c = GetParam();
  TMeterSettings s;
  s.Style = c.style;
  s.BaseColor = c.base;
  s.TopColor = c.top;
  s.BlendOffset = c.offset;
  s.Midtone = c.midtone;
  TColourRamp ramp;
  BuildColourRamp(ramp, s);
  for (const Entry& e : c.entries) {
    const TRampEntry& got = ramp.Entries[static_cast<std::size_t>(e.index)];
    EXPECT_LE(std::abs(got.R - e.r), 1) << "entry " << e.index << " red " << int{got.R};
    EXPECT_LE(std::abs(got.G - e.g), 1) << "entry " << e.index << " green " << int{got.G};
    EXPECT_LE(std::abs(got.B - e.b), 1) << "entry " << e.index << " blue " << int{got.B};
  }
}

INSTANTIATE_TEST_SUITE_P(
    Ramps, ColourRampTest,
    ::testing::Values(
        RampCase{"DefaultsVertical",
                 kStyleVerticalBars,
                 0xFF0000,
                 0x8000FF,
                 0,
                 50,
                 {{0, 0, 0, 255},
                  {10, 81, 30, 255},
                  {20, 161, 60, 255},
                  {25, 202, 75, 255},
                  {30, 212, 60, 238},
                  {40, 233, 30, 183},
                  {50, 254, 0, 128}}},
        RampCase{"DefaultsHorizontal",
                 kStyleHorizontalBars,
                 0xFF0000,
                 0x8000FF,
                 0,
                 50,
                 {{25, 100, 37, 255}, {50, 202, 75, 255}, {75, 228, 37, 196}, {100, 255, 0, 127}}},
        RampCase{"MidtoneHundredHasNoBump",
                 kStyleVerticalBars,
                 0xFF0000,
                 0x8000FF,
                 0,
                 100,
                 {{25, 127, 0, 191}}},
        RampCase{"OffsetPlus40MovesOnlyTheDecreasingBlue",
                 kStyleVerticalBars,
                 0xFF0000,
                 0x8000FF,
                 40,
                 50,
                 {{0, 0, 0, 215}, {10, 81, 30, 235}, {40, 233, 30, 207}, {50, 254, 0, 168}}},
        RampCase{"OffsetMinus40ClampsTheStartAndLowersTheEnd",
                 kStyleVerticalBars,
                 0xFF0000,
                 0x8000FF,
                 -40,
                 50,
                 {{0, 0, 0, 255}, {50, 254, 0, 87}}},
        // Red 30 -> 10 with offset 100: starts at -70 (stored 0), then climbs by 1.6 from 0.
        RampCase{"DecreasingChannelBelowTheOffset",
                 kStyleVerticalBars,
                 0x00001E,
                 0x00000A,
                 100,
                 100,
                 {{0, 0, 0, 0}, {1, 0, 0, 0}, {11, 16, 0, 0}, {50, 78, 0, 0}}},
        RampCase{
            "EqualColoursStillLightenTheMiddle",
            kStyleVerticalBars,
            0x204060,
            0x204060,
            0,
            50,
            {{0, 0x60, 0x40, 0x20}, {25, 0x60 + 75, 0x40 + 75, 0x20 + 75}, {50, 0x60, 0x40, 0x20}}},
        RampCase{"MidtoneZeroAddsUpTo150Clamped",
                 kStyleVerticalBars,
                 0x000000,
                 0x808080,
                 0,
                 0,
                 {{25, 64 + 150, 64 + 150, 64 + 150}, {0, 0, 0, 0}}},
        RampCase{"MidtoneZeroClampsAt255",
                 kStyleVerticalBars,
                 0xC8C8C8,
                 0xC8C8C8,
                 0,
                 0,
                 {{25, 255, 255, 255}, {10, 255, 255, 255}, {0, 200, 200, 200}}},
        // A midtone above 100 darkens the middle, never below 0: 16 - 75 would be -59.
        RampCase{"MidtoneAboveHundredStopsAtZero",
                 kStyleVerticalBars,
                 0x101010,
                 0x101010,
                 0,
                 150,
                 {{25, 0, 0, 0}, {0, 16, 16, 16}}},
        RampCase{"BrighterTopIgnoresTheOffset",
                 kStyleHorizontalBars,
                 0x102030,
                 0x405060,
                 70,
                 100,
                 {{0, 0x30, 0x20, 0x10}, {50, 0x48, 0x38, 0x28}}}),
    [](const auto& info) { return info.param.name; });

struct StepsCase {
  int style;
  int steps;
};

class RampStepsTest : public ::testing::TestWithParam<StepsCase> {};

TEST_P(RampStepsTest, FiftyStepsForVerticalBarsOnlyHundredOtherwise) {
  TMeterSettings s;
  s.Style = GetParam().style;
  TColourRamp ramp;
  BuildColourRamp(ramp, s);
  EXPECT_EQ(ramp.Count, GetParam().steps);
  EXPECT_EQ(RampSteps(GetParam().style), GetParam().steps);
}

INSTANTIATE_TEST_SUITE_P(Styles, RampStepsTest,
                         ::testing::Values(StepsCase{kStyleBackgroundOnly, 100},
                                           StepsCase{kStyleVerticalBars, 50},
                                           StepsCase{kStyleHorizontalBars, 100},
                                           StepsCase{kStyleAnalogue, 100}));

TEST(ColourRamp, SystemColoursAreResolvedBeforeSplitting) {
  class Table : public platform::ISystemColours {
   public:
    std::uint32_t SystemColour(int index) const override { return index == 5 ? 0x0000FF : 0; }
  } table;
  TDisplayState display;
  display.SystemColours = &table;
  TMeterSettings s;
  s.Style = kStyleVerticalBars;
  s.BaseColor = 0x80000005;  // red through the table
  s.TopColor = 0x80000005;
  s.Midtone = 100;
  BuildColourRamp(display, s);
  EXPECT_EQ(display.ColourRamp.Entries[0], (TRampEntry{255, 0, 0}));
  EXPECT_EQ(display.ColourRamp.Entries[50], (TRampEntry{255, 0, 0}));
}

}  // namespace
}  // namespace roarmark
