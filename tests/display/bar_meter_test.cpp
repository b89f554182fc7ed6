// Bar meter renderers: block positions, lit and unlit blocks, peak block, changeover, limits.
#include "display/bar_meter.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

#include "display/meter_display.h"
#include "display_test_support.h"

namespace roarmark {
namespace {

using testing::kSentinel;

constexpr TColor32 kBarBackground = 0xFF002626;  // 0x262600
constexpr TColor32 kBase = 0xFF0000FF;           // 0xFF0000
constexpr TColor32 kTop = 0xFFFF0080;            // 0x8000FF
constexpr TColor32 kPeakWhite = 0xFFFFFFFF;

// Expected colour of a pixel: a fixed colour, a ramp entry or the sentinel (untouched).
struct Expect {
  int x, y;
  int ramp = -1;  // ramp entry when >= 0
  TColor32 colour = 0;
};

Expect Ramp(int x, int y, int entry) {
  return {x, y, entry, 0};
}
Expect Colour(int x, int y, TColor32 c) {
  return {x, y, -1, c};
}

struct BarCase {
  const char* name;
  std::function<void(TMeterSettings&, TDisplayState&)> setup;
  int position;
  int peak;
  std::vector<Expect> expects;
};

void CheckBars(const BarCase& c, int style, int width, int height) {
  TMeterSettings s;
  s.Style = style;
  TDisplayState display;
  display.DisplayBitmap = testing::SentinelBitmap(width, height);
  if (c.setup) c.setup(s, display);
  BuildColourRamp(display, s);
  TMeterState state;
  state.PeakMarker = c.peak;
  TMeterDisplay meter(display, s, state);
  if (style == kStyleVerticalBars) {
    meter.DrawVerticalBars(c.position);
  } else {
    meter.DrawHorizontalBars(c.position);
  }
  for (const Expect& e : c.expects) {
    const TColor32 want =
        e.ramp >= 0
            ? Color32(display.ColourRamp.Entries[static_cast<std::size_t>(e.ramp)].AsColour())
            : e.colour;
    EXPECT_EQ(display.DisplayBitmap.Pixel(e.x, e.y), want)
        << "pixel (" << e.x << ", " << e.y << ")" << std::hex << " got 0x"
        << display.DisplayBitmap.Pixel(e.x, e.y) << " want 0x" << want;
  }
}

// --- Vertical ---------------------------------------------------------------------------------

class VerticalBarsTest : public ::testing::TestWithParam<BarCase> {};

TEST_P(VerticalBarsTest, PaintsTheBlocksAsWorkedOut) {
  CheckBars(GetParam(), kStyleVerticalBars, 400, 800);
}

// Default box: X 188, Y 764, W 128, H 650: p = 13, b = 11, block i has rows
// 764 - 13 i - 11 .. 764 - 13 i - 1.
INSTANTIATE_TEST_SUITE_P(Worked, VerticalBarsTest,
                         ::testing::Values(
                             // L = 325, k = 34: blocks 0..25 lit, block 34 keeps its segment
                             // colour.
                             BarCase{
                                 "DefaultsHalfScaleWithPeak",
                                 nullptr,
                                 512,
                                 700,
                                 {Ramp(188, 763, 0), Ramp(315, 753, 0), Colour(188, 752, kSentinel),
                                  Colour(187, 758, kSentinel), Colour(316, 758, kSentinel),
                                  Colour(200, 764, kSentinel), Ramp(200, 438, 25),
                                  Ramp(200, 428, 25), Colour(200, 425, kBarBackground),
                                  Ramp(200, 321, 34), Ramp(200, 311, 34),
                                  Colour(200, 326, kBarBackground),
                                  Colour(200, 113, kBarBackground),
                                  Colour(200, 103, kBarBackground), Colour(200, 102, kSentinel)}},
                             BarCase{"UnblendedLitBlocksInBaseColour",
                                     [](TMeterSettings& s, TDisplayState&) { s.Blend = false; },
                                     512,
                                     700,
                                     {Colour(200, 763, kBase), Colour(200, 428, kBase),
                                      Colour(200, 425, kBarBackground), Colour(200, 321, kBase),
                                      Colour(200, 243, kBarBackground)}},
                             // Full scale unblended: block 40 (rows 233..243) is the first in the
                             // top colour.
                             BarCase{"UnblendedChangeoverAtForty",
                                     [](TMeterSettings& s, TDisplayState&) { s.Blend = false; },
                                     1024,
                                     0,
                                     {Colour(200, 256, kBase), Colour(200, 246, kBase),
                                      Colour(200, 243, kTop), Colour(200, 233, kTop),
                                      Colour(200, 103, kTop)}},
                             BarCase{"PeakBlockInPeakColour",
                                     [](TMeterSettings& s, TDisplayState&) { s.ColorPeak = true; },
                                     512,
                                     700,
                                     {Colour(200, 321, kPeakWhite), Colour(200, 311, kPeakWhite),
                                      Ramp(200, 438, 25)}},
                             // A marker of 20 gives index (20 * 650 div 1024) div 13 = 12 div 13 =
                             // 0: no peak.
                             BarCase{"MarkerAtIndexZeroShowsNoPeak",
                                     [](TMeterSettings& s, TDisplayState&) { s.ColorPeak = true; },
                                     1,
                                     20,
                                     {Colour(200, 763, kBarBackground)}},
                             // L = 23 * 650 div 1024 = 14: below the threshold nothing is lit.
                             BarCase{"BelowThresholdNothingLit",
                                     nullptr,
                                     23,
                                     0,
                                     {Colour(200, 763, kBarBackground),
                                      Colour(200, 750, kBarBackground)}},
                             // L = 15: blocks at d = 0 and 13 lit, d = 26 not.
                             BarCase{"AtThresholdFirstBlocksLit",
                                     nullptr,
                                     24,
                                     0,
                                     {Ramp(200, 763, 0), Ramp(200, 750, 1),
                                      Colour(200, 737, kBarBackground)}},
                             BarCase{"SolidBarHasNoGaps",
                                     [](TMeterSettings& s, TDisplayState&) { s.Blocks = false; },
                                     512,
                                     0,
                                     {Ramp(200, 763, 0), Ramp(200, 752, 0), Ramp(200, 751, 0),
                                      Ramp(200, 750, 1)}},
                             // s = 40 + 100 div 4 = 65: never reached, the whole bar stays in the
                             // base colour.
                             BarCase{"OffsetHundredUnblendedAllBase",
                                     [](TMeterSettings& s, TDisplayState&) {
                                       s.Blend = false;
                                       s.BlendOffset = 100;
                                     },
                                     1024,
                                     0,
                                     {Colour(200, 103, kBase), Colour(200, 233, kBase)}},
                             // s = 40 - 25 = 15: block 15 (rows 558..568) turns to the top colour.
                             BarCase{"OffsetMinusHundredChangesAtFifteen",
                                     [](TMeterSettings& s, TDisplayState&) {
                                       s.Blend = false;
                                       s.BlendOffset = -100;
                                     },
                                     1024,
                                     0,
                                     {Colour(200, 571, kBase), Colour(200, 568, kTop),
                                      Colour(200, 558, kTop)}},
                             BarCase{
                                 "SelectedMeterFramedInTopColour",
                                 [](TMeterSettings&, TDisplayState& d) { d.MeterSelected = true; },
                                 512,
                                 0,
                                 {Colour(188, 114, kTop), Colour(250, 114, kTop),
                                  Colour(315, 500, kTop), Colour(250, 763, kTop),
                                  Colour(188, 763, kTop), Ramp(250, 762, 0),
                                  Colour(250, 113, kBarBackground)}},
                             // H 40: pitch 1, blocks 2 high overlapping; block i covers rows 58 - i
                             // .. 59 - i.
                             BarCase{"LowBoxBlocksOverlap",
                                     [](TMeterSettings& s, TDisplayState&) {
                                       s.MeterX = 5;
                                       s.MeterY = 60;
                                       s.MeterWidth = 10;
                                       s.MeterHeight = 40;
                                     },
                                     1024,
                                     0,
                                     {Ramp(5, 59, 0), Ramp(5, 58, 1), Ramp(5, 19, 40),
                                      Colour(5, 18, kBarBackground), Colour(5, 8, kBarBackground),
                                      Colour(5, 7, kSentinel), Colour(5, 60, kSentinel),
                                      Colour(15, 59, kSentinel)}},
                             // Y 300: block 23 covers rows -10..0; later blocks stop at the top and
                             // paint nothing.
                             BarCase{"BlocksAboveRowZeroAreCut",
                                     [](TMeterSettings& s, TDisplayState&) { s.MeterY = 300; },
                                     1024,
                                     0,
                                     {Ramp(200, 0, 23), Colour(200, 1, kSentinel),
                                      Colour(200, 2, kSentinel), Ramp(200, 3, 22)}},
                             // P x H and X + W beyond 32 bits: block 0 of a 2e9 high box covers
                             // everything above Y and is lit at full scale.
                             BarCase{
                                 "HugeBoxUsesWideArithmetic",
                                 [](TMeterSettings& s, TDisplayState&) {
                                   s.MeterX = -1000000000;
                                   s.MeterWidth = 2000000000;
                                   s.MeterHeight = 2000000000;
                                 },
                                 1024,
                                 0,
                                 {Ramp(10, 763, 0), Ramp(399, 0, 0), Colour(10, 764, kSentinel)}}),
                         [](const auto& info) { return info.param.name; });

// --- Horizontal -------------------------------------------------------------------------------

class HorizontalBarsTest : public ::testing::TestWithParam<BarCase> {};

TEST_P(HorizontalBarsTest, PaintsTheBlocksAsWorkedOut) {
  CheckBars(GetParam(), kStyleHorizontalBars, 800, 800);
}

void WideBox(TMeterSettings& s, TDisplayState&) {
  s.MeterWidth = 500;
  s.MeterHeight = 100;
}

// X 188, Y 764, W 500, H 100: p = 5, b = 3, block i has columns 188 + 5 i .. 190 + 5 i and
// rows 664..763.
INSTANTIATE_TEST_SUITE_P(
    Worked, HorizontalBarsTest,
    ::testing::Values(
        // L = 250, k = 68: block 50 (d = 250) is not lit when blended.
        BarCase{
            "BlendedHalfScaleWithPeak",
            WideBox,
            512,
            700,
            {Ramp(188, 763, 0), Ramp(190, 664, 0), Colour(191, 700, kSentinel),
             Colour(188, 663, kSentinel), Colour(188, 764, kSentinel), Colour(187, 700, kSentinel),
             Ramp(433, 700, 49), Ramp(435, 700, 49), Colour(438, 700, kBarBackground),
             Ramp(528, 700, 68), Colour(683, 700, kBarBackground), Colour(685, 700, kBarBackground),
             Colour(686, 700, kSentinel)}},
        BarCase{
            "UnblendedLightsTheBlockAtTheLevel",
            [](TMeterSettings& s, TDisplayState& d) {
              WideBox(s, d);
              s.Blend = false;
            },
            512,
            700,
            {Colour(438, 700, kBase), Colour(443, 700, kBarBackground), Colour(528, 700, kBase)}},
        // s = 80: block 80 at column 588 is the first in the top colour.
        BarCase{"UnblendedChangeoverAtEighty",
                [](TMeterSettings& s, TDisplayState& d) {
                  WideBox(s, d);
                  s.Blend = false;
                },
                1024,
                0,
                {Colour(583, 700, kBase), Colour(588, 700, kTop), Colour(683, 700, kTop)}},
        // L = 61 * 500 div 1024 = 29: below the threshold.
        BarCase{"BelowThresholdNothingLit", WideBox, 61, 0, {Colour(188, 700, kBarBackground)}},
        // L = 30: blocks at d 0..25 lit; d = 30 lit only without blending.
        BarCase{"AtThresholdBlendedStopsBeforeTheLevel",
                WideBox,
                62,
                0,
                {Ramp(188, 700, 0), Ramp(213, 700, 5), Colour(218, 700, kBarBackground)}},
        BarCase{
            "AtThresholdUnblendedIncludesTheLevel",
            [](TMeterSettings& s, TDisplayState& d) {
              WideBox(s, d);
              s.Blend = false;
            },
            62,
            0,
            {Colour(213, 700, kBase), Colour(218, 700, kBase), Colour(223, 700, kBarBackground)}},
        BarCase{"PeakBlockInPeakColour",
                [](TMeterSettings& s, TDisplayState& d) {
                  WideBox(s, d);
                  s.ColorPeak = true;
                },
                512,
                700,
                {Colour(528, 700, kPeakWhite), Colour(530, 700, kPeakWhite),
                 Colour(533, 700, kBarBackground)}},
        // W 150: p = 1 and k = 150 clamps to 100, which matches no block.
        BarCase{"PeakBeyondTheLastBlockShowsNothing",
                [](TMeterSettings& s, TDisplayState&) {
                  s.MeterWidth = 150;
                  s.MeterHeight = 100;
                  s.ColorPeak = true;
                },
                1,
                1024,
                {Colour(188 + 99, 700, kBarBackground), Colour(188 + 100, 700, kBarBackground),
                 Colour(188 + 101, 700, kSentinel)}},
        // W 50: p = 1, blocks 2 wide overlapping, reaching column X + 100.
        BarCase{"NarrowBoxBlocksOverlap",
                [](TMeterSettings& s, TDisplayState&) {
                  s.MeterWidth = 50;
                  s.MeterHeight = 100;
                },
                1024,
                0,
                {Ramp(188, 700, 0), Ramp(188 + 49, 700, 49), Colour(188 + 50, 700, kBarBackground),
                 Colour(188 + 100, 700, kBarBackground), Colour(188 + 101, 700, kSentinel)}},
        // The XOR outline inverts red wherever it falls: on block 0 and in a gap.
        BarCase{"SelectedMeterGetsTheXorOutline",
                [](TMeterSettings& s, TDisplayState& d) {
                  WideBox(s, d);
                  d.MeterSelected = true;
                },
                512,
                0,
                {Colour(188, 664, kBase ^ 0x00FF0000), Colour(191, 664, kSentinel ^ 0x00FF0000),
                 Colour(191, 700, kSentinel), Colour(687, 700, kSentinel ^ 0x00FF0000)}}),
    [](const auto& info) { return info.param.name; });

// --- Degenerate boxes -------------------------------------------------------------------------

struct EmptyBoxCase {
  const char* name;
  int width, height;
};

class EmptyBoxTest : public ::testing::TestWithParam<EmptyBoxCase> {};

TEST_P(EmptyBoxTest, BoxWithoutWidthOrHeightDrawsNothing) {
  for (int style : {kStyleVerticalBars, kStyleHorizontalBars}) {
    TMeterSettings s;
    s.Style = style;
    s.MeterX = 10;
    s.MeterY = 90;
    s.MeterWidth = GetParam().width;
    s.MeterHeight = GetParam().height;
    TDisplayState display;
    display.DisplayBitmap = testing::SentinelBitmap(100, 100);
    display.MeterSelected = true;
    BuildColourRamp(display, s);
    TMeterState state;
    state.PeakMarker = 1024;
    if (style == kStyleVerticalBars) {
      DrawVerticalBars(display, s, state, 1024);
    } else {
      DrawHorizontalBars(display, s, state, 1024);
    }
    testing::ExpectPixels(display.DisplayBitmap, [](int, int) { return kSentinel; });
  }
}

INSTANTIATE_TEST_SUITE_P(Boxes, EmptyBoxTest,
                         ::testing::Values(EmptyBoxCase{"ZeroWidth", 0, 50},
                                           EmptyBoxCase{"ZeroHeight", 50, 0},
                                           EmptyBoxCase{"NegativeWidth", -5, 50},
                                           EmptyBoxCase{"NegativeHeight", 50, -50},
                                           EmptyBoxCase{"MostNegative", INT_MIN, INT_MIN}),
                         [](const auto& info) { return info.param.name; });

// --- Geometry ---------------------------------------------------------------------------------

TEST(BarGeometry, WorkedConstants) {
  TMeterSettings s;
  TMeterState state;
  state.PeakMarker = 700;
  const TBarGeometry v = VerticalBarGeometry(s, state, 512);
  EXPECT_EQ(v.Lit, 325);
  EXPECT_EQ(v.Pitch, 13);
  EXPECT_EQ(v.Block, 11);
  EXPECT_EQ(v.PeakIndex, 34);
  EXPECT_EQ(v.Changeover, 40);
  s.MeterWidth = 500;
  s.MeterHeight = 100;
  const TBarGeometry h = HorizontalBarGeometry(s, state, 512);
  EXPECT_EQ(h.Lit, 250);
  EXPECT_EQ(h.Pitch, 5);
  EXPECT_EQ(h.Block, 3);
  EXPECT_EQ(h.PeakIndex, 68);
  EXPECT_EQ(h.Changeover, 80);
}

}  // namespace
}  // namespace roarmark
