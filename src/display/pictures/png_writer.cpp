// Writing pictures as PNG files through libspng (reports, remote thumbnails).
#include "display/pictures/png_writer.h"

#include <memory>
#include <new>

#include <spng.h>

#include "display/pictures/picture_file.h"

namespace roarmark {

namespace {

struct TContextFree {
  void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};
using TEncoder = std::unique_ptr<spng_ctx, TContextFree>;

// libspng hands the encoded bytes over piece by piece; they go straight into the caller's
// vector. The callback is called from C: nothing may be thrown through it.
int AppendBytes(spng_ctx*, void* user, void* data, std::size_t length) {
  auto* bytes = static_cast<std::vector<std::uint8_t>*>(user);
  const auto* from = static_cast<const std::uint8_t*>(data);
  try {
    bytes->insert(bytes->end(), from, from + length);
  } catch (const std::bad_alloc&) {
    return SPNG_IO_ERROR;
  }
  return 0;
}

bool Encode(const platform::TPixels& picture, std::vector<std::uint8_t>& bytes) {
  const auto width = static_cast<std::size_t>(picture.Width);
  TEncoder ctx(spng_ctx_new(SPNG_CTX_ENCODER));
  if (!ctx) return false;
  if (spng_set_png_stream(ctx.get(), AppendBytes, &bytes) != 0) return false;
  spng_ihdr ihdr{};
  ihdr.width = static_cast<std::uint32_t>(picture.Width);
  ihdr.height = static_cast<std::uint32_t>(picture.Height);
  ihdr.bit_depth = 8;
  ihdr.color_type = SPNG_COLOR_TYPE_TRUECOLOR;
  if (spng_set_ihdr(ctx.get(), &ihdr) != 0) return false;
  if (spng_encode_image(ctx.get(), nullptr, 0, SPNG_FMT_PNG,
                        SPNG_ENCODE_PROGRESSIVE | SPNG_ENCODE_FINALIZE) != 0) {
    return false;
  }
  // One row at a time, so a large picture needs no second copy of itself.
  std::vector<std::uint8_t> row(width * 3);
  for (std::size_t y = 0; y < static_cast<std::size_t>(picture.Height); ++y) {
    const std::uint32_t* src = picture.Pixels.data() + y * width;
    for (std::size_t x = 0; x < width; ++x) {
      row[3 * x + 0] = static_cast<std::uint8_t>(src[x] >> 16);
      row[3 * x + 1] = static_cast<std::uint8_t>(src[x] >> 8);
      row[3 * x + 2] = static_cast<std::uint8_t>(src[x]);
    }
    const int result = spng_encode_row(ctx.get(), row.data(), row.size());
    // The last row finishes the file and answers SPNG_EOI.
    if (result != 0 && !(result == SPNG_EOI && y + 1 == static_cast<std::size_t>(picture.Height)))
      return false;
  }
  return true;
}

}  // namespace

bool EncodePng(const platform::TPixels& picture, std::vector<std::uint8_t>& bytes) {
  bytes.clear();
  if (picture.Width <= 0 || picture.Height <= 0) return false;
  if (picture.Pixels.size() !=
      static_cast<std::size_t>(picture.Width) * static_cast<std::size_t>(picture.Height)) {
    return false;
  }
  bool ok = false;
  try {
    ok = Encode(picture, bytes);
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  if (!ok) bytes.clear();
  return ok;
}

bool WritePng(const std::string& path, const platform::TPixels& picture) {
  std::vector<std::uint8_t> bytes;
  return EncodePng(picture, bytes) && WritePictureFile(path, bytes);
}

}  // namespace roarmark
