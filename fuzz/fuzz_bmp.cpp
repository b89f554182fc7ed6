// BMP files from anywhere: the reader must refuse or decode without touching memory outside the
// data, and what it decodes must survive the writer and the display's reduction.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "display/pictures/bmp_reader.h"
#include "display/pictures/bmp_writer.h"
#include "display/pictures/picture_scaling.h"

using namespace roarmark;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  platform::TPixels picture;
  if (!DecodeBmp(std::span<const std::uint8_t>(data, size), picture)) {
    if (!picture.Pixels.empty()) std::abort();
    return 0;
  }
  if (picture.Width <= 0 || picture.Height <= 0 ||
      picture.Pixels.size() !=
          static_cast<std::size_t>(picture.Width) * static_cast<std::size_t>(picture.Height)) {
    std::abort();
  }
  for (std::uint32_t c : picture.Pixels) {
    if (c >> 24 != 0xFF) std::abort();
  }

  // Written as a thumbnail and read back, the picture is unchanged.
  std::vector<std::uint8_t> bmp;
  if (!EncodeBmp24(picture, bmp)) std::abort();
  platform::TPixels back;
  if (!DecodeBmp(bmp, back) || back.Pixels != picture.Pixels) std::abort();

  const TPictureSize source{picture.Width, picture.Height};
  if (ReduceLoadedPicture(picture, source)) {
    const TPictureSize shown = ReducedSize(source.Width, source.Height);
    if (picture.Width != shown.Width || picture.Height != shown.Height) std::abort();
  }
  return 0;
}
