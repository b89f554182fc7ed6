// Writing pictures as 24-bit Windows bitmaps (thumbnails, display dumps).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/pixels.h"

namespace roarmark {

// Encodes `picture` as a 24-bit bottom-up uncompressed BMP with an info header. False for an
// empty or inconsistent picture, or one too large for the format.
bool EncodeBmp24(const platform::TPixels& picture, std::vector<std::uint8_t>& bytes);

// Writes the BMP to a temporary file beside `path` and then puts it in place of `path`, so a
// failed write leaves any previous file untouched. False when anything fails.
bool WriteBmp24(const std::string& path, const platform::TPixels& picture);

}  // namespace roarmark
