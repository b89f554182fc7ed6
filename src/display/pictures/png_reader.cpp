// PNG pictures through libspng: every colour type and bit depth, interlaced or not, with
// transparency laid over black.
#include "display/pictures/png_reader.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include <spng.h>

#include "display/pictures/picture_file.h"
#include "display/pictures/picture_scaling.h"

namespace roarmark {

namespace {

// Text, colour profiles and the like are not used; they may not cost more than this.
constexpr std::size_t kMaxChunkBytes = 16u * 1024 * 1024;
constexpr std::size_t kMaxChunkCacheBytes = 64u * 1024 * 1024;

struct TContextFree {
  void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};
using TDecoder = std::unique_ptr<spng_ctx, TContextFree>;

// Over black, a channel c of alpha a keeps c * a / max, rounded to the nearest of 0..255. With
// max odd there is never a tie.
std::uint32_t OverBlack8(std::uint32_t c, std::uint32_t a) {
  return (c * a + 127) / 255;
}
std::uint32_t OverBlack16(std::uint64_t c, std::uint64_t a) {
  constexpr std::uint64_t kScale = 65535ull * 257;  // 16-bit alpha, then 16 to 8 bits
  return static_cast<std::uint32_t>((c * a + kScale / 2) / kScale);
}

// Rows as libspng gives them (RGBA, 8 or 16 bits a channel) into our opaque pixels.
void ConvertRow8(const std::uint8_t* src, std::uint32_t* dst, std::size_t width) {
  for (std::size_t x = 0; x < width; ++x, src += 4) {
    const std::uint32_t a = src[3];
    dst[x] = 0xFF000000u | OverBlack8(src[0], a) << 16 | OverBlack8(src[1], a) << 8 |
             OverBlack8(src[2], a);
  }
}
void ConvertRow16(const std::uint8_t* src, std::uint32_t* dst, std::size_t width) {
  for (std::size_t x = 0; x < width; ++x, src += 8) {
    // libspng writes 16-bit samples in the machine's own order.
    std::uint16_t s[4];
    std::memcpy(s, src, sizeof s);
    dst[x] = 0xFF000000u | OverBlack16(s[0], s[3]) << 16 | OverBlack16(s[1], s[3]) << 8 |
             OverBlack16(s[2], s[3]);
  }
}

bool Decode(spng_ctx* ctx, std::span<const std::uint8_t> bytes, platform::TPixels& out) {
  // libspng only reads the buffer; its interface is not const.
  if (spng_set_png_buffer(ctx, const_cast<std::uint8_t*>(bytes.data()), bytes.size()) != 0) {
    return false;
  }
  spng_set_chunk_limits(ctx, kMaxChunkBytes, kMaxChunkCacheBytes);
  spng_ihdr ihdr{};
  if (spng_get_ihdr(ctx, &ihdr) != 0) return false;
  // Refused before any decoding, as a bitmap or a JPEG of that size would be.
  if (ihdr.width > static_cast<std::uint32_t>(kMaxPicturePixels) ||
      ihdr.height > static_cast<std::uint32_t>(kMaxPicturePixels) ||
      !ReductionAllowed(static_cast<int>(ihdr.width), static_cast<int>(ihdr.height))) {
    return false;
  }
  const bool wide = ihdr.bit_depth == 16;
  const int format = wide ? SPNG_FMT_RGBA16 : SPNG_FMT_RGBA8;
  const std::size_t width = ihdr.width;
  const std::size_t height = ihdr.height;
  const std::size_t stride = width * (wide ? 8 : 4);
  if (spng_decode_image(ctx, nullptr, 0, format, SPNG_DECODE_TRNS | SPNG_DECODE_PROGRESSIVE) != 0) {
    return false;
  }

  // Interlaced rows come in seven passes, each filling in every row again, so the whole
  // picture is kept until the last pass; otherwise one row at a time. Room for the whole
  // picture is made once a first row has decoded, so a file that claims a huge picture and
  // breaks off at once costs nothing. No buffer is cleared: a row is read only once libspng has
  // written all of it.
  const bool interlaced = ihdr.interlace_method != 0;
  std::unique_ptr<std::uint8_t[]> rows(new std::uint8_t[stride]);
  bool whole = false;
  out.Width = static_cast<int>(width);
  out.Height = static_cast<int>(height);
  const auto convert = [&](std::size_t y, const std::uint8_t* row) {
    if (y == 0) out.Pixels.reserve(width * height);
    out.Pixels.resize((y + 1) * width);
    std::uint32_t* dst = out.Pixels.data() + y * width;
    wide ? ConvertRow16(row, dst, width) : ConvertRow8(row, dst, width);
  };
  int result = 0;
  do {
    spng_row_info info{};
    if (spng_get_row_info(ctx, &info) != 0 || info.row_num >= height) return false;
    std::uint8_t* row = rows.get() + (whole ? stride * info.row_num : 0);
    result = spng_decode_row(ctx, row, stride);
    if (result != 0 && result != SPNG_EOI) return false;
    if (!interlaced) {
      convert(info.row_num, row);
    } else if (!whole) {
      std::unique_ptr<std::uint8_t[]> all(new std::uint8_t[stride * height]);
      std::memcpy(all.get() + stride * info.row_num, row, stride);
      rows = std::move(all);
      whole = true;
    }
  } while (result != SPNG_EOI);
  if (interlaced) {
    for (std::size_t y = 0; y < height; ++y)
      convert(y, rows.get() + stride * y);
  }
  if (out.Pixels.size() != width * height) return false;
  // The rest of the file up to its end chunk must be there and sound too. libspng stops at the
  // end chunk's name; its checksum, always the same, is looked for here.
  if (spng_decode_chunks(ctx) != 0) return false;
  static constexpr std::uint8_t kEnd[] = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};
  return std::search(bytes.begin(), bytes.end(), std::begin(kEnd), std::end(kEnd)) != bytes.end();
}

}  // namespace

bool DecodePng(std::span<const std::uint8_t> bytes, platform::TPixels& out) {
  out = {};
  if (bytes.size() < 8 || bytes.size() > kMaxPictureFileBytes) return false;
  bool ok = false;
  try {
    TDecoder ctx(spng_ctx_new(0));
    ok = ctx && Decode(ctx.get(), bytes, out);
  } catch (const std::bad_alloc&) {
    ok = false;
  }
  if (!ok) out = {};
  return ok;
}

bool DecodePngFile(const std::string& path, platform::TPixels& out) {
  out = {};
  std::vector<std::uint8_t> bytes;
  if (!ReadPictureFile(path, bytes)) return false;
  return DecodePng(bytes, out);
}

}  // namespace roarmark
