// The PNG reader: every kind of PNG decodes to the pixels ImageMagick sees in it, laid over black,
// and damaged, truncated or oversized files are refused whole.
#include "display/pictures/png_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "test_pictures.h"

namespace roarmark {
namespace {

using test::BuildPng;
using test::TPngParts;

// What the file's header says: colour type, bit depth, interlace method.
struct TPngKind {
  int ColourType, BitDepth, Interlace;
  friend bool operator==(const TPngKind&, const TPngKind&) = default;
};

TPngKind KindOf(const std::vector<std::uint8_t>& png) {
  if (png.size() < 29) return {-1, -1, -1};
  return {png[25], png[24], png[28]};
}

// --- Files made by ImageMagick ------------------------------------------------------------------

struct TMagickCase {
  const char* Name;
  const char* Options;  // what turns the source picture into this kind
  TPngKind Kind;
};

void PrintTo(const TMagickCase& c, std::ostream* os) {
  *os << c.Name;
}

// A coloured cloud of 37 x 29 (odd, so sub-byte rows and the interlace passes end mid-way),
// and the same with an alpha running from opaque at the top to clear at the bottom.
constexpr const char* kSource = "-size 37x29 -seed 7 plasma:fractal";
#define ALPHA " \\( -size 37x29 gradient:white-black \\) -alpha off -compose CopyOpacity -composite"
#define PNG_AS(type, depth) " -define png:color-type=" #type " -define png:bit-depth=" #depth

class PngDecodesLikeImageMagick : public testing::TestWithParam<TMagickCase> {};

TEST_P(PngDecodesLikeImageMagick, ToTheSamePixels) {
  const TMagickCase& c = GetParam();
  const test::TScratchFolder temp(std::string("pictures-png-magick-") + c.Name);
  const std::string path = temp / "picture.png";
  const std::string make =
      std::string("convert ") + kSource + " " + c.Options + " 'png:" + path + "' 2>/dev/null";
  ASSERT_EQ(std::system(make.c_str()), 0) << make;
  ASSERT_EQ(KindOf(test::ReadBytes(path)), c.Kind) << "ImageMagick wrote another kind";
  const platform::TPixels expected = test::MagickDecode(path);
  ASSERT_EQ(expected.Pixels.size(), 37u * 29u);
  platform::TPixels out;
  ASSERT_TRUE(DecodePngFile(path, out));
  EXPECT_EQ(out.Width, 37);
  EXPECT_EQ(out.Height, 29);
  EXPECT_EQ(out.Pixels, expected.Pixels);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PngDecodesLikeImageMagick,
    testing::Values(
        TMagickCase{"Grey1", "-colorspace gray -threshold 50%" PNG_AS(0, 1), {0, 1, 0}},
        TMagickCase{"Grey4", "-colorspace gray -depth 4" PNG_AS(0, 4), {0, 4, 0}},
        TMagickCase{"Grey8", "-colorspace gray" PNG_AS(0, 8), {0, 8, 0}},
        TMagickCase{"Grey16", "-colorspace gray -depth 16" PNG_AS(0, 16), {0, 16, 0}},
        TMagickCase{"GreyAlpha8", "-colorspace gray" ALPHA PNG_AS(4, 8), {4, 8, 0}},
        TMagickCase{"GreyAlpha16", "-colorspace gray -depth 16" ALPHA PNG_AS(4, 16), {4, 16, 0}},
        TMagickCase{"Palette1", "-colors 2 -depth 1" PNG_AS(3, 1), {3, 1, 0}},
        TMagickCase{"Palette8", "-colors 200" PNG_AS(3, 8), {3, 8, 0}},
        TMagickCase{"PaletteAlpha", ALPHA " -colors 64 -type PaletteAlpha", {3, 8, 0}},
        TMagickCase{"Rgb8", PNG_AS(2, 8), {2, 8, 0}},
        TMagickCase{"Rgb16", "-depth 16" PNG_AS(2, 16), {2, 16, 0}},
        TMagickCase{"Rgba8", ALPHA PNG_AS(6, 8), {6, 8, 0}},
        TMagickCase{"Rgba16", "-depth 16" ALPHA PNG_AS(6, 16), {6, 16, 0}},
        TMagickCase{"Grey1Interlaced",
                    "-colorspace gray -threshold 50% -interlace PNG" PNG_AS(0, 1),
                    {0, 1, 1}},
        TMagickCase{"GreyAlpha16Interlaced",
                    "-colorspace gray -depth 16 -interlace PNG" ALPHA PNG_AS(4, 16),
                    {4, 16, 1}},
        TMagickCase{"PaletteInterlaced", "-colors 200 -interlace PNG" PNG_AS(3, 8), {3, 8, 1}},
        TMagickCase{"Rgb16Interlaced", "-depth 16 -interlace PNG" PNG_AS(2, 16), {2, 16, 1}},
        TMagickCase{"Rgba8Interlaced", "-interlace PNG" ALPHA PNG_AS(6, 8), {6, 8, 1}}),
    [](const auto& info) { return std::string(info.param.Name); });

// --- Files built by hand ------------------------------------------------------------------------

struct THandCase {
  const char* Name;
  TPngParts Parts;
  std::vector<std::uint32_t> Expected;  // worked out by hand, top row first
};

void PrintTo(const THandCase& c, std::ostream* os) {
  *os << c.Name;
}

std::vector<THandCase> HandCases() {
  std::vector<THandCase> cases;
  {
    // Two bits a sample: 0, 1, 2, 3 are 0, 85, 170, 255; a row of 3 fills 6 bits of a byte.
    THandCase c{"Grey2", {}, {}};
    c.Parts.Width = 3;
    c.Parts.Height = 2;
    c.Parts.BitDepth = 2;
    c.Parts.ColourType = 0;
    c.Parts.Scanlines = {0, 0b00011000, 0, 0b11100100};
    c.Expected = {0xFF000000, 0xFF555555, 0xFFAAAAAA, 0xFFFFFFFF, 0xFFAAAAAA, 0xFF555555};
    cases.push_back(c);
  }
  {
    // Two bits an index into four entries; the last entry is half transparent (alpha 128):
    // 200 * 128 / 255 = 100.4 -> 100, 100 * 128 / 255 = 50.2 -> 50, 51 * 128 / 255 = 25.6 -> 26.
    THandCase c{"Palette2WithAlpha", {}, {}};
    c.Parts.Width = 4;
    c.Parts.Height = 1;
    c.Parts.BitDepth = 2;
    c.Parts.ColourType = 3;
    c.Parts.Palette = {10, 20, 30, 40, 50, 60, 70, 80, 90, 200, 100, 51};
    c.Parts.Transparency = {255, 0, 255, 128};
    c.Parts.Scanlines = {0, 0b00011011};
    c.Expected = {0xFF0A141E, 0xFF000000, 0xFF46505A, 0xFF64321A};
    cases.push_back(c);
  }
  {
    // Four bits an index; entries beyond the transparency list stay opaque.
    THandCase c{"Palette4", {}, {}};
    c.Parts.Width = 3;
    c.Parts.Height = 1;
    c.Parts.BitDepth = 4;
    c.Parts.ColourType = 3;
    c.Parts.Palette = {255, 0, 0, 0, 255, 0, 0, 0, 255};
    c.Parts.Transparency = {0};
    c.Parts.Scanlines = {0, 0x21, 0x00};
    c.Expected = {0xFF0000FF, 0xFF00FF00, 0xFF000000};
    cases.push_back(c);
  }
  {
    // One grey level (0x40) is transparent: those pixels become black, the others stay.
    THandCase c{"Grey8TransparentLevel", {}, {}};
    c.Parts.Width = 3;
    c.Parts.Height = 1;
    c.Parts.ColourType = 0;
    c.Parts.Transparency = {0x00, 0x40};
    c.Parts.Scanlines = {0, 0x40, 0x41, 0xC0};
    c.Expected = {0xFF000000, 0xFF414141, 0xFFC0C0C0};
    cases.push_back(c);
  }
  {
    // 16-bit RGB with one transparent colour; the next colour is kept: 0x1234 / 257 = 18.1 ->
    // 0x12, 0xABCD / 257 = 171.1 -> 0xAB, 0x80FE / 257 = 128.5 (128.49) -> 0x80.
    THandCase c{"Rgb16TransparentColour", {}, {}};
    c.Parts.Width = 2;
    c.Parts.Height = 1;
    c.Parts.BitDepth = 16;
    c.Parts.ColourType = 2;
    c.Parts.Transparency = {0x12, 0x34, 0xAB, 0xCD, 0x80, 0xFF};
    c.Parts.Scanlines = {0, 0x12, 0x34, 0xAB, 0xCD, 0x80, 0xFF, 0x12, 0x34, 0xAB, 0xCD, 0x80, 0xFE};
    c.Expected = {0xFF000000, 0xFF12AB80};
    cases.push_back(c);
  }
  {
    // Rows stored with the Sub and Up filters: each byte adds the one to its left or above.
    THandCase c{"Rgb8Filtered", {}, {}};
    c.Parts.Width = 2;
    c.Parts.Height = 2;
    c.Parts.Scanlines = {1, 10, 20, 30, 5, 5, 5, 2, 1, 1, 1, 0, 0, 0};
    c.Expected = {0xFF0A141E, 0xFF0F1923, 0xFF0B151F, 0xFF0F1923};
    cases.push_back(c);
  }
  return cases;
}

class PngDecodesHandBuiltFiles : public testing::TestWithParam<THandCase> {};

TEST_P(PngDecodesHandBuiltFiles, ToTheHandWorkedPixelsAsImageMagickDoes) {
  const THandCase& c = GetParam();
  const std::vector<std::uint8_t> png = BuildPng(c.Parts);
  platform::TPixels out;
  ASSERT_TRUE(DecodePng(png, out));
  EXPECT_EQ(out.Width, static_cast<int>(c.Parts.Width));
  EXPECT_EQ(out.Height, static_cast<int>(c.Parts.Height));
  EXPECT_EQ(out.Pixels, c.Expected);
  const test::TScratchFolder temp(std::string("pictures-png-hand-") + c.Name);
  test::WriteBytes(temp / "picture.png", png);
  EXPECT_EQ(test::MagickDecode(temp / "picture.png").Pixels, c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Files, PngDecodesHandBuiltFiles, testing::ValuesIn(HandCases()),
                         [](const auto& info) { return std::string(info.param.Name); });

// --- Damaged files ------------------------------------------------------------------------------

// 16 x 16 of fine noise, so the compressed data has no long runs.
TPngParts NoisyParts() {
  TPngParts p;
  p.Width = 16;
  p.Height = 16;
  for (std::uint32_t i = 0; i < 16 * (1 + 16 * 3); ++i)
    p.Scanlines.push_back(i % 49 == 0 ? 0 : static_cast<std::uint8_t>(i * 2654435761u >> 24));
  return p;
}

// Where the IDAT chunk's data starts in a file BuildPng made without PLTE and tRNS.
constexpr std::size_t kIdatData = 8 + 25 + 8;

struct TDamageCase {
  const char* Name;
  std::vector<std::uint8_t> Bytes;
};

void PrintTo(const TDamageCase& c, std::ostream* os) {
  *os << c.Name;
}

std::vector<TDamageCase> DamageCases() {
  std::vector<TDamageCase> cases;
  const std::vector<std::uint8_t> good = BuildPng(NoisyParts());
  auto with = [&](const char* name, auto change) {
    std::vector<std::uint8_t> bytes = good;
    change(bytes);
    cases.push_back({name, bytes});
  };
  auto parts = [&](const char* name, auto change) {
    TPngParts p = NoisyParts();
    change(p);
    cases.push_back({name, BuildPng(p)});
  };
  with("ImageDataChecksum", [](auto& b) { b[kIdatData + 40] ^= 0x10; });
  with("HeaderChecksum", [](auto& b) { b[8 + 21] ^= 0x01; });
  with("Signature", [](auto& b) { b[1] = 'p'; });
  with("NoEndChunk", [](auto& b) { b.resize(b.size() - 12); });
  // The compressed data's first byte no longer names the deflate method; the checksum is right.
  with("BrokenCompressedData", [](auto& b) {
    const std::uint32_t length = std::uint32_t{b[kIdatData - 8]} << 24 |
                                 std::uint32_t{b[kIdatData - 7]} << 16 |
                                 std::uint32_t{b[kIdatData - 6]} << 8 | b[kIdatData - 5];
    std::vector<std::uint8_t> data(b.begin() + kIdatData, b.begin() + kIdatData + length);
    data[0] = 0x07;
    const std::vector<std::uint8_t> chunk = test::PngChunk("IDAT", data);
    std::copy(chunk.begin(), chunk.end(), b.begin() + kIdatData - 8);
  });
  parts("TooFewRows", [](auto& p) { p.Scanlines.resize(p.Scanlines.size() - 49); });
  parts("UnknownRowFilter", [](auto& p) { p.Scanlines[49] = 5; });
  parts("PaletteMissing", [](auto& p) {
    p.ColourType = 3;
    p.Scanlines.assign(16 * 17, 0);
  });
  parts("BitDepthNotAllowed", [](auto& p) { p.BitDepth = 4; });
  parts("ZeroWidth", [](auto& p) {
    p.Width = 0;
    p.Scanlines.assign(16, 0);
  });
  {
    const std::string text = "[Form]\r\nGraphic Filename=C:\\show.png\r\n";
    cases.push_back({"IniText", std::vector<std::uint8_t>(text.begin(), text.end())});
  }
  cases.push_back({"Empty", {}});
  return cases;
}

class PngRefusesDamagedFiles : public testing::TestWithParam<TDamageCase> {};

TEST_P(PngRefusesDamagedFiles, WithEmptyResult) {
  platform::TPixels out = test::FlatPixels(1, 1, 0xFF123456);
  EXPECT_FALSE(DecodePng(GetParam().Bytes, out));
  EXPECT_EQ(out.Width, 0);
  EXPECT_EQ(out.Height, 0);
  EXPECT_TRUE(out.Pixels.empty());
}

INSTANTIATE_TEST_SUITE_P(Files, PngRefusesDamagedFiles, testing::ValuesIn(DamageCases()),
                         [](const auto& info) { return std::string(info.param.Name); });

// Cut anywhere before its end, a file is refused, whether the rows come in order or in the
// seven interlace passes (made by ImageMagick).
class PngTruncated : public testing::TestWithParam<bool> {};

TEST_P(PngTruncated, AtEveryLengthIsRefused) {
  std::vector<std::uint8_t> whole = BuildPng(NoisyParts());
  if (GetParam()) {
    const test::TScratchFolder temp("pictures-png-truncated");
    const std::string path = temp / "interlaced.png";
    const std::string make =
        std::string("convert ") + kSource + " -interlace PNG 'png:" + path + "' 2>/dev/null";
    ASSERT_EQ(std::system(make.c_str()), 0);
    whole = test::ReadBytes(path);
    ASSERT_EQ(KindOf(whole).Interlace, 1);
  }
  platform::TPixels out;
  ASSERT_TRUE(DecodePng(whole, out));
  for (std::size_t keep = 0; keep < whole.size(); ++keep) {
    const std::vector<std::uint8_t> cut(whole.begin(),
                                        whole.begin() + static_cast<std::ptrdiff_t>(keep));
    EXPECT_FALSE(DecodePng(cut, out)) << keep << " of " << whole.size() << " bytes";
    ASSERT_TRUE(out.Pixels.empty()) << keep << " bytes";
  }
}

INSTANTIATE_TEST_SUITE_P(InOrderAndInterlaced, PngTruncated, testing::Bool());

// --- The pixel limit ----------------------------------------------------------------------------

// A whole 1-bit grey picture of zeros: small to store at any size.
std::vector<std::uint8_t> BlankPng(std::uint32_t width, std::uint32_t height) {
  TPngParts p;
  p.Width = width;
  p.Height = height;
  p.BitDepth = 1;
  p.ColourType = 0;
  p.Scanlines.assign((1 + (width + 7) / 8) * std::size_t{height}, 0);
  return BuildPng(p);
}

TEST(PngPixelLimit, FortyMillionPixelsAcceptedMoreRefusedAsIsAReductionBeyondThem) {
  platform::TPixels out;
  ASSERT_TRUE(DecodePng(BlankPng(8000, 5000), out));
  EXPECT_EQ(out.Pixels.size(), 40'000'000u);
  EXPECT_EQ(out.Pixels.front(), 0xFF000000u);

  EXPECT_FALSE(DecodePng(BlankPng(8000, 5001), out));
  EXPECT_TRUE(out.Pixels.empty());
  // 1921 x 1 would be shown 1,536,800 x 800.
  EXPECT_FALSE(DecodePng(BlankPng(1921, 1), out));
  EXPECT_TRUE(out.Pixels.empty());
}

TEST(PngFile, RefusesAMissingFileAndAFolder) {
  const test::TScratchFolder temp("pictures-png-file");
  platform::TPixels out;
  EXPECT_FALSE(DecodePngFile(temp / "missing.png", out));
  EXPECT_FALSE(DecodePngFile(temp.String(), out));
  EXPECT_TRUE(out.Pixels.empty());
}

}  // namespace
}  // namespace roarmark
