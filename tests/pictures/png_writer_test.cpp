// The PNG writer: what it writes, ImageMagick reads back as the same pixels.
#include "display/pictures/png_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "test_pictures.h"

namespace roarmark {
namespace {

// Odd sizes (rows of 3 x 3 bytes and more) and colours that tell the channels apart.
platform::TPixels Stripes(int width, int height) {
  platform::TPixels picture = test::FlatPixels(width, height, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      picture.Pixels[static_cast<std::size_t>(y * width + x)] =
          0xFF000000u | static_cast<std::uint32_t>((x * 37) & 0xFF) << 16 |
          static_cast<std::uint32_t>((y * 53) & 0xFF) << 8 |
          static_cast<std::uint32_t>((x * y + 11) & 0xFF);
    }
  }
  return picture;
}

struct TWriteCase {
  const char* Name;
  platform::TPixels Picture;
};

class PngWriter : public testing::TestWithParam<TWriteCase> {};

TEST_P(PngWriter, ReplacesTheFileWithAPngImageMagickReadsAsTheSamePixels) {
  const test::TScratchFolder temp(std::string("pictures-png-write-") + GetParam().Name);
  const std::string path = temp / "shot.png";
  test::WriteBytes(path, {'o', 'l', 'd'});
  ASSERT_TRUE(WritePng(path, GetParam().Picture));
  const platform::TPixels back = test::MagickDecode(path);
  EXPECT_EQ(back.Width, GetParam().Picture.Width);
  EXPECT_EQ(back.Height, GetParam().Picture.Height);
  EXPECT_EQ(back.Pixels, GetParam().Picture.Pixels);
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(temp.String()))
    ++files;
  EXPECT_EQ(files, 1);
}

INSTANTIATE_TEST_SUITE_P(Pictures, PngWriter,
                         testing::Values(TWriteCase{"OnePixel", test::FlatPixels(1, 1, 0xFF8040C0)},
                                         TWriteCase{"Stripes", Stripes(7, 5)},
                                         TWriteCase{"Wide", Stripes(1001, 3)},
                                         TWriteCase{"Tall", Stripes(2, 300)}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(PngWriter, RefusesAnEmptyOrInconsistentPictureWithoutWritingAFile) {
  platform::TPixels short_of_pixels = test::FlatPixels(3, 3, 0xFF000000);
  short_of_pixels.Pixels.pop_back();
  const test::TScratchFolder temp("pictures-png-refuse");
  const std::string path = temp / "x.png";
  for (const platform::TPixels& picture :
       {platform::TPixels{}, test::FlatPixels(0, 3, 0xFF000000), short_of_pixels}) {
    std::vector<std::uint8_t> bytes;
    EXPECT_FALSE(EncodePng(picture, bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(WritePng(path, picture));
    EXPECT_FALSE(std::filesystem::exists(path));
  }
}

}  // namespace
}  // namespace roarmark
