// Writes a small starting corpus for the fuzz targets: BMP files of every supported layout
// (run-length encoded ones too), JPEG files of each colour model, PNG files of each kind, and
// INI texts.
#include <filesystem>
#include <iostream>
#include <span>
#include <string>
#include <vector>

#include "display/pictures/bmp_writer.h"
#include "display/pictures/png_writer.h"
#include "test_pictures.h"

using namespace roarmark;

namespace {

platform::TPixels Gradient(int width, int height) {
  platform::TPixels p = test::FlatPixels(width, height, 0);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      p.Pixels[static_cast<std::size_t>(y * width + x)] =
          0xFF000000u | static_cast<std::uint32_t>((x * 255 / width) << 16) |
          static_cast<std::uint32_t>((y * 255 / height) << 8) | 0x40u;
    }
  }
  return p;
}

void Write(const std::filesystem::path& folder, const std::string& name,
           const std::vector<std::uint8_t>& bytes) {
  std::filesystem::create_directories(folder);
  test::WriteBytes((folder / name).string(), bytes);
}

std::vector<std::uint8_t> Text(const std::string& s) {
  return {s.begin(), s.end()};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: fuzz_seeds <folder>\n";
    return 2;
  }
  const std::filesystem::path root(argv[1]);

  const std::filesystem::path bmp = root / "bmp";
  std::vector<std::uint8_t> bytes;
  EncodeBmp24(Gradient(7, 5), bytes);
  Write(bmp, "rgb24.bmp", bytes);
  struct TLayout {
    const char* Name;
    std::uint32_t HeaderSize;
    std::uint16_t Bits;
    std::uint32_t Compression;
    int Height;
  };
  const TLayout layouts[] = {{"pal1.bmp", 40, 1, 0, 3},     {"pal4.bmp", 40, 4, 0, -3},
                             {"pal8.bmp", 40, 8, 0, 3},     {"core8.bmp", 12, 8, 0, 3},
                             {"rgb555.bmp", 40, 16, 0, 3},  {"bf565.bmp", 40, 16, 3, 3},
                             {"v4-24.bmp", 108, 24, 0, -3}, {"v5-32bf.bmp", 124, 32, 3, 3},
                             {"v3-32.bmp", 56, 32, 3, -3},  {"rgb32.bmp", 40, 32, 0, 3}};
  for (const TLayout& l : layouts) {
    test::TBmpParts parts;
    parts.HeaderSize = l.HeaderSize;
    parts.Width = 5;
    parts.Height = l.Height;
    parts.Bits = l.Bits;
    parts.Compression = l.Compression;
    if (l.Bits <= 8) {
      const int entries = 1 << l.Bits;
      for (int i = 0; i < entries; ++i) {
        parts.Palette.push_back(static_cast<std::uint8_t>(i * 7));
        parts.Palette.push_back(static_cast<std::uint8_t>(i * 3));
        parts.Palette.push_back(static_cast<std::uint8_t>(255 - i));
        if (l.HeaderSize != 12) parts.Palette.push_back(0);
      }
    }
    if (l.Compression == 3) {
      parts.Masks = l.Bits == 16
                        ? std::vector<std::uint32_t>{0xF800, 0x07E0, 0x001F}
                        : std::vector<std::uint32_t>{0x00FF0000, 0x0000FF00, 0x000000FF, 0};
    }
    const std::size_t stride = (5u * l.Bits + 31) / 32 * 4;
    for (std::size_t i = 0; i < stride * 3; ++i)
      parts.Pixels.push_back(static_cast<std::uint8_t>(i * 37));
    Write(bmp, l.Name, test::BuildBmp(parts));
  }

  // Run-length encoded, at 8 and 4 bits.
  for (const std::uint16_t bits : {std::uint16_t{8}, std::uint16_t{4}}) {
    test::TBmpParts parts;
    parts.Width = 6;
    parts.Height = 3;
    parts.Bits = bits;
    parts.Compression = bits == 8 ? 1 : 2;
    parts.ColoursUsed = 4;
    parts.Palette = {0x10, 0x20, 0x30, 0, 0xA0, 0xB0, 0xC0, 0, 0x03, 0x02, 0x01, 0, 0, 0, 0xFF, 0};
    // A run, end of row; three indexes as they stand; end of row; a move right; a run; end of
    // picture.
    parts.Pixels = bits == 8 ? std::vector<std::uint8_t>{4, 2, 0, 0, 0, 3, 1, 3, 2, 0,
                                                         0, 0, 0, 2, 1, 0, 2, 3, 0, 1}
                             : std::vector<std::uint8_t>{4, 0x12, 0, 0, 0, 3, 0x21, 0x30, 0,
                                                         0, 0,    2, 1, 0, 2, 0x33, 0,    1};
    Write(bmp, bits == 8 ? "rle8.bmp" : "rle4.bmp", test::BuildBmp(parts));
  }

  const std::filesystem::path jpeg = root / "jpeg";
  Write(jpeg, "rgb.jpg", test::EncodeJpeg(Gradient(24, 17), 80));
  Write(jpeg, "grey.jpg", test::EncodeJpeg(Gradient(16, 16), 80, 1));
  Write(jpeg, "cmyk-adobe.jpg", test::EncodeJpeg(Gradient(16, 9), 80, 4, true));
  Write(jpeg, "cmyk.jpg", test::EncodeJpeg(Gradient(9, 16), 80, 4, false));
  Write(jpeg, "rgb-q100.jpg", test::EncodeJpeg(Gradient(33, 8), 100));
  Write(jpeg, "progressive.jpg", test::EncodeJpeg(Gradient(20, 12), 80, 3, true, true));

  // PNG: every colour type at every bit depth it allows, some with a transparent colour or
  // palette alphas, some interlaced (the scanlines then come in the seven passes' order).
  const std::filesystem::path png = root / "png";
  struct TPngKind {
    std::uint8_t ColourType, BitDepth, Interlace;
    bool Transparency;
  };
  const TPngKind kinds[] = {
      {0, 1, 0, false}, {0, 2, 1, false},  {0, 4, 0, false},  {0, 8, 0, true},  {0, 16, 1, true},
      {2, 8, 0, true},  {2, 16, 0, false}, {3, 1, 0, false},  {3, 2, 0, true},  {3, 4, 1, false},
      {3, 8, 0, true},  {4, 8, 1, false},  {4, 16, 0, false}, {6, 8, 1, false}, {6, 16, 0, false}};
  for (const TPngKind& k : kinds) {
    test::TPngParts parts;
    parts.Width = 5;
    parts.Height = 3;
    parts.ColourType = k.ColourType;
    parts.BitDepth = k.BitDepth;
    parts.Interlace = k.Interlace;
    const int channels = k.ColourType == 2 ? 3 : k.ColourType == 4 ? 2 : k.ColourType == 6 ? 4 : 1;
    const std::size_t bits = static_cast<std::size_t>(channels) * k.BitDepth;
    if (k.ColourType == 3) {
      for (int i = 0; i < (1 << k.BitDepth); ++i)
        parts.Palette.insert(parts.Palette.end(), {static_cast<std::uint8_t>(i * 70),
                                                   static_cast<std::uint8_t>(255 - i * 9),
                                                   static_cast<std::uint8_t>(i * 3)});
      if (k.Transparency) parts.Transparency = {0, 128};
    } else if (k.Transparency) {
      parts.Transparency.assign(k.ColourType == 0 ? 2 : 6, 0x20);
    }
    // Adam7: where each pass starts and how far it steps, across then down.
    const int passes[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                              {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    const int whole[1][4] = {{0, 0, 1, 1}};
    for (const auto& pass : k.Interlace ? std::span<const int[4]>(passes) : std::span(whole)) {
      const int w = (5 - pass[0] + pass[2] - 1) / pass[2];
      const int h = (3 - pass[1] + pass[3] - 1) / pass[3];
      if (w <= 0 || h <= 0) continue;
      for (int y = 0; y < h; ++y) {
        parts.Scanlines.push_back(static_cast<std::uint8_t>(y % 5));  // each filter in turn
        for (std::size_t i = 0; i < (static_cast<std::size_t>(w) * bits + 7) / 8; ++i)
          parts.Scanlines.push_back(
              static_cast<std::uint8_t>(i * 37 + static_cast<std::size_t>(y)));
      }
    }
    const std::string name = "type" + std::to_string(k.ColourType) + "-" +
                             std::to_string(k.BitDepth) + (k.Interlace ? "-interlaced" : "") +
                             (k.Transparency ? "-trns" : "") + ".png";
    Write(png, name, test::BuildPng(parts));
  }
  EncodePng(Gradient(24, 17), bytes);
  Write(png, "written.png", bytes);

  const std::filesystem::path ini = root / "ini";
  Write(
      ini, "roarmark.ini",
      Text("[Input]\r\nDevice Name=Line In\r\ncal=-30\r\ndecay=20\r\n\r\n[Form]\r\nMeter Position "
           "X=188\r\nMeter Position Y=764\r\nTopColor=8388863\r\nGraphic "
           "Filename=C:\\ProgramData\\Quillmoor\\Roarmark\\Files\\Graphic.bmp\r\n"));
  Write(ini, "settings.cfg",
        Text("[Form]\nStyle= 3 \nFontName=Arial\nFontSize=48\n; comment\nShow Decimal=1\n"));
  Write(ini, "odd.ini", Text("no section=1\n[Form\n=value\n[form]\nKEY=  -2147483648\nkey=x\n"));
  return 0;
}
