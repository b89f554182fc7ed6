// Windows bitmap (BMP) reader, hardened for untrusted files.
#include "display/pictures/bmp_reader.h"

#include <algorithm>
#include <array>
#include <bit>
#include <new>
#include <vector>

#include "display/pictures/picture_file.h"
#include "display/pictures/picture_scaling.h"

namespace roarmark {

namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiRle8 = 1;
constexpr std::uint32_t kBiRle4 = 2;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::uint32_t kBiAlphaBitfields = 6;

constexpr std::uint64_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;

constexpr std::uint32_t kOpaque = 0xFF000000u;

// 255 pixels per 2-byte run, rounded up.
constexpr std::uint64_t kRunLengthPixelsPerByte = 128;

// Little-endian reads; callers have checked the bounds.
std::uint16_t U16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::uint32_t U32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
std::int32_t I32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(U32(p));
}

bool IsKnownHeaderSize(std::uint32_t size) {
  return size == kCoreHeaderSize || size == kInfoHeaderSize || size == 52 || size == 56 ||
         size == 108 || size == 124;
}

std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return kOpaque | (r << 16) | (g << 8) | b;
}

// One colour channel of a bit-field pixel, widened or narrowed to 8 bits with rounding.
struct TChannel {
  std::uint32_t Mask = 0;
  int Shift = 0;
  std::uint32_t Max = 0;

  explicit TChannel(std::uint32_t mask) : Mask(mask) {
    if (mask == 0) return;
    Shift = std::countr_zero(mask);
    Max = mask >> Shift;
  }
  std::uint32_t Extract(std::uint32_t pixel) const {
    if (Max == 0) return 0;
    const std::uint64_t v = (pixel & Mask) >> Shift;
    return static_cast<std::uint32_t>((v * 255 + Max / 2) / Max);
  }
};

struct TLayout {
  std::int64_t Width = 0;
  std::int64_t Height = 0;
  bool TopDown = false;
  int BitsPerPixel = 0;
  bool RunLength = false;  // BI_RLE8 at 8 bits, BI_RLE4 at 4
  bool Bitfields = false;
  std::uint32_t Masks[3] = {0, 0, 0};  // red, green, blue
  std::uint64_t PixelOffset = 0;
  std::uint64_t Stride = 0;
  std::array<std::uint32_t, 256> Palette{};  // indexes beyond the file's palette read as black
};

