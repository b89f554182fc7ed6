// The BMP reader: every supported layout decodes to the hand-known pixels, and malformed files
// are refused without reading outside the data.
#include "display/pictures/bmp_reader.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "test_pictures.h"

namespace roarmark {
namespace {

using test::BuildBmp;
using test::TBmpParts;

struct TDecodeCase {
  std::string Name;
  TBmpParts Parts;
  std::vector<std::vector<std::uint32_t>> Expected;  // top row first
};

// Palette colours used below: entry 0 is (R 0x30, G 0x20, B 0x10), entry 1 (0xC0, 0xB0, 0xA0),
// entry 2 (0x01, 0x02, 0x03); stored blue first.
const std::vector<std::uint8_t> kPalette4 = {0x10, 0x20, 0x30, 0,    0xA0, 0xB0,
                                             0xC0, 0,    0x03, 0x02, 0x01, 0};
constexpr std::uint32_t P0 = 0xFF302010, P1 = 0xFFC0B0A0, P2 = 0xFF010203;

std::vector<TDecodeCase> DecodeCases() {
  std::vector<TDecodeCase> cases;
  {
    TDecodeCase c{"OneBitBottomUp", {}, {}};
    c.Parts.Width = 3;
    c.Parts.Height = 2;
    c.Parts.Bits = 1;
    c.Parts.ColoursUsed = 2;
    c.Parts.Palette.assign(kPalette4.begin(), kPalette4.begin() + 8);
    // Bottom row first: bits 101, then the top row 011; rows padded to 4 bytes.
    c.Parts.Pixels = {0xA0, 0, 0, 0, 0x60, 0, 0, 0};
    c.Expected = {{P0, P1, P1}, {P1, P0, P1}};
    cases.push_back(c);
  }
  {
    TDecodeCase c{"FourBitHighNibbleFirst", {}, {}};
    c.Parts.Width = 3;
    c.Parts.Height = 1;
    c.Parts.Bits = 4;
    c.Parts.ColoursUsed = 3;
    c.Parts.Palette = kPalette4;
    c.Parts.Pixels = {0x21, 0x00, 0, 0};
    c.Expected = {{P2, P1, P0}};
    cases.push_back(c);
  }
  {
    TDecodeCase c{"EightBitTopDown", {}, {}};
    c.Parts.Width = 2;
    c.Parts.Height = -2;
    c.Parts.Bits = 8;
    c.Parts.ColoursUsed = 3;
    c.Parts.Palette = kPalette4;
    c.Parts.Pixels = {1, 2, 0, 0, 0, 1, 0, 0};
    c.Expected = {{P1, P2}, {P0, P1}};
    cases.push_back(c);
  }
  {
    TDecodeCase c{"EightBitIndexBeyondPaletteIsBlack", {}, {}};
    c.Parts.Width = 2;
    c.Parts.Height = 1;
    c.Parts.Bits = 8;
    c.Parts.ColoursUsed = 2;
    c.Parts.Palette.assign(kPalette4.begin(), kPalette4.begin() + 8);
    c.Parts.Pixels = {1, 200, 0, 0};
    c.Expected = {{P1, 0xFF000000}};
    cases.push_back(c);
  }
  {
    TDecodeCase c{"EightBitCoreHeaderThreeBytePalette", {}, {}};
    c.Parts.HeaderSize = 12;
    c.Parts.Width = 2;
    c.Parts.Height = 1;
    c.Parts.Bits = 8;
    // A core palette has as many 3-byte entries as fit before the pixels.
    c.Parts.Palette = {0x10, 0x20, 0x30, 0xA0, 0xB0, 0xC0};
    c.Parts.Pixels = {1, 0, 0, 0};
    c.Expected = {{P1, P0}};
    cases.push_back(c);
  }
  {
    // 5-5-5: 16 of 31 is 131.6 of 255, rounded to 132 (0x84).
    TDecodeCase c{"SixteenBit555", {}, {}};
    c.Parts.Width = 4;
    c.Parts.Height = 1;
    c.Parts.Bits = 16;
    c.Parts.Pixels = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0x10, 0x42};
    c.Expected = {{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFF848484}};
    cases.push_back(c);
  }
  {
    // 5-6-5 masks after an info header: green 32 of 63 is 129.5, rounded to 130 (0x82).
    TDecodeCase c{"SixteenBit565Bitfields", {}, {}};
    c.Parts.Width = 3;
    c.Parts.Height = 1;
    c.Parts.Bits = 16;
    c.Parts.Compression = 3;
    c.Parts.Masks = {0xF800, 0x07E0, 0x001F};
    c.Parts.Pixels = {0x00, 0xF8, 0x00, 0x04, 0x1F, 0x00, 0, 0};
    c.Expected = {{0xFFFF0000, 0xFF008200, 0xFF0000FF}};
    cases.push_back(c);
  }
  {
    TDecodeCase c{"SixteenBit565InV3Header", {}, {}};
    c.Parts.HeaderSize = 56;
    c.Parts.Width = 1;
    c.Parts.Height = 1;
    c.Parts.Bits = 16;
    c.Parts.Compression = 3;
    c.Parts.Masks = {0xF800, 0x07E0, 0x001F, 0};
    c.Parts.Pixels = {0xFF, 0xFF, 0, 0};
    c.Expected = {{0xFFFFFFFF}};
    cases.push_back(c);
  }
  {
    TDecodeCase c{"TwentyFourBitBottomUpPadded", {}, {}};
    c.Parts.Width = 2;
    c.Parts.Height = 2;
    c.Parts.Bits = 24;
    c.Parts.Pixels = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0, 0,
                      0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0, 0};
    c.Expected = {{0xFF131211, 0xFF161514}, {0xFF030201, 0xFF060504}};
    cases.push_back(c);
  }
  {
    TDecodeCase c{"TwentyFourBitCoreHeader", {}, {}};
    c.Parts.HeaderSize = 12;
    c.Parts.Width = 1;
    c.Parts.Height = 2;
    c.Parts.Bits = 24;
    c.Parts.Pixels = {0xAA, 0xBB, 0xCC, 0, 0x01, 0x02, 0x03, 0};
    c.Expected = {{0xFF030201}, {0xFFCCBBAA}};
    cases.push_back(c);
  }
  {
    TDecodeCase c{"TwentyFourBitV4TopDown", {}, {}};
    c.Parts.HeaderSize = 108;
    c.Parts.Width = 1;
    c.Parts.Height = -2;
    c.Parts.Bits = 24;
    c.Parts.Pixels = {0xAA, 0xBB, 0xCC, 0, 0x01, 0x02, 0x03, 0};
    c.Expected = {{0xFFCCBBAA}, {0xFF030201}};
    cases.push_back(c);
  }
  {
    TDecodeCase c{"TwentyFourBitLastRowPaddingMissing", {}, {}};
    c.Parts.Width = 1;
    c.Parts.Height = 2;
    c.Parts.Bits = 24;
    c.Parts.Pixels = {0x01, 0x02, 0x03, 0, 0x04, 0x05, 0x06};
    c.Expected = {{0xFF060504}, {0xFF030201}};
    cases.push_back(c);
  }
  {
    // The fourth byte of a plain 32-bit pixel is not alpha: the result is opaque.
    TDecodeCase c{"ThirtyTwoBitPlain", {}, {}};
    c.Parts.Width = 2;
    c.Parts.Height = 1;
    c.Parts.Bits = 32;
    c.Parts.Pixels = {0x01, 0x02, 0x03, 0x00, 0x04, 0x05, 0x06, 0x80};
    c.Expected = {{0xFF030201, 0xFF060504}};
    cases.push_back(c);
  }
  {
    // Red in the low byte, as some writers lay out RGBA.
    TDecodeCase c{"ThirtyTwoBitBitfieldsInV5Header", {}, {}};
    c.Parts.HeaderSize = 124;
    c.Parts.Width = 1;
    c.Parts.Height = -1;
    c.Parts.Bits = 32;
    c.Parts.Compression = 3;
    c.Parts.Masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000};
    c.Parts.Pixels = {0x11, 0x22, 0x33, 0x00};
    c.Expected = {{0xFF112233}};
    cases.push_back(c);
  }
  {
    // 10-bit channels: 1023 is 255, 512 of 1023 is 127.6 (128), 0 stays 0.
    TDecodeCase c{"ThirtyTwoBitTenBitChannelsInV2Header", {}, {}};
    c.Parts.HeaderSize = 52;
    c.Parts.Width = 1;
    c.Parts.Height = 1;
    c.Parts.Bits = 32;
    c.Parts.Compression = 3;
    c.Parts.Masks = {0x3FF00000, 0x000FFC00, 0x000003FF};
    const std::uint32_t v = (1023u << 20) | (512u << 10) | 0u;
    c.Parts.Pixels = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                      static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
    c.Expected = {{0xFFFF8000}};
    cases.push_back(c);
  }
  {
    // Bottom row: a run of two 1s, then three indexes as they stand (padded to 4 bytes), end of
    // row. Top row: move 2 right, one 2, end of picture; skipped pixels take entry 0.
    TDecodeCase c{"RunLength8", {}, {}};
    c.Parts.Width = 5;
    c.Parts.Height = 2;
    c.Parts.Bits = 8;
    c.Parts.Compression = 1;
    c.Parts.ColoursUsed = 3;
    c.Parts.Palette = kPalette4;
    c.Parts.Pixels = {2, 1, 0, 3, 2, 0, 1, 0, 0, 0, 0, 2, 2, 0, 1, 2, 0, 1};
    c.Expected = {{P0, P0, P2, P0, P0}, {P1, P1, P2, P0, P1}};
    cases.push_back(c);
  }
  {
    // Bottom row: five pixels alternating the nibbles of 0x12. Top row: five nibbles as they
    // stand in 3 bytes padded to 4, end of picture.
    TDecodeCase c{"RunLength4", {}, {}};
    c.Parts.Width = 5;
    c.Parts.Height = 2;
    c.Parts.Bits = 4;
    c.Parts.Compression = 2;
    c.Parts.ColoursUsed = 3;
    c.Parts.Palette = kPalette4;
    c.Parts.Pixels = {5, 0x12, 0, 0, 0, 5, 0x21, 0x01, 0x20, 0, 0, 1};
    c.Expected = {{P2, P1, P0, P1, P2}, {P1, P2, P1, P2, P1}};
    cases.push_back(c);
  }
  {
    // A run of four in a row of two loses the last two; a move of 1 right and 1 up lands on the
    // top row's second pixel; the data ends with the last row, without an end code.
    TDecodeCase c{"RunLength8EdgesAndMoveUp", {}, {}};
    c.Parts.Width = 2;
    c.Parts.Height = 3;
    c.Parts.Bits = 8;
    c.Parts.Compression = 1;
    c.Parts.ColoursUsed = 3;
    c.Parts.Palette = kPalette4;
    c.Parts.Pixels = {4, 1, 0, 0, 0, 2, 1, 1, 1, 2};
    c.Expected = {{P0, P2}, {P0, P0}, {P1, P1}};
    cases.push_back(c);
  }
  {
    // 4 bytes of data may draw 512 pixels: 16 x 32, all skipped by the end code.
    TDecodeCase c{"RunLength8AtItsDataLimit", {}, {}};
    c.Parts.Width = 16;
    c.Parts.Height = 32;
    c.Parts.Bits = 8;
    c.Parts.Compression = 1;
    c.Parts.ColoursUsed = 3;
    c.Parts.Palette = kPalette4;
    c.Parts.Pixels = {0, 0, 0, 1};
    c.Expected.assign(32, std::vector<std::uint32_t>(16, P0));
    cases.push_back(c);
  }
  return cases;
}

