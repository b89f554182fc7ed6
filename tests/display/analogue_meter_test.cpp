// Analogue meter: needle geometry, needles drawn into the box, backing refresh, clipping.
#include "display/analogue_meter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "display/readout.h"
#include "display_test_support.h"

namespace roarmark {
namespace {

constexpr TColor32 kTop = 0xFFFF0080;   // 0x8000FF, the needle
constexpr TColor32 kBase = 0xFF0000FF;  // 0xFF0000, the needle's right edge
constexpr TColor32 kWhite = 0xFFFFFFFF;

// --- Geometry ---------------------------------------------------------------------------------

struct NeedleCase {
  const char* name;
  int position;
  TNeedleVertices expected;
};

class NeedleVerticesTest : public ::testing::TestWithParam<NeedleCase> {};

// W 1200, H 600, pivot offset 0: pivot (600, 616), L = 570.
TEST_P(NeedleVerticesTest, WorkedAngles) {
  const NeedleCase& c = GetParam();
  const TNeedleVertices v = NeedleVertices(600, 616, NeedleAngle(c.position), NeedleLength(600));
  EXPECT_EQ(v.Pivot, (TPoint64{600, 616}));
  EXPECT_EQ(v.B, c.expected.B);
  EXPECT_EQ(v.R, c.expected.R);
  EXPECT_EQ(v.T, c.expected.T);
  EXPECT_EQ(v.S, c.expected.S);
  EXPECT_EQ(v.A, c.expected.A);
}

INSTANTIATE_TEST_SUITE_P(
    Angles, NeedleVerticesTest,
    ::testing::Values(
        NeedleCase{
            "MidScale", 512, {{600, 616}, {610, 616}, {602, 46}, {601, 36}, {599, 46}, {590, 616}}},
        NeedleCase{"FullScale",
                   1024,
                   {{600, 616}, {605, 625}, {1095, 334}, {1103, 328}, {1094, 331}, {595, 607}}},
        NeedleCase{
            "Bottom", 1, {{600, 616}, {605, 607}, {107, 329}, {98, 326}, {106, 333}, {595, 625}}}),
    [](const auto& info) { return info.param.name; });

TEST(NeedleGeometry, AngleAndLength) {
  const double deg = std::numbers::pi / 180;
  EXPECT_NEAR(NeedleAngle(1) / deg, -60.0, 1e-9);
  EXPECT_NEAR(NeedleAngle(512) / deg, 0.0939, 1e-4);
  EXPECT_NEAR(NeedleAngle(1024) / deg, 60.188, 1e-3);
  EXPECT_EQ(NeedleAngle(8), NeedleAngle(11));  // Q div 4
  EXPECT_EQ(NeedleLength(600), 570);
  EXPECT_EQ(NeedleLength(650), 617);
  EXPECT_EQ(NeedleLength(2000000000), 1900000000);
}

// --- Drawing ----------------------------------------------------------------------------------

TColor32 Pattern(int x, int y) {
  return 0xFF000000u |
         static_cast<TColor32>(((x * 7) & 0xFF) << 16 | ((y * 3) & 0xFF) << 8 | ((x + y) & 0x3F));
}

TBitmap32 PatternBitmap(int w, int h) {
  TBitmap32 b;
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x)
      b.SetPixel(x, y, Pattern(x, y));
  }
  return b;
}

// A 1400 x 800 display over the pattern with a 1200 x 600 box at (100, 100) .. (1300, 700):
// box point (bx, by) is display pixel (100 + bx, 100 + by).
struct Fixture {
  TMeterSettings s;
  TDisplayState display;
  TMeterState state;
  Fixture() {
    s.Style = kStyleAnalogue;
    s.MeterX = 100;
    s.MeterY = 700;
    s.MeterWidth = 1200;
    s.MeterHeight = 600;
    display.DisplayBitmap = PatternBitmap(1400, 800);
    display.BackgroundBitmap = PatternBitmap(1400, 800);
    SaveBackings(display, s);
  }
};

struct PixelExpect {
  int x, y;
  bool pattern;  // untouched background when true
  TColor32 colour;
};

void ExpectAt(const TBitmap32& b, const std::vector<PixelExpect>& expects) {
  for (const PixelExpect& e : expects) {
    const TColor32 want = e.pattern ? Pattern(e.x, e.y) : e.colour;
    EXPECT_EQ(b.Pixel(e.x, e.y), want)
        << "pixel (" << e.x << ", " << e.y << ")" << std::hex << " got 0x" << b.Pixel(e.x, e.y);
  }
}

