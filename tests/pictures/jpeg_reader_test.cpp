// The JPEG loader: colour, greyscale and CMYK pictures decode to their colours, damaged data is
// refused without ending the process, and very large pictures decode at a reduced scale.
#include "display/pictures/jpeg_reader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include <jpeglib.h>  // after <cstdio>

#include "display/pictures/bmp_writer.h"
#include "test_pictures.h"

namespace roarmark {
namespace {

int Channel(std::uint32_t c, int shift) {
  return static_cast<int>((c >> shift) & 0xFF);
}

// Within JPEG's error on a flat area.
void ExpectNear(std::uint32_t actual, std::uint32_t expected, int tolerance = 6) {
  EXPECT_EQ(actual >> 24, 0xFFu) << std::hex << actual;
  for (int shift : {16, 8, 0}) {
    EXPECT_LE(std::abs(Channel(actual, shift) - Channel(expected, shift)), tolerance)
        << std::hex << "actual " << actual << " expected " << expected;
  }
}

std::uint32_t At(const platform::TPixels& p, int x, int y) {
  return p.Pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(p.Width) +
                  static_cast<std::size_t>(x)];
}

TEST(JpegDecode, ColourRoundTripKeepsFlatQuadrants) {
  // 64 x 48, four flat quadrants.
  platform::TPixels picture = test::FlatPixels(64, 48, 0);
  const std::uint32_t colours[4] = {0xFFE02010, 0xFF20C040, 0xFF1030D0, 0xFF808080};
  for (int y = 0; y < 48; ++y) {
    for (int x = 0; x < 64; ++x) {
      picture.Pixels[static_cast<std::size_t>(y * 64 + x)] =
          colours[(y >= 24 ? 2 : 0) + (x >= 32 ? 1 : 0)];
    }
  }
  platform::TPixels out;
  TPictureSize source;
  ASSERT_TRUE(DecodeJpeg(test::EncodeJpeg(picture), out, &source));
  EXPECT_EQ(out.Width, 64);
  EXPECT_EQ(out.Height, 48);
  EXPECT_EQ(source, (TPictureSize{64, 48}));
  // Quadrant centres, away from the colour edges that chroma subsampling blurs.
  ExpectNear(At(out, 12, 10), colours[0]);
  ExpectNear(At(out, 52, 10), colours[1]);
  ExpectNear(At(out, 12, 38), colours[2]);
  ExpectNear(At(out, 52, 38), colours[3]);
  for (std::uint32_t c : out.Pixels)
    ASSERT_EQ(c >> 24, 0xFFu);
}

struct TFlatCase {
  const char* Name;
  int Components;
  bool Adobe;
  bool Progressive;
  std::uint32_t Stored;    // the sample bytes handed to the encoder
  std::uint32_t Expected;  // the colour shown
};

class JpegDecodesColourModels : public testing::TestWithParam<TFlatCase> {};

TEST_P(JpegDecodesColourModels, ToTheFlatColour) {
  const TFlatCase& c = GetParam();
  platform::TPixels out;
  ASSERT_TRUE(DecodeJpeg(test::EncodeJpeg(test::FlatPixels(24, 16, c.Stored), 95, c.Components,
                                          c.Adobe, c.Progressive),
                         out));
  ASSERT_EQ(out.Pixels.size(), 24u * 16u);
  ExpectNear(At(out, 12, 8), c.Expected);
  ExpectNear(At(out, 0, 0), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(Models, JpegDecodesColourModels,
                         testing::Values(
                             // Greyscale takes the encoder's blue byte: 0x80 becomes grey 128.
                             TFlatCase{"Grey", 1, false, false, 0xFF000080, 0xFF808080},
                             TFlatCase{"Rgb", 3, false, false, 0xFFC08040, 0xFFC08040},
                             TFlatCase{"RgbProgressive", 3, false, true, 0xFF2080E0, 0xFF2080E0},
                             // Adobe's CMYK is stored inverted: C, M, Y, K = 255, 0, 0, 255 is no
                             // cyan, full magenta and yellow, no black: red.
                             TFlatCase{"CmykAdobeRed", 4, true, false, 0xFF0000FF, 0xFFFF0000},
                             // Half black only: 128 of 255 left of every channel.
                             TFlatCase{"CmykAdobeHalfBlack", 4, true, false, 0xFFFFFF80,
                                       0xFF808080},
                             // Without the marker, values mean ink: 0, 255, 255, 0 is red too.
                             TFlatCase{"CmykPlainRed", 4, false, false, 0x00FFFF00, 0xFFFF0000}),
                         [](const auto& info) { return std::string(info.param.Name); });

// 128 x 128 of fine noise, so that every block carries data.
platform::TPixels NoisyPicture() {
  platform::TPixels picture = test::FlatPixels(128, 128, 0xFF204080);
  for (int i = 0; i < 128 * 128; ++i)
    picture.Pixels[static_cast<std::size_t>(i)] ^=
        static_cast<std::uint32_t>(i * 2654435761u) & 0x3F3F3F;
  return picture;
}

class JpegTruncated : public testing::TestWithParam<bool> {};

TEST_P(JpegTruncated, DataIsRefused) {
  const std::vector<std::uint8_t> whole =
      test::EncodeJpeg(NoisyPicture(), 95, 3, false, GetParam());
  platform::TPixels out;
  ASSERT_TRUE(DecodeJpeg(whole, out));
  for (std::size_t keep : {whole.size() * 3 / 4, whole.size() / 2, std::size_t{200},
                           std::size_t{20}, std::size_t{2}}) {
    const std::vector<std::uint8_t> cut(whole.begin(),
                                        whole.begin() + static_cast<std::ptrdiff_t>(keep));
    out = test::FlatPixels(1, 1, 0xFF000000);
    EXPECT_FALSE(DecodeJpeg(cut, out)) << keep << " bytes";
    EXPECT_TRUE(out.Pixels.empty()) << keep << " bytes";
    EXPECT_EQ(out.Width, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(BaselineAndProgressive, JpegTruncated, testing::Bool());

TEST(JpegDecode, NonJpegDataIsRefused) {
  platform::TPixels out;
  std::vector<std::uint8_t> bmp;
  ASSERT_TRUE(EncodeBmp24(test::FlatPixels(4, 4, 0xFF102030), bmp));
  EXPECT_FALSE(DecodeJpeg(bmp, out));  // a bitmap under a ".jpg" name
  EXPECT_FALSE(DecodeJpeg(std::vector<std::uint8_t>{}, out));
  const std::string text = "[Form]\r\nGraphic Filename=C:\\show.jpg\r\n";
  EXPECT_FALSE(DecodeJpeg(std::vector<std::uint8_t>(text.begin(), text.end()), out));
  // A start-of-image marker followed by rubbish.
  std::vector<std::uint8_t> rubbish = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x02, 0x13, 0x37};
  rubbish.resize(300, 0x5A);
  EXPECT_FALSE(DecodeJpeg(rubbish, out));
  EXPECT_TRUE(out.Pixels.empty());
}

// Rewrites the picture size in the frame header of an encoded JPEG.
void PatchFrameSize(std::vector<std::uint8_t>& jpeg, int width, int height) {
  for (std::size_t i = 2; i + 9 < jpeg.size(); ++i) {
    if (jpeg[i] == 0xFF && (jpeg[i + 1] == 0xC0 || jpeg[i + 1] == 0xC2)) {
      jpeg[i + 5] = static_cast<std::uint8_t>(height >> 8);
      jpeg[i + 6] = static_cast<std::uint8_t>(height);
      jpeg[i + 7] = static_cast<std::uint8_t>(width >> 8);
      jpeg[i + 8] = static_cast<std::uint8_t>(width);
      return;
    }
  }
  FAIL() << "no frame header";
}

TEST(JpegDecode, PictureTooLargeEvenAtOneEighthIsRefusedBeforeDecoding) {
  // 65500 x 65500 is 8188 x 8188 at 1/8: over 40 million pixels.
  std::vector<std::uint8_t> jpeg = test::EncodeJpeg(test::FlatPixels(16, 16, 0xFF808080));
  PatchFrameSize(jpeg, 65500, 65500);
  platform::TPixels out;
  TPictureSize source;
  EXPECT_FALSE(DecodeJpeg(jpeg, out, &source));
  EXPECT_TRUE(out.Pixels.empty());
}

TEST(JpegDecode, LargePictureDecodesAtHalfScaleAndReducesToTheDisplaySize) {
  // 4000 x 3000 decodes at 1/2 (2000 x 1500, still above 1066 x 800) and then reduces.
  platform::TPixels picture = test::FlatPixels(4000, 3000, 0xFF3060C0);
  for (int y = 0; y < 3000; ++y) {
    for (int x = 2000; x < 4000; ++x)
      picture.Pixels[static_cast<std::size_t>(y) * 4000 + static_cast<std::size_t>(x)] = 0xFFF0E0D0;
  }
  const std::vector<std::uint8_t> jpeg = test::EncodeJpeg(picture, 90);
  picture = {};
  platform::TPixels out;
  TPictureSize source;
  ASSERT_TRUE(DecodeJpeg(jpeg, out, &source));
  EXPECT_EQ(source, (TPictureSize{4000, 3000}));
  EXPECT_EQ(out.Width, 2000);
  EXPECT_EQ(out.Height, 1500);
  ExpectNear(At(out, 500, 750), 0xFF3060C0);
  ExpectNear(At(out, 1500, 750), 0xFFF0E0D0);

  ASSERT_TRUE(ReduceLoadedPicture(out, source));
  EXPECT_EQ(out.Width, 1066);
  EXPECT_EQ(out.Height, 800);
  ExpectNear(At(out, 200, 400), 0xFF3060C0);
  ExpectNear(At(out, 900, 400), 0xFFF0E0D0);
}

struct TScaleCase {
  int Width, Height, Denominator;
};

class JpegScale : public testing::TestWithParam<TScaleCase> {};

TEST_P(JpegScale, IsTheLargestReductionThatStillCoversTheShownSize) {
  const TScaleCase& c = GetParam();
  EXPECT_EQ(JpegScaleDenominator(c.Width, c.Height), c.Denominator) << c.Width << " x " << c.Height;
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, JpegScale,
    testing::Values(TScaleCase{1920, 1080, 1}, TScaleCase{640, 480, 1},
                    // 3840 x 2160 is exactly four full-HD screens: decoded whole.
                    TScaleCase{3840, 2160, 1},
                    // One row more: shown 1421 x 800; 1/2 gives 1920 x 1081, 1/4 only 960 wide.
                    TScaleCase{3840, 2161, 2},
                    // Shown 1066 x 800; 1/2 gives 2000 x 1500, 1/4 only 1000 x 750.
                    TScaleCase{4000, 3000, 2},
                    // Shown 1280 x 800; 1/4 gives 2000 x 1250, 1/8 only 1000 wide.
                    TScaleCase{8000, 5000, 4},
                    // Shown 17600 x 800; 1/2 would be only 11000 wide.
                    TScaleCase{22000, 1000, 1}));

struct TSizeCase {
  int Width, Height;
  bool Decodes;
  TPictureSize Decoded;
};

class JpegSizeGuard : public testing::TestWithParam<TSizeCase> {};

TEST_P(JpegSizeGuard, RefusesMoreThanFortyMillionPixelsAsFileOrAsShown) {
  const TSizeCase& c = GetParam();
  platform::TPixels out;
  TPictureSize source;
  EXPECT_EQ(DecodeJpeg(test::EncodeGreyJpeg(c.Width, c.Height, 0x60), out, &source), c.Decodes)
      << c.Width << " x " << c.Height;
  EXPECT_EQ((TPictureSize{out.Width, out.Height}), c.Decoded);
  EXPECT_EQ(out.Pixels.size(),
            static_cast<std::size_t>(c.Decoded.Width) * static_cast<std::size_t>(c.Decoded.Height));
  if (c.Decodes) ExpectNear(out.Pixels.back(), 0xFF606060);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, JpegSizeGuard,
    testing::Values(  // 40,000,000 pixels, decoded at 1/4 for its 1280 x 800 on screen.
        TSizeCase{8000, 5000, true, {2000, 1250}},
        // 40,008,000 pixels: over the limit although 1/4 of it would fit.
        TSizeCase{8000, 5001, false, {0, 0}},
        // 1921 x 1 would be shown 1,536,800 x 800.
        TSizeCase{1921, 1, false, {0, 0}},
        // 1921 x 31 is shown 49574 x 800 = 39,659,200 pixels.
        TSizeCase{1921, 31, true, {1921, 31}}));

// The entropy-coded data of the first scan: from after its header to the next marker.
std::pair<std::size_t, std::size_t> FirstScanData(const std::vector<std::uint8_t>& jpeg) {
  std::size_t i = 2;
  while (i + 3 < jpeg.size() && !(jpeg[i] == 0xFF && jpeg[i + 1] == 0xDA))
    i += 2 + static_cast<std::size_t>(jpeg[i + 2] << 8 | jpeg[i + 3]);
  const std::size_t begin = i + 2 + static_cast<std::size_t>(jpeg[i + 2] << 8 | jpeg[i + 3]);
  std::size_t end = begin;
  while (end + 1 < jpeg.size() && !(jpeg[end] == 0xFF && jpeg[end + 1] != 0x00))
    ++end;
  return {begin, end};
}

enum class TDamage { EndMarkerInsideTheScan, RunOfOneBits, JunkBeforeTheEndMarker };

struct TDamageCase {
  const char* Name;
  TDamage Damage;
  bool Progressive;
  bool Decodes;
};

class JpegDamaged : public testing::TestWithParam<TDamageCase> {};

TEST_P(JpegDamaged, DataIsRefusedUnlessOnlyTheTailIsUntidy) {
  const TDamageCase& c = GetParam();
  std::vector<std::uint8_t> jpeg = test::EncodeJpeg(NoisyPicture(), 95, 3, false, c.Progressive);
  const auto [begin, end] = FirstScanData(jpeg);
  ASSERT_GT(end - begin, 40u);
  const auto middle = static_cast<std::ptrdiff_t>((begin + end) / 2);
  switch (c.Damage) {
    case TDamage::EndMarkerInsideTheScan:
      jpeg[static_cast<std::size_t>(middle)] = 0xFF;
      jpeg[static_cast<std::size_t>(middle) + 1] = 0xD9;
      break;
    // Longer than any Huffman code: no table holds it. Only the progressive decoder reports it;
    // libjpeg-turbo's baseline fast path reads it as zero without a word.
    case TDamage::RunOfOneBits:
      for (std::size_t i = 0; i < 8; ++i) {
        jpeg[static_cast<std::size_t>(middle) + 2 * i] = 0xFF;
        jpeg[static_cast<std::size_t>(middle) + 2 * i + 1] = 0x00;
      }
      break;
    case TDamage::JunkBeforeTheEndMarker:
      jpeg.insert(jpeg.end() - 2, {0x12, 0x34, 0x56});
      break;
  }
  platform::TPixels out = test::FlatPixels(1, 1, 0xFF000000);
  EXPECT_EQ(DecodeJpeg(jpeg, out), c.Decodes);
  EXPECT_EQ(out.Pixels.size(), c.Decodes ? 128u * 128u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Damages, JpegDamaged,
    testing::Values(
        TDamageCase{"MarkerInScan", TDamage::EndMarkerInsideTheScan, false, false},
        TDamageCase{"MarkerInProgressiveScan", TDamage::EndMarkerInsideTheScan, true, false},
        TDamageCase{"BadCodeProgressive", TDamage::RunOfOneBits, true, false},
        TDamageCase{"JunkAtTheEnd", TDamage::JunkBeforeTheEndMarker, false, true},
        TDamageCase{"JunkAtTheEndProgressive", TDamage::JunkBeforeTheEndMarker, true, true}),
    [](const auto& info) { return std::string(info.param.Name); });

// A valid progressive JPEG of a flat picture that sends each of the 63 AC coefficients of each
// component in a scan of its own, after one DC scan: 1 + 63 * components scans.
std::vector<std::uint8_t> OneCoefficientPerScan(int components) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = 16;
  cinfo.image_height = 16;
  cinfo.input_components = components;
  cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  std::vector<jpeg_scan_info> scans(1);
  scans[0].comps_in_scan = components;
  for (int c = 0; c < components; ++c)
    scans[0].component_index[c] = c;
  scans[0].Ss = scans[0].Se = scans[0].Ah = scans[0].Al = 0;
  for (int c = 0; c < components; ++c) {
    for (int k = 1; k < 64; ++k) {
      jpeg_scan_info scan{};
      scan.comps_in_scan = 1;
      scan.component_index[0] = c;
      scan.Ss = scan.Se = k;
      scans.push_back(scan);
    }
  }
  cinfo.scan_info = scans.data();
  cinfo.num_scans = static_cast<int>(scans.size());
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(16 * static_cast<std::size_t>(components), 0x70);
  JSAMPROW rows[1] = {row.data()};
  while (cinfo.next_scanline < cinfo.image_height)
    jpeg_write_scanlines(&cinfo, rows, 1);
  jpeg_finish_compress(&cinfo);
  std::vector<std::uint8_t> bytes(buffer, buffer + size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return bytes;
}

TEST(JpegDecode, AtMostAHundredScans) {
  platform::TPixels out;
  // Greyscale: 64 scans.
  ASSERT_TRUE(DecodeJpeg(OneCoefficientPerScan(1), out));
  ExpectNear(out.Pixels[0], 0xFF707070);
  // Colour: 190 scans, each a pass over the whole picture; a hostile file holds thousands.
  EXPECT_FALSE(DecodeJpeg(OneCoefficientPerScan(3), out));
  EXPECT_TRUE(out.Pixels.empty());
}

TEST(JpegFile, MissingFileIsRefused) {
  platform::TPixels out;
  const test::TScratchFolder temp("pictures-jpeg-missing");
  EXPECT_FALSE(DecodeJpegFile(temp / "show.jpg", out));
  EXPECT_TRUE(out.Pixels.empty());
}

TEST(JpegFile, DecodesAFile) {
  const test::TScratchFolder temp("pictures-jpeg-file");
  const std::string path = temp / "show.jpg";
  test::WriteBytes(path, test::EncodeJpeg(test::FlatPixels(8, 8, 0xFF40C080)));
  platform::TPixels out;
  ASSERT_TRUE(DecodeJpegFile(path, out));
  ASSERT_EQ(out.Pixels.size(), 64u);
  ExpectNear(out.Pixels[27], 0xFF40C080);
}

}  // namespace
}  // namespace roarmark