// Reads and checks everything up to the pixel data. False for anything this reader cannot
// safely decode.
bool ReadLayout(std::span<const std::uint8_t> bytes, TLayout& layout) {
  const std::uint64_t size = bytes.size();
  const std::uint8_t* data = bytes.data();
  if (size < kFileHeaderSize + 4) return false;
  if (data[0] != 'B' || data[1] != 'M') return false;
  layout.PixelOffset = U32(data + 10);
  const std::uint32_t header_size = U32(data + 14);
  if (!IsKnownHeaderSize(header_size)) return false;
  std::uint64_t after_header = kFileHeaderSize + header_size;
  if (after_header > size) return false;

  const std::uint8_t* h = data + kFileHeaderSize;
  std::uint32_t compression = kBiRgb;
  std::uint32_t colours_used = 0;
  if (header_size == kCoreHeaderSize) {
    layout.Width = U16(h + 4);
    layout.Height = U16(h + 6);
    layout.BitsPerPixel = U16(h + 10);
  } else {
    layout.Width = I32(h + 4);
    const std::int64_t height = I32(h + 8);
    layout.TopDown = height < 0;
    layout.Height = height < 0 ? -height : height;
    layout.BitsPerPixel = U16(h + 14);
    compression = U32(h + 16);
    colours_used = U32(h + 32);
  }
  if (layout.Width <= 0 || layout.Height <= 0) return false;
  if (layout.Width * layout.Height > kMaxPicturePixels) return false;

  const int bpp = layout.BitsPerPixel;
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) return false;

  if (compression == kBiBitfields || compression == kBiAlphaBitfields) {
    if (bpp != 16 && bpp != 32) return false;
    const std::uint8_t* masks = nullptr;
    if (header_size >= 52) {
      masks = h + 40;
    } else {
      // An info header is followed by the masks (and an alpha mask for the alpha variant).
      const std::uint64_t mask_bytes = compression == kBiAlphaBitfields ? 16 : 12;
      if (after_header + mask_bytes > size) return false;
      masks = data + after_header;
      after_header += mask_bytes;
    }
    layout.Bitfields = true;
    for (int i = 0; i < 3; ++i)
      layout.Masks[i] = U32(masks + 4 * i);
  } else if (compression == kBiRle8 || compression == kBiRle4) {
    // Each code goes with one depth, and the rows always run bottom-up.
    if (bpp != (compression == kBiRle8 ? 8 : 4) || layout.TopDown) return false;
    layout.RunLength = true;
  } else if (compression != kBiRgb) {
    return false;  // JPEG or PNG inside
  } else if (bpp == 16) {
    layout.Bitfields = true;
    layout.Masks[0] = 0x7C00;
    layout.Masks[1] = 0x03E0;
    layout.Masks[2] = 0x001F;
  }

  std::uint64_t palette_end = after_header;
  if (bpp <= 8) {
    const std::uint64_t entry_size = header_size == kCoreHeaderSize ? 3 : 4;
    const std::uint64_t max_entries = 1ull << bpp;
    std::uint64_t count = max_entries;
    if (header_size != kCoreHeaderSize && colours_used != 0 && colours_used < max_entries) {
      count = colours_used;
    } else if (layout.PixelOffset > after_header) {
      // Writers that leave the count at 0 often store only the entries they use.
      const std::uint64_t room = (layout.PixelOffset - after_header) / entry_size;
      if (room < count) count = room;
    }
    if (count == 0) return false;
    palette_end = after_header + count * entry_size;
    if (palette_end > size) return false;
    const std::uint8_t* p = data + after_header;
    for (std::uint64_t i = 0; i < count; ++i, p += entry_size) {
      layout.Palette[static_cast<std::size_t>(i)] = Rgb(p[2], p[1], p[0]);
    }
    for (std::uint64_t i = count; i < layout.Palette.size(); ++i) {
      layout.Palette[static_cast<std::size_t>(i)] = kOpaque;
    }
  }
  if (layout.PixelOffset < palette_end) return false;
  if (layout.RunLength) {
    // A code of 2 bytes draws at most 255 pixels: a file cannot claim a picture far larger than
    // its data draws (skipping the rest with an early end) and so cost a huge blank picture.
    if (layout.PixelOffset >= size) return false;
    const std::uint64_t data = size - layout.PixelOffset;
    return static_cast<std::uint64_t>(layout.Width * layout.Height) <=
           kRunLengthPixelsPerByte * data;
  }

  const std::uint64_t row_bits = static_cast<std::uint64_t>(layout.Width) * bpp;
  layout.Stride = (row_bits + 31) / 32 * 4;
  // The last row's padding is often left out; its pixels must be there.
  const std::uint64_t last_row = (row_bits + 7) / 8;
  const std::uint64_t needed =
      layout.Stride * static_cast<std::uint64_t>(layout.Height - 1) + last_row;
  if (layout.PixelOffset > size || needed > size - layout.PixelOffset) return false;
  return true;
}

