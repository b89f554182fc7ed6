// The built-in default picture: full-HD, opaque, the same every time, and plain where the
// default meter and the readout are drawn.
#include "display/pictures/default_picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

namespace roarmark {
namespace {

struct TArea {
  const char* Name;
  int Left, Top, Right, Bottom;  // half-open
  int MaxSpread;                 // largest difference within one channel
};

void PrintTo(const TArea& a, std::ostream* os) {
  *os << a.Name;
}

const platform::TPixels& Picture() {
  static const platform::TPixels picture = MakeDefaultPicture();
  return picture;
}

TEST(DefaultPicture, IsFullHdAndOpaque) {
  const platform::TPixels& p = Picture();
  EXPECT_EQ(p.Width, 1920);
  EXPECT_EQ(p.Height, 1080);
  ASSERT_EQ(p.Pixels.size(), 1920u * 1080u);
  EXPECT_TRUE(std::all_of(p.Pixels.begin(), p.Pixels.end(),
                          [](std::uint32_t c) { return c >> 24 == 0xFF; }));
}

TEST(DefaultPicture, IsTheSameEveryTime) {
  EXPECT_EQ(MakeDefaultPicture().Pixels, Picture().Pixels);
}

TEST(DefaultPicture, IsNotOneFlatColour) {
  const platform::TPixels& p = Picture();
  const auto [lo, hi] =
      std::minmax_element(p.Pixels.begin(), p.Pixels.end(),
                          [](std::uint32_t a, std::uint32_t b) { return (a & 0xFF) < (b & 0xFF); });
  EXPECT_GE(static_cast<int>(*hi & 0xFF) - static_cast<int>(*lo & 0xFF), 100);
}

class DefaultPictureArea : public testing::TestWithParam<TArea> {};

TEST_P(DefaultPictureArea, IsFairlyPlain) {
  const TArea& a = GetParam();
  const platform::TPixels& p = Picture();
  for (int shift : {16, 8, 0}) {
    int lo = 255, hi = 0;
    for (int y = a.Top; y < a.Bottom; ++y) {
      for (int x = a.Left; x < a.Right; ++x) {
        const int v = static_cast<int>(
            (p.Pixels[static_cast<std::size_t>(y) * 1920 + static_cast<std::size_t>(x)] >> shift) &
            0xFF);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
      }
    }
    EXPECT_LE(hi - lo, a.MaxSpread) << a.Name << " channel at bit " << shift;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Areas, DefaultPictureArea,
    testing::Values(
        // The default vertical meter's box: columns 188..315, rows 114..763.
        TArea{"MeterBox", 188, 114, 316, 764, 16},
        // Where the default readout lands on a full-HD screen, left of the middle.
        TArea{"Readout", 620, 520, 1000, 660, 40}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TPanelCase {
  const char* Name;
  TMeterPanel Meter;
  int Left, Top, Right, Bottom;  // where the picture may differ from the bare stage (half-open)
};

void PrintTo(const TPanelCase& c, std::ostream* os) {
  *os << c.Name;
}

class StagePanel : public testing::TestWithParam<TPanelCase> {};

// A panel stands around the meter given, 28 pixels beyond it with a soft edge of 2 more, and
// nowhere else; one reaching past the picture's edge is cut there.
TEST_P(StagePanel, StandsAroundItsMeterOnly) {
  static const platform::TPixels bare = MakeStagePicture({});
  const TPanelCase& c = GetParam();
  const platform::TPixels p = MakeStagePicture({c.Meter});
  ASSERT_EQ(p.Pixels.size(), bare.Pixels.size());
  int changed = 0, outside = 0;
  for (int y = 0; y < 1080; ++y) {
    for (int x = 0; x < 1920; ++x) {
      const std::size_t i = static_cast<std::size_t>(y) * 1920 + static_cast<std::size_t>(x);
      if (p.Pixels[i] == bare.Pixels[i]) continue;
      ++changed;
      if (x < c.Left || x >= c.Right || y < c.Top || y >= c.Bottom) ++outside;
    }
  }
  EXPECT_EQ(outside, 0);
  EXPECT_EQ(changed > 0, c.Right > c.Left);
}

INSTANTIATE_TEST_SUITE_P(
    Meters, StagePanel,
    testing::Values(
        // Columns 188..315, rows 114..763: the panel 160..343 x 86..791, edge 158..345 x 84..793.
        TPanelCase{"DefaultMeter", kDefaultMeter, 158, 84, 346, 794},
        // Along the bottom: 132..1587 x 912..1067, edge to 1069.
        TPanelCase{"LowHorizontal", {160, 1040, 1400, 100}, 130, 910, 1590, 1070},
        // Over the right and bottom edges.
        TPanelCase{"PastTheCorner", {1900, 1070, 100, 50}, 1870, 990, 1920, 1080},
        TPanelCase{"NoSize", {400, 500, 0, 300}, 0, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace roarmark
