// JPEG pictures through libjpeg, with an error handler that never ends the process and a
// reduced-scale decode for pictures far larger than any display needs.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "display/pictures/picture_scaling.h"
#include "platform/pixels.h"

namespace roarmark {

// Pictures up to this many pixels are always decoded at full size.
inline constexpr std::int64_t kJpegFullDecodeLimit = 4ll * 1920 * 1080;

// The denominator (1, 2, 4 or 8) a w x h JPEG is decoded with. Above kJpegFullDecodeLimit it is
// the largest reduction that still leaves at least the picture's ReducedSize, so the display's
// reduction afterwards only ever shrinks.
int JpegScaleDenominator(int w, int h);

// Decodes a baseline or progressive JPEG (greyscale, YCbCr/RGB, CMYK/YCCK) into opaque pixels,
// possibly at a reduced scale (see above). `source_size`, when given, receives the picture's
// size in the file; pass it to ReduceLoadedPicture. A size that ReductionAllowed refuses,
// truncated or corrupt data (every libjpeg warning about the data), more than 100 scans and
// anything libjpeg reports as an error give false and an empty `out`.
bool DecodeJpeg(std::span<const std::uint8_t> bytes, platform::TPixels& out,
                TPictureSize* source_size = nullptr);

// Reads the file at `path` and decodes it as above.
bool DecodeJpegFile(const std::string& path, platform::TPixels& out,
                    TPictureSize* source_size = nullptr);

}  // namespace roarmark
