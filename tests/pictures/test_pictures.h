// Hand-built picture files for the picture tests, benchmarks and fuzz seeds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "../temp_folder.h"
#include "platform/pixels.h"

namespace roarmark::test {

// The parts of a BMP file; BuildBmp lays them out with correct sizes and offsets unless an
// override says otherwise.
struct TBmpParts {
  std::uint32_t HeaderSize = 40;
  std::int32_t Width = 1;
  std::int32_t Height = 1;  // negative: top-down rows
  std::uint16_t Bits = 24;
  std::uint32_t Compression = 0;
  std::uint32_t ColoursUsed = 0;
  std::vector<std::uint32_t> Masks;          // in the header (V2 and later) or after an info header
  std::vector<std::uint8_t> Palette;         // raw entries, 3 bytes each (core) or 4
  std::vector<std::uint8_t> Pixels;          // raw rows as stored, padding included
  std::optional<std::uint32_t> PixelOffset;  // the offset field, when it should lie
};

std::vector<std::uint8_t> BuildBmp(const TBmpParts& parts);

// A picture from a list of rows, top row first.
platform::TPixels MakePixels(const std::vector<std::vector<std::uint32_t>>& rows);

// A picture of one colour.
platform::TPixels FlatPixels(int width, int height, std::uint32_t colour);

// Encodes with libjpeg at the given quality. `components` is 1 (greyscale: the blue byte of each
// pixel), 3 (colour) or 4 (CMYK: the four bytes of each pixel, high byte first), `adobe` whether
// CMYK gets Adobe's marker (which means inverted values), `progressive` whether the picture is
// written in several scans.
std::vector<std::uint8_t> EncodeJpeg(const platform::TPixels& picture, int quality = 95,
                                     int components = 3, bool adobe = true,
                                     bool progressive = false);

// A flat greyscale JPEG of any size, written row by row so that a picture of tens of millions
// of pixels needs no picture in memory.
std::vector<std::uint8_t> EncodeGreyJpeg(int width, int height, std::uint8_t level);

// The parts of a PNG file; BuildPng lays them out as chunks with their lengths and checksums.
struct TPngParts {
  std::uint32_t Width = 1;
  std::uint32_t Height = 1;
  std::uint8_t BitDepth = 8;
  std::uint8_t ColourType = 2;             // 0 grey, 2 RGB, 3 palette, 4 grey and alpha, 6 RGBA
  std::uint8_t Interlace = 0;              // 1: the scanlines come pass by pass
  std::vector<std::uint8_t> Palette;       // PLTE data, 3 bytes an entry; none when empty
  std::vector<std::uint8_t> Transparency;  // tRNS data; none when empty
  std::vector<std::uint8_t> Scanlines;     // rows as stored: a filter byte, then the samples
};

// One chunk: length, type, data and checksum.
std::vector<std::uint8_t> PngChunk(const char* type, const std::vector<std::uint8_t>& data);

// The signature, IHDR, PLTE, tRNS, one IDAT with the scanlines compressed by
// zlib, and IEND.
std::vector<std::uint8_t> BuildPng(const TPngParts& parts);

// The picture ImageMagick decodes from the file at `path`, laid over black and taken to the
// nearest 8-bit value of each channel, as a second opinion on a decoder; empty when ImageMagick
// cannot read the file.
platform::TPixels MagickDecode(const std::string& path);

std::vector<std::uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

}  // namespace roarmark::test
