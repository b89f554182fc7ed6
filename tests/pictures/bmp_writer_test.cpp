// The BMP writer: the exact bytes of a 24-bit bottom-up file, a round trip through the reader,
// and a failed write that leaves the previous file as it was.
#include "display/pictures/bmp_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "display/pictures/bmp_reader.h"
#include "test_pictures.h"

namespace roarmark {
namespace {

std::uint32_t U32At(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) |
         (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

TEST(BmpWriter, WritesTwentyFourBitBottomUpRowsPaddedToFourBytes) {
  // 3 x 2: each row is 9 bytes of pixels and 3 of padding.
  const platform::TPixels picture = test::MakePixels(
      {{0xFF010203, 0xFF040506, 0xFF070809}, {0xFF0A0B0C, 0xFF0D0E0F, 0xFF101112}});
  std::vector<std::uint8_t> bytes;
  ASSERT_TRUE(EncodeBmp24(picture, bytes));
  ASSERT_EQ(bytes.size(), 54u + 2 * 12);
  EXPECT_EQ(bytes[0], 'B');
  EXPECT_EQ(bytes[1], 'M');
  EXPECT_EQ(U32At(bytes, 2), 78u);   // file size
  EXPECT_EQ(U32At(bytes, 10), 54u);  // pixel offset
  EXPECT_EQ(U32At(bytes, 14), 40u);  // info header
  EXPECT_EQ(U32At(bytes, 18), 3u);
  EXPECT_EQ(U32At(bytes, 22), 2u);  // positive height: bottom row first
  EXPECT_EQ(bytes[26] | (bytes[27] << 8), 1);
  EXPECT_EQ(bytes[28] | (bytes[29] << 8), 24);
  EXPECT_EQ(U32At(bytes, 30), 0u);   // uncompressed
  EXPECT_EQ(U32At(bytes, 34), 24u);  // image size
  const std::vector<std::uint8_t> rows = {0x0C, 0x0B, 0x0A, 0x0F, 0x0E, 0x0D, 0x12, 0x11,
                                          0x10, 0,    0,    0,    0x03, 0x02, 0x01, 0x06,
                                          0x05, 0x04, 0x09, 0x08, 0x07, 0,    0,    0};
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 54, bytes.end()), rows);
}

TEST(BmpWriter, RoundTripsThroughTheReader) {
  const platform::TPixels picture =
      test::MakePixels({{0xFF000000, 0xFFFFFFFF, 0xFF123456, 0xFFABCDEF, 0xFF7F8081},
                        {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF010101, 0xFFFEFEFE},
                        {0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0, 0xFFD0E0F0}});
  const test::TScratchFolder temp("pictures-bmp-round-trip");
  const std::string path = temp / "thumb.thm";
  ASSERT_TRUE(WriteBmp24(path, picture));
  platform::TPixels back;
  ASSERT_TRUE(DecodeBmpFile(path, back));
  EXPECT_EQ(back.Width, 5);
  EXPECT_EQ(back.Height, 3);
  EXPECT_EQ(back.Pixels, picture.Pixels);
}

TEST(BmpWriter, ReplacesAnExistingFileAndLeavesNoTemporaryBehind) {
  const test::TScratchFolder temp("pictures-bmp-replace");
  const std::string folder = temp.String();
  const std::string path = folder + "/dump.bmp";
  test::WriteBytes(path, {'o', 'l', 'd'});
  ASSERT_TRUE(WriteBmp24(path, test::FlatPixels(2, 2, 0xFF336699)));
  platform::TPixels back;
  ASSERT_TRUE(DecodeBmpFile(path, back));
  EXPECT_EQ(back.Pixels, std::vector<std::uint32_t>(4, 0xFF336699));
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
    ++files;
  EXPECT_EQ(files, 1);
}

TEST(BmpWriter, ALeftoverTemporaryNameDoesNotBlockTheWrite) {
  const test::TScratchFolder temp("pictures-bmp-leftover");
  const std::string path = temp / "dump.bmp";
  // What an interrupted save of an older version left behind.
  std::filesystem::create_directory(path + ".~tmp");
  EXPECT_TRUE(WriteBmp24(path, test::FlatPixels(2, 2, 0xFF336699)));
  EXPECT_EQ(test::ReadBytes(path).size(), 70u);  // 54 header bytes + 2 rows of 8
}

TEST(BmpWriter, AFailedWriteLeavesWhatIsThereAndNoTemporaryFile) {
  const test::TScratchFolder temp("pictures-bmp-failed");
  const std::string path = temp / "dump.bmp";
  // A folder with content in the target's place cannot be replaced by a file, even by root.
  std::filesystem::create_directories(path + "/keep");
  EXPECT_FALSE(WriteBmp24(path, test::FlatPixels(2, 2, 0xFF336699)));
  EXPECT_TRUE(std::filesystem::is_directory(path + "/keep"));
  int entries = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(temp.String()))
    ++entries;
  EXPECT_EQ(entries, 1);
}

TEST(BmpWriter, MissingFolderFails) {
  const test::TScratchFolder temp("pictures-bmp-no-folder");
  const std::string folder = temp.String();
  EXPECT_FALSE(WriteBmp24(folder + "/absent/dump.bmp", test::FlatPixels(1, 1, 0xFF000000)));
  EXPECT_FALSE(std::filesystem::exists(folder + "/absent"));
}

struct TBadPicture {
  const char* Name;
  platform::TPixels Picture;
};

class BmpWriterRefuses : public testing::TestWithParam<TBadPicture> {};

TEST_P(BmpWriterRefuses, AnEmptyOrInconsistentPictureWithoutWritingAFile) {
  std::vector<std::uint8_t> bytes;
  EXPECT_FALSE(EncodeBmp24(GetParam().Picture, bytes));
  EXPECT_TRUE(bytes.empty());
  const test::TScratchFolder temp(std::string("pictures-bmp-refuse-") + GetParam().Name);
  const std::string path = temp / "x.bmp";
  EXPECT_FALSE(WriteBmp24(path, GetParam().Picture));
  EXPECT_FALSE(std::filesystem::exists(path));
}

platform::TPixels Sized(int w, int h, std::size_t n) {
  platform::TPixels p;
  p.Width = w;
  p.Height = h;
  p.Pixels.assign(n, 0xFF000000);
  return p;
}

INSTANTIATE_TEST_SUITE_P(Pictures, BmpWriterRefuses,
                         testing::Values(TBadPicture{"Empty", platform::TPixels{}},
                                         TBadPicture{"ZeroWidth", Sized(0, 3, 0)},
                                         TBadPicture{"NegativeHeight", Sized(2, -1, 2)},
                                         TBadPicture{"TooFewPixels", Sized(2, 2, 3)},
                                         TBadPicture{"TooManyPixels", Sized(2, 2, 5)}),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace roarmark