class BmpDecodesSupportedLayouts : public testing::TestWithParam<TDecodeCase> {};

TEST_P(BmpDecodesSupportedLayouts, ToTheHandKnownPixels) {
  const TDecodeCase& c = GetParam();
  const std::vector<std::uint8_t> bytes = BuildBmp(c.Parts);
  platform::TPixels out;
  ASSERT_TRUE(DecodeBmp(bytes, out));
  const platform::TPixels expected = test::MakePixels(c.Expected);
  EXPECT_EQ(out.Width, expected.Width);
  EXPECT_EQ(out.Height, expected.Height);
  EXPECT_EQ(out.Pixels, expected.Pixels);
}

INSTANTIATE_TEST_SUITE_P(Layouts, BmpDecodesSupportedLayouts, testing::ValuesIn(DecodeCases()),
                         [](const auto& info) { return info.param.Name; });

// A valid 2 x 2 24-bit file that the refusal cases break one way each.
TBmpParts ValidParts() {
  TBmpParts p;
  p.Width = 2;
  p.Height = 2;
  p.Bits = 24;
  p.Pixels.assign(16, 0x40);
  return p;
}

struct TRefuseCase {
  std::string Name;
  std::vector<std::uint8_t> Bytes;
};

std::vector<TRefuseCase> RefuseCases() {
  std::vector<TRefuseCase> cases;
  const auto with = [&](const std::string& name, auto change) {
    TBmpParts p = ValidParts();
    change(p);
    cases.push_back({name, BuildBmp(p)});
  };
  const auto bytes = [&](const std::string& name, auto change) {
    std::vector<std::uint8_t> b = BuildBmp(ValidParts());
    change(b);
    cases.push_back({name, b});
  };

  cases.push_back({"Empty", {}});
  cases.push_back({"OneByte", {'B'}});
  bytes("FileHeaderOnly", [](auto& b) { b.resize(14); });
  cases.push_back({"TextFile", {'[',  'F', 'o', 'r', 'm',  ']',  '\r', '\n', 'a', '=',  '1', '\r',
                                '\n', 'b', '=', '2', '\r', '\n', 'c',  '=',  '3', '\r', '\n'}});
  cases.push_back(
      {"PngSignature", {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H',
                        'D',  'R', 0,   0,   0,    1,    0,    0,    0, 1, 8, 2,  0,   0}});
  bytes("WrongSignature", [](auto& b) { b[1] = 'A'; });
  bytes("TruncatedInHeader", [](auto& b) { b.resize(30); });
  bytes("TruncatedPixelsByOneByte", [](auto& b) { b.resize(b.size() - 3); });
  with("HeaderSizeUnknown", [](auto& p) { p.HeaderSize = 64; });
  bytes("HeaderSizeZero", [](auto& b) { b[14] = 0; });
  bytes("HeaderSizeHuge", [](auto& b) { b[14] = b[15] = b[16] = b[17] = 0xFF; });
  bytes("HeaderLongerThanFile", [](auto& b) { b[14] = 124; });
  with("WidthZero", [](auto& p) { p.Width = 0; });
  with("HeightZero", [](auto& p) { p.Height = 0; });
  with("WidthNegative", [](auto& p) { p.Width = -2; });
  with("HeightMostNegative", [](auto& p) { p.Height = INT_MIN; });
  with("HugeDimensionsInSmallFile", [](auto& p) {
    p.Width = 50000;
    p.Height = 50000;
  });
  with("WidthTimesBitsOverflows32Bits", [](auto& p) {
    p.Width = 0x7FFFFFFF;
    p.Height = 1;
    p.Bits = 32;
  });
  with("PixelOffsetBeyondEnd", [](auto& p) { p.PixelOffset = 1000; });
  with("PixelOffsetAtEnd", [](auto& p) { p.PixelOffset = 54 + 16; });
  with("PixelOffsetMaximal", [](auto& p) { p.PixelOffset = 0xFFFFFFFF; });
  with("PixelOffsetInsideHeader", [](auto& p) { p.PixelOffset = 20; });
  with("BitsTwo", [](auto& p) { p.Bits = 2; });
  with("BitsZero", [](auto& p) { p.Bits = 0; });
  with("BitsSixtyFour", [](auto& p) { p.Bits = 64; });
  const auto run_length = [&](const std::string& name, std::uint16_t bits, std::uint32_t code,
                              std::int32_t height, std::vector<std::uint8_t> data) {
    with(name, [&](auto& p) {
      p.Height = height;
      p.Bits = bits;
      p.Compression = code;
      p.ColoursUsed = 1;
      p.Palette = {0, 0, 0, 0};
      p.Pixels = data;
    });
  };
  const std::vector<std::uint8_t> two_rows = {2, 0, 0, 0, 2, 0, 0, 1};
  run_length("RunLength8At4Bits", 4, 1, 2, two_rows);
  run_length("RunLength4At8Bits", 8, 2, 2, two_rows);
  run_length("RunLengthTopDown", 8, 1, -2, two_rows);
  run_length("RunLengthCutAfterTheFirstRow", 8, 1, 2, {2, 0, 0, 0});
  run_length("RunLengthCutInAMove", 8, 1, 2, {0, 2, 1});
  run_length("RunLengthCutInIndexes", 8, 1, 2, {0, 4, 0, 0, 0});
  run_length("RunLengthWithoutData", 8, 1, 2, {});
  // 4 bytes draw at most 512 pixels: 23 x 23 (529) is more, however it ends.
  with("RunLengthPictureLargerThanItsData", [](auto& p) {
    p.Width = 23;
    p.Height = 23;
    p.Bits = 8;
    p.Compression = 1;
    p.ColoursUsed = 1;
    p.Palette = {0, 0, 0, 0};
    p.Pixels = {0, 0, 0, 1};
  });
  with("EmbeddedJpeg", [](auto& p) { p.Compression = 4; });
  with("EmbeddedPng", [](auto& p) { p.Compression = 5; });
  with("BitfieldsAt24Bits", [](auto& p) {
    p.Compression = 3;
    p.Masks = {0xFF0000, 0xFF00, 0xFF};
  });
  bytes("BitfieldMasksCutOff", [](auto& b) {
    b[30] = 3;  // bit fields, but the masks would lie where the file ends
    b[28] = 32;
    b.resize(54 + 8);
  });
  with("PaletteBeyondEnd", [](auto& p) {
    p.Bits = 8;
    p.ColoursUsed = 200;
    p.Pixels.assign(8, 0);
  });
  with("PaletteWithoutRoom", [](auto& p) {
    p.Bits = 8;
    p.Pixels.assign(8, 0);  // no entries stored, pixels right after the header
  });
  return cases;
}