void DecodeRow(const TLayout& layout, const std::uint8_t* src, std::uint32_t* dst,
               const TChannel* channels) {
  const auto width = static_cast<std::size_t>(layout.Width);
  switch (layout.BitsPerPixel) {
    case 1:
      for (std::size_t x = 0; x < width; ++x) {
        dst[x] = layout.Palette[(src[x >> 3] >> (7 - (x & 7))) & 1];
      }
      break;
    case 4:
      for (std::size_t x = 0; x < width; ++x) {
        dst[x] = layout.Palette[(src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F];
      }
      break;
    case 8:
      for (std::size_t x = 0; x < width; ++x)
        dst[x] = layout.Palette[src[x]];
      break;
    case 16:
      for (std::size_t x = 0; x < width; ++x) {
        const std::uint32_t v = U16(src + 2 * x);
        dst[x] = Rgb(channels[0].Extract(v), channels[1].Extract(v), channels[2].Extract(v));
      }
      break;
    case 24:
      for (std::size_t x = 0; x < width; ++x) {
        const std::uint8_t* p = src + 3 * x;
        dst[x] = Rgb(p[2], p[1], p[0]);
      }
      break;
    case 32:
      if (layout.Bitfields) {
        for (std::size_t x = 0; x < width; ++x) {
          const std::uint32_t v = U32(src + 4 * x);
          dst[x] = Rgb(channels[0].Extract(v), channels[1].Extract(v), channels[2].Extract(v));
        }
      } else {
        for (std::size_t x = 0; x < width; ++x) {
          const std::uint8_t* p = src + 4 * x;
          dst[x] = Rgb(p[2], p[1], p[0]);  // the fourth byte is unused, not alpha
        }
      }
      break;
    default:
      break;
  }
}

// Run-length encoded pixels, bottom row first: pairs of a count and an index (two alternating
// indexes at 4 bits), or 0 and an escape: 0 ends the row, 1 the picture, 2 moves right and up by
// the next two bytes, 3 and more take that many indexes as they stand (padded to 2 bytes).
// Pixels the data skips keep palette entry 0 (`picture` comes filled with it), as a bitmap filled
// from such a file holds zero there; pixels beyond the picture's edges are dropped. False when the
// data breaks off before the picture is complete.
bool DecodeRunLength(const TLayout& layout, std::span<const std::uint8_t> data,
                     platform::TPixels& picture) {
  const bool four_bits = layout.BitsPerPixel == 4;
  const std::int64_t width = layout.Width;
  const std::int64_t height = layout.Height;
  std::int64_t x = 0;
  std::int64_t row = 0;  // counted from the bottom
  // Sets the next `n` pixels of the row from index(i).
  const auto put = [&](std::int64_t n, auto index) {
    if (row < height) {
      std::uint32_t* line = picture.Pixels.data() + (height - 1 - row) * width;
      for (std::int64_t i = 0; i < n && x + i < width; ++i)
        line[x + i] = layout.Palette[index(i)];
    }
    x += n;
  };
  std::size_t at = 0;
  while (row < height) {
    if (data.size() - at < 2) return row == height - 1 && x >= width;  // last row, no end code
    const std::uint8_t count = data[at];
    const std::uint8_t value = data[at + 1];
    at += 2;
    if (count > 0) {
      put(count, [&](std::int64_t i) {
        return four_bits ? ((i & 1) ? value & 0x0F : value >> 4) : value;
      });
    } else if (value == 0) {
      x = 0;
      ++row;
    } else if (value == 1) {
      return true;
    } else if (value == 2) {
      if (data.size() - at < 2) return false;
      x += data[at];
      row += data[at + 1];
      at += 2;
    } else {
      const std::size_t bytes = four_bits ? (value + 1u) / 2 : value;
      if (data.size() - at < bytes) return false;
      const std::uint8_t* run = data.data() + at;
      put(value, [&](std::int64_t i) {
        return four_bits ? ((i & 1) ? run[i >> 1] & 0x0F : run[i >> 1] >> 4) : run[i];
      });
      at += std::min(bytes + (bytes & 1), data.size() - at);
    }
  }
  return true;
}

}  // namespace

bool DecodeBmp(std::span<const std::uint8_t> bytes, platform::TPixels& out) {
  out = {};
  TLayout layout;
  if (!ReadLayout(bytes, layout)) return false;

  platform::TPixels picture;
  try {
    // Run-length data may skip pixels, which take palette entry 0.
    picture.Pixels.assign(static_cast<std::size_t>(layout.Width * layout.Height),
                          layout.RunLength ? layout.Palette[0] : kOpaque);
  } catch (const std::bad_alloc&) {
    return false;
  }
  picture.Width = static_cast<int>(layout.Width);
  picture.Height = static_cast<int>(layout.Height);

  const TChannel channels[3] = {TChannel(layout.Masks[0]), TChannel(layout.Masks[1]),
                                TChannel(layout.Masks[2])};
  if (layout.RunLength) {
    if (!DecodeRunLength(layout, bytes.subspan(static_cast<std::size_t>(layout.PixelOffset)),
                         picture)) {
      return false;
    }
  } else {
    const std::uint8_t* pixels = bytes.data() + layout.PixelOffset;
    for (std::int64_t y = 0; y < layout.Height; ++y) {
      const std::int64_t file_row = layout.TopDown ? y : layout.Height - 1 - y;
      DecodeRow(layout, pixels + static_cast<std::uint64_t>(file_row) * layout.Stride,
                picture.Pixels.data() + static_cast<std::size_t>(y * layout.Width), channels);
    }
  }
  out = std::move(picture);
  return true;
}

bool DecodeBmpFile(const std::string& path, platform::TPixels& out) {
  out = {};
  std::vector<std::uint8_t> bytes;
  if (!ReadPictureFile(path, bytes)) return false;
  return DecodeBmp(bytes, out);
}

}  // namespace roarmark
