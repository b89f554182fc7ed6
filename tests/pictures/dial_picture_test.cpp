// The dial under the analogue needle: its marks lie where the needle stands for the readout.
#include "display/pictures/dial_picture.h"

#include <gtest/gtest.h>

namespace roarmark {
namespace {

// The analogue starter box: 960 x 560, left edge 480, bottom edge 760, pivot offset 0, so the
// pivot is (960, 776), the needle 532 long and its tip 542 from the pivot; the arc lies at 520
// and the marks at 0, 50 and 100 run out to 560. Points 540 from the pivot, with readout v at
// (2.55 v / 2.13 - 60) degrees: 0 at -60 -> (492.3, 506.0); 50 at -0.1408 -> (958.7, 236.0);
// 100 at 59.7183 -> (1426.3, 503.7); 2.5, between two marks, at -57.007 -> (507.1, 482.0).
TEST(DialPictureTest, MarksLieWhereTheNeedleStandsForTheirReadout) {
  platform::TPixels stage;
  stage.Width = 1920;
  stage.Height = 1080;
  stage.Pixels.assign(1920u * 1080u, 0xFF000000u);
  const platform::TPixels p = MakeDialPicture(stage, {480, 760, 960, 560, 0}, nullptr);
  ASSERT_EQ(p.Width, 1920);
  ASSERT_EQ(p.Height, 1080);
  auto red = [&](int x, int y) {
    return (p.Pixels[static_cast<std::size_t>(y) * 1920 + x] >> 16) & 0xFF;
  };
  const struct {
    const char* what;
    int x, y;
    bool mark;
  } cases[] = {
      {"mark 0", 492, 506, true},
      {"mark 50", 958, 236, true},
      {"mark 100", 1426, 503, true},
      {"between 0 and 5", 507, 482, false},
  };
  for (const auto& c : cases) {
    if (c.mark) {
      EXPECT_GT(red(c.x, c.y), 180u) << c.what;
    } else {
      EXPECT_LT(red(c.x, c.y), 60u) << c.what;
    }
  }
}

}  // namespace
}  // namespace roarmark
