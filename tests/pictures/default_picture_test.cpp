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

}  // namespace
}  // namespace roarmark
