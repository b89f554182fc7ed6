// Text on the raster: extents from the font's metrics, rendering inside the text box only,
// underline and strike-out, clipping and caching.
#include <gtest/gtest.h>

#include "display/bitmap32.h"
#include "display/font_engine.h"
#include "display_test_support.h"

namespace roarmark {
namespace {

using testing::kSentinel;

// Liberation Sans: 2048 units per em; advances M 1706, '.' 569, digits 1139, space 569;
// Windows ascent 1854, descent 434. Pixel em = points * 96 / 72, rounded.
struct ExtentCase {
  const char* name;
  int points;
  const char* text;
  int width;   // round(sum of advances * em / 2048)
  int height;  // round(1854 * em / 2048) + round(434 * em / 2048)
};

class TextExtentTest : public ::testing::TestWithParam<ExtentCase> {};

TEST_P(TextExtentTest, WidthAndHeightFollowTheFontMetrics) {
  const ExtentCase& c = GetParam();
  testing::TLiberationFonts fonts;
  TBitmap32 b;
  b.SetFont({"Arial", c.points, 0, 0}, &fonts);
  EXPECT_EQ(b.TextWidth(c.text), c.width);
  EXPECT_EQ(b.TextHeight(c.text), c.height);
}

INSTANTIATE_TEST_SUITE_P(
    Extents, TextExtentTest,
    ::testing::Values(ExtentCase{"SampleAt48", 48, "MM.", 124, 72},          // 124.4; 58 + 14
                      ExtentCase{"DecimalSampleAt48", 48, "MM.M", 178, 72},  // 177.7
                      ExtentCase{"DigitsAt48", 48, "50", 71, 72},            // 71.2
                      ExtentCase{"SampleAt10", 10, "MM.", 25, 15},           // em 13: 25.3; 12 + 3
                      ExtentCase{"SampleAt240", 240, "MM.", 622, 358},       // em 320: 622.0
                      ExtentCase{"ZeroPointsRendersAtOne", 0, "MM.", 2, 1},  // em 1: 1.94; 1 + 0
                      ExtentCase{"HugeSizeRendersAt1000", 100000, "MM.", 2591, 1489},  // em 1333
                      ExtentCase{"Empty", 48, "", 0, 72}),
    [](const auto& info) { return info.param.name; });

TEST(FontPixelSize, PointsToPixelsAt96DpiWithinLimits) {
  EXPECT_EQ(FontPixelSize(48), 64);
  EXPECT_EQ(FontPixelSize(10), 13);
  EXPECT_EQ(FontPixelSize(11), 15);  // 14.67
  EXPECT_EQ(FontPixelSize(0), 1);
  EXPECT_EQ(FontPixelSize(-40), 1);
  EXPECT_EQ(FontPixelSize(1000), 1333);
  EXPECT_EQ(FontPixelSize(2147483647), 1333);
}

TEST(TextExtent, NoFontsMeansNoText) {
  TBitmap32 b;
  b.SetSize(20, 20);
  b.SetFont({"Arial", 48, 0, 0}, nullptr);
  EXPECT_EQ(b.TextWidth("MM."), 0);
  EXPECT_EQ(b.TextHeight("M"), 0);
}

TBitmap32 Rendered(const char* text, int style, int x = 10, int y = 5, int points = 48) {
  testing::TLiberationFonts fonts;
  TBitmap32 b = testing::SentinelBitmap(200, 100);
  b.SetFont({"Arial", points, 0, style}, &fonts);
  b.RenderText(x, y, text, 2, 0xFF000000);
  return b;
}

TEST(RenderText, ChangesOnlyPixelsInsideTheTextBox) {
  // "50" at (10, 5): advance box 71 x 72 with a little room for side bearings.
  const TBitmap32 b = Rendered("50", 0);
  int changed = 0;
  int solid = 0;
  for (int y = 0; y < b.Height(); ++y) {
    for (int x = 0; x < b.Width(); ++x) {
      const TColor32 p = b.Pixel(x, y);
      if (p == kSentinel) continue;
      ++changed;
      if (p == 0xFF000000) ++solid;
      EXPECT_TRUE(x >= 10 && x < 10 + 71 && y >= 5 && y < 5 + 72) << x << ", " << y;
      // Blends of the sentinel towards black keep its channel order.
      const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, bl = p & 0xFF;
      EXPECT_TRUE(r <= g && g <= bl) << std::hex << p;
    }
  }
  EXPECT_GT(changed, 300);
  EXPECT_GT(solid, 100);  // the strokes are several pixels wide at 64 px per em
}

TEST(RenderText, SpaceDrawsNothing) {
  const TBitmap32 b = Rendered(" ", 0);
  testing::ExpectPixels(b, [](int, int) { return kSentinel; });
}

// Lines are drawn across the whole advance of a space (18 pixels at 48 points), the
// underline below the baseline (row 5 + 58), the strike-out above it.
struct LineCase {
  const char* name;
  int style;
  bool underline;
  bool strike;
};

class TextLinesTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(TextLinesTest, UnderlineBelowAndStrikeOutAboveTheBaseline) {
  const LineCase& c = GetParam();
  const TBitmap32 b = Rendered(" ", c.style);
  const auto solid_row = [&](int y) {
    for (int x = 10; x < 10 + 17; ++x) {
      if (b.Pixel(x, y) != 0xFF000000) return false;
    }
    return b.Pixel(9, y) == kSentinel && b.Pixel(10 + 18, y) == kSentinel;
  };
  bool below = false, above = false;
  for (int y = 5 + 58; y < 5 + 72; ++y)
    below = below || solid_row(y);
  for (int y = 5 + 58 - 32; y < 5 + 58 - 4; ++y)
    above = above || solid_row(y);
  EXPECT_EQ(below, c.underline);
  EXPECT_EQ(above, c.strike);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, TextLinesTest,
    ::testing::Values(LineCase{"Plain", 0, false, false},
                      LineCase{"Underline", kFontUnderline, true, false},
                      LineCase{"StrikeOut", kFontStrikeOut, false, true},
                      LineCase{"Both", kFontUnderline | kFontStrikeOut, true, true},
                      LineCase{"BoldUnderline", kFontBold | kFontUnderline, true, false}),
    [](const auto& info) { return info.param.name; });

TEST(RenderText, BoldIsHeavierThanRegular) {
  // Darkening of the sentinel's blue channel, summed over the bitmap.
  const auto ink = [](const TBitmap32& b) {
    long sum = 0;
    for (int y = 0; y < b.Height(); ++y) {
      for (int x = 0; x < b.Width(); ++x)
        sum += (kSentinel & 0xFF) - (b.Pixel(x, y) & 0xFF);
    }
    return sum;
  };
  EXPECT_GT(ink(Rendered("88", kFontBold)), ink(Rendered("88", 0)) * 11 / 10);
}

TEST(RenderText, ClippedTextKeepsTheSamePixels) {
  const TBitmap32 whole = Rendered("1047", 0, 10, 5);
  const TBitmap32 cut = Rendered("1047", 0, -20, -10);
  // cut(x, y) shows what whole shows at (x + 30, y + 15).
  for (int y = 0; y + 15 < whole.Height(); ++y) {
    for (int x = 0; x + 30 < whole.Width(); ++x) {
      ASSERT_EQ(cut.Pixel(x, y), whole.Pixel(x + 30, y + 15)) << x << ", " << y;
    }
  }
}

TEST(RenderText, CachedGlyphsGiveTheSamePixels) {
  testing::TLiberationFonts fonts;
  // A size no other test uses, so the first render rasterises every glyph afresh.
  TBitmap32 first = testing::SentinelBitmap(200, 60);
  TBitmap32 second = testing::SentinelBitmap(200, 60);
  first.SetFont({"Arial", 31, 0, 0}, &fonts);
  second.SetFont({"Arial", 31, 0, 0}, &fonts);
  first.RenderText(3, 2, "1.1.1.1.", 2, 0xFF000000);
  second.RenderText(3, 2, "1.1.1.1.", 2, 0xFF000000);
  testing::ExpectPixels(second, [&](int x, int y) { return first.Pixel(x, y); });
}

// The readout's digits over its box, drawn from glyphs blended ahead for each colour pair: the
// same pixels as blending each glyph over the filled box, however many pairs went before (the
// warning colours change the digits' colour as a show goes on).
TEST(RenderText, GlyphsBlendedAheadGiveThePixelsOfBlendingOverTheBox) {
  testing::TLiberationFonts fonts;
  TBitmap32 ahead, over;
  for (TBitmap32* b : {&ahead, &over}) {
    b->SetSize(160, 50);
    b->SetFont({"Arial", 26, 0, 0}, &fonts);
  }
  const TRect box{0, 0, 160, 50};
  for (TColor32 i = 0; i < 150; ++i) {
    SCOPED_TRACE(i);
    const TColor32 background = 0xFF000000u | (i * 0x010305u);
    const TColor32 digits = 0xFF000000u | (0xFFFFFFu - i * 0x030201u);
    const std::string text = std::to_string(1000 + i * 7);
    over.FillRectS(box, background);
    over.RenderText(4, 2, text, 2, digits);
    ahead.RenderTextWithin(4, 2, text, digits, box, background);
    testing::ExpectPixels(ahead, [&](int x, int y) { return over.Pixel(x, y); });
  }
}

}  // namespace
}  // namespace roarmark
