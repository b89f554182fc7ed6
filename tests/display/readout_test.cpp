// Numeric readout: its texts, box size, solid and transparent boxes, backings and clipping.
#include "display/readout.h"

#include <gtest/gtest.h>

#include "display/meter_display.h"
#include "display_test_support.h"

namespace roarmark {
namespace {

using testing::kSentinel;

struct TextCase {
  const char* name;
  double value;
  bool decimal;
  bool blanked;
  char separator;
  const char* expected;
};

class ReadoutTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(ReadoutTextTest, LevelDividedBy10Point2RoundedToNearest) {
  const TextCase& c = GetParam();
  EXPECT_EQ(ReadoutText(c.value, c.decimal, c.blanked, c.separator), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ReadoutTextTest,
    ::testing::Values(TextCase{"HalfScale", 512, false, false, '.', "50"},  // 50.196
                      TextCase{"HalfScaleTenths", 512, true, false, '.', "50.2"},
                      TextCase{"Full", 1020, false, false, '.', "100"},
                      TextCase{"FullTenths", 1020, true, false, '.', "100.0"},
                      TextCase{"Five", 5, false, false, '.', "0"},  // 0.490
                      TextCase{"FiveTenths", 5, true, false, '.', "0.5"},
                      TextCase{"Zero", 0, false, false, '.', "0"},
                      TextCase{"ZeroTenths", 0, true, false, '.', "0.0"},
                      TextCase{"RoundsUp", 1015, false, false, '.', "100"},   // 99.51
                      TextCase{"RoundsDown", 1014, false, false, '.', "99"},  // 99.41
                      TextCase{"CommaSeparator", 512, true, false, ',', "50,2"},
                      TextCase{"Blanked", 512, true, true, '.', " "},
                      TextCase{"BlankedWholeNumbers", 0, false, true, ',', " "}),
    [](const auto& info) { return info.param.name; });

// A 300 x 200 display showing a pattern, readout box at (20, 30), Arial 48 in black on white.
TColor32 Pattern(int x, int y) {
  return 0xFF000000u | static_cast<TColor32>((x & 0xFF) << 16 | (y & 0xFF) << 8 | 0x40);
}

struct Fixture {
  testing::TLiberationFonts fonts;
  TMeterSettings s;
  TDisplayState display;
  TMeterState state;
  explicit Fixture(bool decimal = false, int x = 20, int y = 30) {
    s.Style = kStyleVerticalBars;
    s.ReadoutX = x;
    s.ReadoutY = y;
    s.ShowDecimal = decimal;
    s.MeterWidth = 0;  // keep the meter out of the way
    display.Fonts = &fonts;
    display.DisplayBitmap.SetSize(300, 200);
    for (int py = 0; py < 200; ++py) {
      for (int px = 0; px < 300; ++px)
        display.DisplayBitmap.SetPixel(px, py, Pattern(px, py));
    }
    ApplyReadoutFont(display, s);
    SaveBackings(display, s);
  }
};

struct BoxCase {
  const char* name;
  int points;
  bool decimal;
  int width, height;
};

class ReadoutBoxTest : public ::testing::TestWithParam<BoxCase> {};

TEST_P(ReadoutBoxTest, SizedBySampleTexts) {
  const BoxCase& c = GetParam();
  Fixture f(c.decimal);
  f.s.FontSize = c.points;
  ApplyReadoutFont(f.display, f.s);
  EXPECT_EQ(ReadoutWidth(f.display, f.s), c.width);
  EXPECT_EQ(ReadoutHeight(f.display), c.height);
  EXPECT_EQ(f.display.ReadoutBitmap.Width(), c.width);
  EXPECT_EQ(f.display.ReadoutBitmap.Height(), c.height);
}

// "MM." = 3981 units, "MM.M" = 5687 units, "M" height 1854 + 434, at 2048 units per em.
INSTANTIATE_TEST_SUITE_P(Sizes, ReadoutBoxTest,
                         ::testing::Values(BoxCase{"Default", 48, false, 124, 72},
                                           BoxCase{"Tenths", 48, true, 178, 72},
                                           BoxCase{"Small", 10, false, 25, 15},
                                           BoxCase{"SmallTenths", 10, true, 36, 15},
                                           BoxCase{"Large", 240, false, 622, 358}),
                         [](const auto& info) { return info.param.name; });

bool InBox(int x, int y, int bx, int by, int w, int h) {
  return x >= bx && x < bx + w && y >= by && y < by + h;
}

TEST(DrawReadout, SolidBoxWithCentredTextAndNothingOutside) {
  Fixture f;
  DrawReadout(f.display, f.s, f.state, 512);
  ASSERT_EQ(f.display.LastReadoutText, "50");
  const TBitmap32& b = f.display.DisplayBitmap;
  int dark = 0;
  int first_dark = 1000, last_dark = -1;
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 300; ++x) {
      const TColor32 p = b.Pixel(x, y);
      if (!InBox(x, y, 20, 30, 124, 72)) {
        ASSERT_EQ(p, Pattern(x, y)) << x << ", " << y;
        continue;
      }
      // Black text on white: only greys.
      ASSERT_EQ((p >> 16) & 0xFF, p & 0xFF);
      ASSERT_EQ((p >> 8) & 0xFF, p & 0xFF);
      if (p != 0xFFFFFFFF) {
        ++dark;
        first_dark = std::min(first_dark, x);
        last_dark = std::max(last_dark, x);
      }
    }
  }
  EXPECT_GT(dark, 300);
  // "50" is 71 wide in a 124 box: its advance box starts at 20 + 26 and ends at 20 + 97.
  EXPECT_GE(first_dark, 46);
  EXPECT_LE(last_dark, 20 + 97);
  EXPECT_LE(first_dark - 46, 6);
  EXPECT_LE(20 + 97 - last_dark, 6);
}

TEST(DrawReadout, BlankedSolidBoxIsPlainReadoutColour) {
  Fixture f;
  f.s.ReadoutColor = 0x0000FF;
  f.state.Blanked = true;
  DrawReadout(f.display, f.s, f.state, 512);
  EXPECT_EQ(f.display.LastReadoutText, " ");
  testing::ExpectPixels(f.display.DisplayBitmap, [](int x, int y) {
    return InBox(x, y, 20, 30, 124, 72) ? 0xFFFF0000u : Pattern(x, y);
  });
}

TEST(DrawReadout, TransparentBlankedShowsOnlyTheBackground) {
  Fixture f;
  f.s.Transparent = true;
  DrawReadout(f.display, f.s, f.state, 1020);  // a number first
  f.state.Blanked = true;
  RestoreReadoutBacking(f.display);
  DrawReadout(f.display, f.s, f.state, 0);
  testing::ExpectPixels(f.display.DisplayBitmap, Pattern);
}

TEST(DrawReadout, TransparentTextOverTheBackground) {
  Fixture f;
  f.s.Transparent = true;
  f.s.FontColor = 0x00FF00;  // green text
  ApplyReadoutFont(f.display, f.s);
  DrawReadout(f.display, f.s, f.state, 512);
  const TBitmap32& b = f.display.DisplayBitmap;
  int inked = 0;
  for (int y = 0; y < 200; ++y) {
    for (int x = 0; x < 300; ++x) {
      const TColor32 p = b.Pixel(x, y);
      if (p == Pattern(x, y)) continue;
      ++inked;
      ASSERT_TRUE(InBox(x, y, 46, 30, 71, 72)) << x << ", " << y;
      // Blended towards green: green rises, blue falls from the pattern's 0x40.
      ASSERT_GE((p >> 8) & 0xFF, static_cast<TColor32>(y & 0xFF)) << x << ", " << y;
      ASSERT_LE(p & 0xFF, 0x40u);
    }
  }
  EXPECT_GT(inked, 300);
}

struct HiddenCase {
  const char* name;
  int style;
  bool show;
};

class HiddenReadoutTest : public ::testing::TestWithParam<HiddenCase> {};

TEST_P(HiddenReadoutTest, NothingDrawn) {
  Fixture f;
  f.s.Style = GetParam().style;
  f.s.ShowReadout = GetParam().show;
  DrawReadout(f.display, f.s, f.state, 512);
  EXPECT_FALSE(f.display.LastReadoutText.has_value());
  testing::ExpectPixels(f.display.DisplayBitmap, Pattern);
}

INSTANTIATE_TEST_SUITE_P(Cases, HiddenReadoutTest,
                         ::testing::Values(HiddenCase{"BackgroundOnlyStyle", 0, true},
                                           HiddenCase{"ReadoutOff", 1, false},
                                           HiddenCase{"Both", 0, false}),
                         [](const auto& info) { return info.param.name; });

TEST(DrawReadout, SelectedReadoutFramedUnderTheText) {
  Fixture f;
  f.display.ReadoutSelected = true;
  f.state.Blanked = true;
  DrawReadout(f.display, f.s, f.state, 512);
  const TColor32 top = 0xFFFF0080;  // 0x8000FF
  testing::ExpectPixels(f.display.DisplayBitmap, [&](int x, int y) {
    if (!InBox(x, y, 20, 30, 124, 72)) return Pattern(x, y);
    return InBox(x, y, 21, 31, 122, 70) ? 0xFFFFFFFFu : top;
  });
}

TEST(DrawReadout, BoxBeyondTheDisplayKeepsOnlyTheOverlap) {
  Fixture f(false, 250, 150);  // box 250..373 x 150..221 on a 300 x 200 display
  EXPECT_EQ(f.display.ReadoutBacking.Width(), 50);
  EXPECT_EQ(f.display.ReadoutBacking.Height(), 50);
  EXPECT_EQ(f.display.ReadoutBackingRect, (TRect{250, 150, 300, 200}));
  f.s.Transparent = true;
  f.state.Blanked = true;
  f.display.DisplayBitmap.FillRectS(250, 150, 300, 200, 0xFF000000);  // an old readout
  RestoreReadoutBacking(f.display);
  DrawReadout(f.display, f.s, f.state, 0);
  testing::ExpectPixels(f.display.DisplayBitmap, Pattern);
}

TEST(DrawReadout, TextWiderThanTheBoxIsCutAtBothSides) {
  Fixture f;
  f.display.ReadoutBitmap.SetSize(20, 72);  // far narrower than "100" (107 wide)
  DrawReadout(f.display, f.s, f.state, 1020);
  int dark_left = 0, dark_right = 0;
  testing::ExpectPixels(f.display.DisplayBitmap, [&](int x, int y) {
    if (!InBox(x, y, 20, 30, 20, 72)) return Pattern(x, y);
    const TColor32 p = f.display.DisplayBitmap.Pixel(x, y);
    if (p != 0xFFFFFFFF && x == 20) ++dark_left;
    if (p != 0xFFFFFFFF && x == 39) ++dark_right;
    return p;
  });
  // Text x = (20 - 107) div 2 = -43: the middle "0" spans about -5..25, so its ring is cut
  // by both box edges.
  EXPECT_GT(dark_left, 10);
  EXPECT_GT(dark_right, 10);
}

TEST(MeterDisplay, ForwardsReadoutAndBarsToTheDisplayState) {
  Fixture f;
  f.s.MeterX = 200;
  f.s.MeterY = 190;
  f.s.MeterWidth = 20;
  f.s.MeterHeight = 100;
  BuildColourRamp(f.display, f.s);
  TMeterDisplay meter(f.display, f.s, f.state);
  IMeterDisplay& engine_side = meter;
  engine_side.DrawReadout(1020);
  EXPECT_EQ(f.display.LastReadoutText, "100");
  engine_side.DrawVerticalBars(1024);
  EXPECT_EQ(f.display.DisplayBitmap.Pixel(205, 189), 0xFF0000FF);  // block 0, base colour
  f.display.DisplayBitmap.FillRectS(20, 30, 144, 102, 0xFF000000);
  f.s.Transparent = true;
  engine_side.RestoreReadoutBacking();
  EXPECT_EQ(f.display.DisplayBitmap.Pixel(20, 30), Pattern(20, 30));
}

}  // namespace
}  // namespace roarmark
