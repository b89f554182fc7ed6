// Writing pictures as PNG files through libspng (reports, remote thumbnails).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/pixels.h"

namespace roarmark {

// Encodes `picture` as an 8-bit RGB PNG, not interlaced; the pixels' alpha byte is not written
// (the program's pixels are opaque). False for an empty or inconsistent picture, or when the
// encoder fails; `bytes` is then empty.
bool EncodePng(const platform::TPixels& picture, std::vector<std::uint8_t>& bytes);

// Writes the PNG to a temporary file beside `path` and then puts it in place of `path`, so a
// failed write leaves any previous file untouched. False when anything fails.
bool WritePng(const std::string& path, const platform::TPixels& picture);

}  // namespace roarmark
