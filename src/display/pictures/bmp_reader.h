// Windows bitmap (BMP) reader, hardened for untrusted files.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/pixels.h"

namespace roarmark {

// Decodes a BMP file: 1, 4 and 8 bits with a palette, run-length encoded 4 and 8 bits, 16 bits
// (5-5-5 or bit fields), 24 bits, 32 bits (plain or bit fields), bottom-up or top-down rows, with
// a core (12-byte), info (40-byte), V2, V3, V4 or V5 header. Embedded JPEG/PNG data is refused,
// and so is run-length data that breaks off before the picture is complete or that could not
// draw the picture's size with full runs (128 pixels a byte).
// Every size and offset is checked against the data; a picture of more than kMaxPicturePixels
// is refused. The result is opaque. On failure returns false and leaves `out` empty.
bool DecodeBmp(std::span<const std::uint8_t> bytes, platform::TPixels& out);

// Reads the file at `path` and decodes it as above.
bool DecodeBmpFile(const std::string& path, platform::TPixels& out);

}  // namespace roarmark