TEST(AnalogueMeter, MidScaleNeedleInsideTheBoxOnly) {
  Fixture f;
  DrawAnalogueMeter(f.display, f.s, f.state, 512);
  ExpectAt(f.display.DisplayBitmap,
           {
               {700, 400, false, kTop},   // box (600, 300), between the sides 595 and 605.6
               {706, 431, false, kBase},  // right edge passes (606, 331) exactly
               {707, 431, true, 0},
               {701, 136, false, kBase},  // the tip T
               {720, 400, true, 0},
               {680, 400, true, 0},
               {700, 716, true, 0},  // the pivot lies below the box
               {700, 700, true, 0},
               {99, 400, true, 0},
               {1300, 400, true, 0},
               {700, 99, true, 0},
           });
}

struct PeakCase {
  const char* name;
  bool color_peak;
  int marker;
  int x, y;  // a pixel well inside the peak needle for the marker's angle
  bool drawn;
};

class PeakNeedleTest : public ::testing::TestWithParam<PeakCase> {};

TEST_P(PeakNeedleTest, DrawnOnlyWithPeakColourAboveTen) {
  const PeakCase& c = GetParam();
  Fixture f;
  f.s.ColorPeak = c.color_peak;
  f.state.PeakMarker = c.marker;
  DrawAnalogueMeter(f.display, f.s, f.state, 512);
  ExpectAt(f.display.DisplayBitmap, {{c.x, c.y, !c.drawn, kWhite}});
}

// 400 pixels from the pivot along the needle: box (947, 417) at full scale, (256, 410) for a
// marker of 10 or 11 (both 2 after div 4, -59.06 degrees).
INSTANTIATE_TEST_SUITE_P(Markers, PeakNeedleTest,
                         ::testing::Values(PeakCase{"FullScale", true, 1024, 1047, 517, true},
                                           PeakCase{"TenIsTooLow", true, 10, 356, 510, false},
                                           PeakCase{"ElevenIsShown", true, 11, 356, 510, true},
                                           PeakCase{"NeedsPeakColour", false, 1024, 1047, 517,
                                                    false}),
                         [](const auto& info) { return info.param.name; });

struct ComposeCase {
  const char* name;
  int meter_x, meter_y;  // box 1200 x 600 on the 1400 x 800 display
  int position, marker;
};

class ComposeTest : public ::testing::TestWithParam<ComposeCase> {};

// Composed in the display itself, the box shows what drawing the needles into a bitmap of the
// box's visible part over its background, then copying that in, shows.
TEST_P(ComposeTest, NeedlesAsDrawnInABitmapOfTheVisibleBox) {
  const ComposeCase& c = GetParam();
  Fixture f;
  f.s.MeterX = c.meter_x;
  f.s.MeterY = c.meter_y;
  f.s.ColorPeak = true;
  f.state.PeakMarker = c.marker;
  SaveBackings(f.display, f.s);
  DrawAnalogueMeter(f.display, f.s, f.state, c.position);

  const TRect box = MeterBox(f.s);
  const TRect visible = Intersect(box, {0, 0, 1400, 800});
  TBitmap32 part;
  part.SetSize(visible.Width(), visible.Height());
  part.Draw(0, 0, visible, PatternBitmap(1400, 800));
  const std::int64_t px = box.Left - visible.Left + 600;
  const std::int64_t py = box.Top - visible.Top + 616;
  if (c.marker > 10) DrawNeedle(f.display, f.s, part, px, py, NeedleAngle(c.marker), f.s.PeakColor);
  DrawNeedle(f.display, f.s, part, px, py, NeedleAngle(c.position), f.s.TopColor);
  TBitmap32 want = PatternBitmap(1400, 800);
  want.Draw(visible.Left, visible.Top, part);
  testing::ExpectPixels(f.display.DisplayBitmap, [&](int x, int y) { return want.Pixel(x, y); });
}

INSTANTIATE_TEST_SUITE_P(Boxes, ComposeTest,
                         ::testing::Values(ComposeCase{"Inside", 100, 700, 512, 0},
                                           ComposeCase{"PeakBehindTheNeedle", 100, 700, 700, 760},
                                           ComposeCase{"PivotBelowTheDisplay", 100, 790, 300, 1024},
                                           ComposeCase{"LeftPartOutside", -500, 700, 40, 900},
                                           ComposeCase{"RightAndTopOutside", 700, 400, 1024, 0}),
                         [](const auto& info) { return info.param.name; });

struct FrameCase {
  const char* name;
  bool design_mode;
  bool selected;
  bool framed;
};

