// Writing pictures as 24-bit Windows bitmaps (thumbnails, display dumps).
#include "display/pictures/bmp_writer.h"

#include <new>

#include "display/pictures/picture_file.h"

namespace roarmark {

namespace {

constexpr std::uint32_t kHeadersSize = 14 + 40;
constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dots per inch

void PutU16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
void PutU32(std::uint8_t* p, std::uint32_t v) {
  PutU16(p, v & 0xFFFF);
  PutU16(p + 2, v >> 16);
}

}  // namespace

bool EncodeBmp24(const platform::TPixels& picture, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  if (picture.Width <= 0 || picture.Height <= 0) return false;
  const auto width = static_cast<std::uint64_t>(picture.Width);
  const auto height = static_cast<std::uint64_t>(picture.Height);
  if (picture.Pixels.size() != width * height) return false;
  const std::uint64_t stride = (width * 3 + 3) / 4 * 4;
  const std::uint64_t image_size = stride * height;
  const std::uint64_t file_size = kHeadersSize + image_size;
  if (file_size > 0xFFFFFFFFull) return false;

  try {
    bytes.assign(static_cast<std::size_t>(file_size), 0);
  } catch (const std::bad_alloc&) {
    return false;
  }
  std::uint8_t* h = bytes.data();
  h[0] = 'B';
  h[1] = 'M';
  PutU32(h + 2, static_cast<std::uint32_t>(file_size));
  PutU32(h + 10, kHeadersSize);
  PutU32(h + 14, 40);
  PutU32(h + 18, static_cast<std::uint32_t>(width));
  PutU32(h + 22, static_cast<std::uint32_t>(height));  // positive: bottom row first
  PutU16(h + 26, 1);
  PutU16(h + 28, 24);
  PutU32(h + 30, 0);  // uncompressed
  PutU32(h + 34, static_cast<std::uint32_t>(image_size));
  PutU32(h + 38, kPixelsPerMetre);
  PutU32(h + 42, kPixelsPerMetre);

  for (std::uint64_t y = 0; y < height; ++y) {
    const std::uint32_t* src = picture.Pixels.data() + (height - 1 - y) * width;
    std::uint8_t* dst = bytes.data() + kHeadersSize + y * stride;
    for (std::uint64_t x = 0; x < width; ++x) {
      const std::uint32_t c = src[x];
      dst[3 * x + 0] = static_cast<std::uint8_t>(c);
      dst[3 * x + 1] = static_cast<std::uint8_t>(c >> 8);
      dst[3 * x + 2] = static_cast<std::uint8_t>(c >> 16);
    }
  }
  return true;
}

bool WriteBmp24(const std::string& path, const platform::TPixels& picture) {
  std::vector<std::uint8_t> bytes;
  return EncodeBmp24(picture, bytes) && WritePictureFile(path, bytes);
}

}  // namespace roarmark
