// JPEG files from anywhere: libjpeg's errors must come back as a refusal, never end the process,
// and what decodes must be opaque, bounded and reducible.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "display/pictures/jpeg_reader.h"
#include "display/pictures/picture_scaling.h"

using namespace roarmark;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  platform::TPixels picture;
  TPictureSize source;
  if (!DecodeJpeg(std::span<const std::uint8_t>(data, size), picture, &source)) {
    if (!picture.Pixels.empty()) std::abort();
    return 0;
  }
  if (picture.Width <= 0 || picture.Height <= 0 ||
      static_cast<std::int64_t>(picture.Width) * picture.Height > kMaxPicturePixels ||
      picture.Pixels.size() !=
          static_cast<std::size_t>(picture.Width) * static_cast<std::size_t>(picture.Height)) {
    std::abort();
  }
  if (picture.Width > source.Width || picture.Height > source.Height) std::abort();
  for (std::uint32_t c : picture.Pixels) {
    if (c >> 24 != 0xFF) std::abort();
  }
  ReduceLoadedPicture(picture, source);
  return 0;
}