class DesignFrameTest : public ::testing::TestWithParam<FrameCase> {};

TEST_P(DesignFrameTest, BoxOutlinedInTopColourInDesignMode) {
  const FrameCase& c = GetParam();
  Fixture f;
  f.s.AllowDrag = c.design_mode;
  f.display.MeterSelected = c.selected;
  DrawAnalogueMeter(f.display, f.s, f.state, 512);
  ExpectAt(f.display.DisplayBitmap, {{100, 100, !c.framed, kTop},
                                     {1299, 699, !c.framed, kTop},
                                     {400, 100, !c.framed, kTop},
                                     {100, 400, !c.framed, kTop},
                                     {101, 101, true, 0},
                                     {99, 99, true, 0}});
}

INSTANTIATE_TEST_SUITE_P(Modes, DesignFrameTest,
                         ::testing::Values(FrameCase{"Off", false, false, false},
                                           FrameCase{"DesignMode", true, false, true},
                                           FrameCase{"Selected", false, true, true},
                                           FrameCase{"Both", true, true, true}),
                         [](const auto& info) { return info.param.name; });

TEST(AnalogueMeter, BackingSavedForAnotherStyleIsTakenAfreshFromThePicture) {
  Fixture f;
  f.s.Style = kStyleVerticalBars;
  SaveBackings(f.display, f.s);  // no meter backing for bars
  f.display.DisplayBitmap.Clear(0xFF000000);
  f.s.Style = kStyleAnalogue;  // switched in the dialog, no re-layout yet
  DrawAnalogueMeter(f.display, f.s, f.state, 512);
  EXPECT_EQ(f.display.MeterBacking.Width(), 1200);
  EXPECT_EQ(f.display.MeterBacking.Height(), 600);
  ExpectAt(f.display.DisplayBitmap,
           {{720, 400, true, 0}, {101, 650, true, 0}, {99, 400, false, 0xFF000000}});
}

TEST(AnalogueMeter, BackingOfAnotherBoxSizeIsTakenAfresh) {
  Fixture f;
  f.s.MeterWidth = 600;
  SaveBackings(f.display, f.s);  // 600 wide
  f.display.DisplayBitmap.Clear(0xFF000000);
  f.s.MeterWidth = 1200;
  DrawAnalogueMeter(f.display, f.s, f.state, 512);
  EXPECT_EQ(f.display.MeterBacking.Width(), 1200);
  ExpectAt(f.display.DisplayBitmap, {{1200, 400, true, 0}, {720, 400, true, 0}});
}

TEST(AnalogueMeter, BoxPartlyOutsideUsesOnlyTheVisiblePart) {
  Fixture f;
  f.s.MeterX = -100;  // box columns -100..1099
  SaveBackings(f.display, f.s);
  DrawAnalogueMeter(f.display, f.s, f.state, 512);
  EXPECT_EQ(f.display.MeterBacking.Width(), 1100);
  ExpectAt(f.display.DisplayBitmap, {{500, 400, false, kTop}, {1100, 400, true, 0}});
}

TEST(AnalogueMeter, HugeBoxNeverMakesABitmapLargerThanTheDisplay) {
  Fixture f;
  f.s.MeterX = 100;
  f.s.MeterWidth = 1000;
  f.s.MeterHeight = 2000000000;
  DrawAnalogueMeter(f.display, f.s, f.state, 512);
  EXPECT_EQ(f.display.MeterBacking.Width(), 1000);
  EXPECT_EQ(f.display.MeterBacking.Height(), 700);
  ExpectAt(f.display.DisplayBitmap,
           {{99, 400, true, 0}, {1100, 400, true, 0}, {500, 700, true, 0}});
}

struct EmptyCase {
  const char* name;
  int width, height;
};

class EmptyAnalogueTest : public ::testing::TestWithParam<EmptyCase> {};

TEST_P(EmptyAnalogueTest, BoxWithoutWidthOrHeightDrawsNothing) {
  Fixture f;
  f.s.MeterWidth = GetParam().width;
  f.s.MeterHeight = GetParam().height;
  f.s.AllowDrag = true;
  DrawAnalogueMeter(f.display, f.s, f.state, 512);
  testing::ExpectPixels(f.display.DisplayBitmap, Pattern);
}

INSTANTIATE_TEST_SUITE_P(Boxes, EmptyAnalogueTest,
                         ::testing::Values(EmptyCase{"ZeroWidth", 0, 600},
                                           EmptyCase{"ZeroHeight", 1200, 0},
                                           EmptyCase{"Negative", -1200, -600}),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace roarmark
