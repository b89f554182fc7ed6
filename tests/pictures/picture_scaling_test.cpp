// The display's reduction rule, its 40-million-pixel guard and the nearest-neighbour scale.
#include "display/pictures/picture_scaling.h"

#include <gtest/gtest.h>

#include "test_pictures.h"

namespace roarmark {
namespace {

struct TReduceCase {
  int Width, Height;
  TPictureSize Expected;
};

class ReducedSizeRule : public testing::TestWithParam<TReduceCase> {};

TEST_P(ReducedSizeRule, IsEightHundredHighAboveFullHd) {
  const TReduceCase& c = GetParam();
  EXPECT_EQ(ReducedSize(c.Width, c.Height), c.Expected) << c.Width << " x " << c.Height;
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ReducedSizeRule,
    testing::Values(TReduceCase{4000, 3000, {1066, 800}}, TReduceCase{1920, 1200, {1280, 800}},
                    TReduceCase{2560, 1080, {1896, 800}}, TReduceCase{1921, 1080, {1422, 800}},
                    TReduceCase{1920, 1081, {1420, 800}}, TReduceCase{1920, 1080, {1920, 1080}},
                    TReduceCase{640, 480, {640, 480}}, TReduceCase{1080, 1920, {450, 800}},
                    // The rule enlarges extreme shapes: 1921 x 1 would be 1,536,800 wide.
                    TReduceCase{1921, 1, {1536800, 800}},
                    // 1 x 2000 would be 0.4 wide: kept at one column.
                    TReduceCase{1, 2000, {1, 800}},
                    // 65535 * 800 overflows 32 bits on the way; the result does not.
                    TReduceCase{65535, 1081, {48499, 800}}));

struct TAllowedCase {
  int Width, Height;
  bool Allowed;
};

class ReductionGuard : public testing::TestWithParam<TAllowedCase> {};

TEST_P(ReductionGuard, RefusesEmptyPicturesAndMoreThanFortyMillionPixels) {
  const TAllowedCase& c = GetParam();
  EXPECT_EQ(ReductionAllowed(c.Width, c.Height), c.Allowed) << c.Width << " x " << c.Height;
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ReductionGuard,
    testing::Values(TAllowedCase{1920, 1080, true}, TAllowedCase{4000, 3000, true},
                    TAllowedCase{0, 100, false}, TAllowedCase{100, 0, false},
                    TAllowedCase{-5, 10, false},
                    // Source at the limit (40,000,000), shown 32000 x 800.
                    TAllowedCase{40000, 1000, true}, TAllowedCase{40001, 1000, false},
                    TAllowedCase{8000, 5000, true}, TAllowedCase{8000, 5001, false},
                    // Reduced to 1,536,800 x 800.
                    TAllowedCase{1921, 1, false},
                    // 1921 x 30 shows 51226 x 800 = 40,980,800; x 31 shows 49574 x 800.
                    TAllowedCase{1921, 30, false}, TAllowedCase{1921, 31, true},
                    TAllowedCase{2147483647, 2147483647, false}));

TEST(ScaleNearest, PicksTheSourcePixelAtTheScaledPosition) {
  // 4 x 2 to 2 x 1: source x = 0 and 2 of row 0.
  const platform::TPixels source = test::MakePixels({{1, 2, 3, 4}, {5, 6, 7, 8}});
  const platform::TPixels down = ScaleNearest(source, 2, 1);
  EXPECT_EQ(down.Width, 2);
  EXPECT_EQ(down.Height, 1);
  EXPECT_EQ(down.Pixels, (std::vector<std::uint32_t>{1, 3}));

  // 3 x 1 to 2 x 2: source x = 0 and 3 / 2 = 1, each row twice.
  const platform::TPixels odd = ScaleNearest(test::MakePixels({{1, 2, 3}}), 2, 2);
  EXPECT_EQ(odd.Pixels, (std::vector<std::uint32_t>{1, 2, 1, 2}));

  // 2 x 2 to 4 x 3: columns dx * 2 / 4 = 0 0 1 1, rows dy * 2 / 3 = 0 0 1.
  const platform::TPixels up = ScaleNearest(test::MakePixels({{1, 2}, {3, 4}}), 4, 3);
  EXPECT_EQ(up.Pixels, (std::vector<std::uint32_t>{1, 1, 2, 2, 1, 1, 2, 2, 3, 3, 4, 4}));
}

TEST(ScaleNearest, EmptySourceOrSizeGivesAnEmptyPicture) {
  const platform::TPixels source = test::MakePixels({{1, 2}, {3, 4}});
  EXPECT_TRUE(ScaleNearest(source, 0, 5).Pixels.empty());
  EXPECT_TRUE(ScaleNearest(source, 5, -1).Pixels.empty());
  EXPECT_TRUE(ScaleNearest(platform::TPixels{}, 5, 5).Pixels.empty());
  platform::TPixels lying = source;
  lying.Width = 3;  // fewer pixels than the size says
  EXPECT_TRUE(ScaleNearest(lying, 2, 2).Pixels.empty());
}

TEST(ReduceLoadedPicture, ReducesAPictureAboveFullHd) {
  // 1921 x 1080 becomes 1422 x 800; rounding down never reaches the right-most source column.
  platform::TPixels picture = test::FlatPixels(1921, 1080, 0xFF000000);
  for (int y = 0; y < 1080; ++y)
    picture.Pixels[static_cast<std::size_t>(y) * 1921 + 1920] = 0xFFFFFFFF;
  ASSERT_TRUE(ReduceLoadedPicture(picture, {1921, 1080}));
  EXPECT_EQ(picture.Width, 1422);
  EXPECT_EQ(picture.Height, 800);
  // Destination column 1421 takes source column 1421 * 1921 / 1422 = 1919.
  EXPECT_EQ(picture.Pixels[1421], 0xFF000000u);
}

TEST(ReduceLoadedPicture, KeepsFullHdAsItIs) {
  platform::TPixels picture = test::FlatPixels(1920, 1080, 0xFF112233);
  ASSERT_TRUE(ReduceLoadedPicture(picture, {1920, 1080}));
  EXPECT_EQ(picture.Width, 1920);
  EXPECT_EQ(picture.Height, 1080);
}

TEST(ReduceLoadedPicture, WorksFromTheFileSizeForAPictureDecodedSmaller) {
  // A 4000 x 3000 JPEG decoded at 1/2: the shown size is still 1066 x 800.
  platform::TPixels picture = test::FlatPixels(2000, 1500, 0xFF112233);
  ASSERT_TRUE(ReduceLoadedPicture(picture, {4000, 3000}));
  EXPECT_EQ(picture.Width, 1066);
  EXPECT_EQ(picture.Height, 800);
}

TEST(ReduceLoadedPicture, RefusesMoreThanFortyMillionPixelsAsFileOrAsShownAndKeepsThePicture) {
  struct TCase {
    TPictureSize Source;
    TPictureSize Held;
  };
  // 1921 x 1 would be shown 1,536,800 x 800; an 8000 x 5001 file (40,008,000 pixels) is refused
  // even when held at 1/4.
  for (const TCase& c : {TCase{{1921, 1}, {1921, 1}}, TCase{{8000, 5001}, {2000, 1251}}}) {
    platform::TPixels picture = test::FlatPixels(c.Held.Width, c.Held.Height, 0xFF112233);
    EXPECT_FALSE(ReduceLoadedPicture(picture, c.Source))
        << c.Source.Width << " x " << c.Source.Height;
    EXPECT_EQ((TPictureSize{picture.Width, picture.Height}), c.Held);
  }
}

}  // namespace
}  // namespace roarmark