class BmpRefusesMalformedFiles : public testing::TestWithParam<TRefuseCase> {};

TEST_P(BmpRefusesMalformedFiles, WithEmptyResult) {
  const TRefuseCase& c = GetParam();
  platform::TPixels out = test::FlatPixels(1, 1, 0xFF123456);
  EXPECT_FALSE(DecodeBmp(c.Bytes, out));
  EXPECT_EQ(out.Width, 0);
  EXPECT_EQ(out.Height, 0);
  EXPECT_TRUE(out.Pixels.empty());
}

INSTANTIATE_TEST_SUITE_P(Files, BmpRefusesMalformedFiles, testing::ValuesIn(RefuseCases()),
                         [](const auto& info) { return info.param.Name; });

// 1-bit pictures keep a 40-million-pixel file small: 8000 x 5000 is exactly at the limit.
TEST(BmpPixelLimit, FortyMillionPixelsAcceptedOneMoreRowRefused) {
  TBmpParts p;
  p.Width = 8000;
  p.Bits = 1;
  p.ColoursUsed = 2;
  p.Palette = {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0};
  p.Height = 5000;
  p.Pixels.assign(1000u * 5000u, 0);
  platform::TPixels out;
  ASSERT_TRUE(DecodeBmp(BuildBmp(p), out));
  EXPECT_EQ(out.Pixels.size(), 40'000'000u);

  p.Height = 5001;
  p.Pixels.assign(1000u * 5001u, 0);
  EXPECT_FALSE(DecodeBmp(BuildBmp(p), out));
  EXPECT_TRUE(out.Pixels.empty());
}

TEST(BmpFile, DecodesAFileAndRefusesAMissingOne) {
  const test::TScratchFolder temp("pictures-bmp-file");
  const std::string folder = temp.String();
  TBmpParts p = ValidParts();
  p.Pixels = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0, 0, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0, 0};
  test::WriteBytes(folder + "/picture.bmp", BuildBmp(p));
  platform::TPixels out;
  ASSERT_TRUE(DecodeBmpFile(folder + "/picture.bmp", out));
  EXPECT_EQ(out.Pixels,
            (std::vector<std::uint32_t>{0xFF131211, 0xFF161514, 0xFF030201, 0xFF060504}));

  EXPECT_FALSE(DecodeBmpFile(folder + "/missing.bmp", out));
  EXPECT_TRUE(out.Pixels.empty());
  EXPECT_FALSE(DecodeBmpFile(folder, out));  // a folder is not a picture
}

}  // namespace
}  // namespace roarmark
