// PNG pictures through libspng: every colour type and bit depth, interlaced or not, with
// transparency laid over black.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/pixels.h"

namespace roarmark {

// Decodes a PNG (grey, grey with alpha, palette, RGB or RGBA, 1 to 16 bits, interlaced or not)
// into opaque pixels. A transparent or partly transparent pixel is laid over black, as the
// picture is drawn over nothing. A size that ReductionAllowed refuses, and any damage (a bad
// checksum of an image chunk, broken compressed data, too few rows, a file that ends before its
// end chunk) give false and an empty `out`: a picture is shown whole or not at all.
bool DecodePng(std::span<const std::uint8_t> bytes, platform::TPixels& out);

// Reads the file at `path` and decodes it as above.
bool DecodePngFile(const std::string& path, platform::TPixels& out);

}  // namespace roarmark
