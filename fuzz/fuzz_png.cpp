// PNG files from anywhere: libspng's errors must come back as a refusal, and what decodes must be
// opaque, whole, bounded and reducible.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "display/pictures/picture_scaling.h"
#include "display/pictures/png_reader.h"

using namespace roarmark;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  platform::TPixels picture;
  if (!DecodePng(std::span<const std::uint8_t>(data, size), picture)) {
    if (!picture.Pixels.empty() || picture.Width != 0 || picture.Height != 0) std::abort();
    return 0;
  }
  if (picture.Width <= 0 || picture.Height <= 0 ||
      !ReductionAllowed(picture.Width, picture.Height) ||
      picture.Pixels.size() !=
          static_cast<std::size_t>(picture.Width) * static_cast<std::size_t>(picture.Height)) {
    std::abort();
  }
  for (std::uint32_t c : picture.Pixels) {
    if (c >> 24 != 0xFF) std::abort();
  }
  ReduceLoadedPicture(picture, {picture.Width, picture.Height});
  return 0;
}
