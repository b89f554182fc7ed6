// Hand-built picture files for the picture tests, benchmarks and fuzz seeds.
#include "test_pictures.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include <jpeglib.h>
#include <zlib.h>

namespace roarmark::test {

namespace {

void PutU16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  b[at] = static_cast<std::uint8_t>(v);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void PutU32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
  PutU16(b, at, v & 0xFFFF);
  PutU16(b, at + 2, v >> 16);
}

}  // namespace

std::vector<std::uint8_t> BuildBmp(const TBmpParts& parts) {
  const bool masks_after_header = parts.HeaderSize == 40 && !parts.Masks.empty();
  const std::size_t header_end =
      14 + parts.HeaderSize + (masks_after_header ? 4 * parts.Masks.size() : 0);
  const std::size_t offset = header_end + parts.Palette.size();
  std::vector<std::uint8_t> b(offset, 0);
  b[0] = 'B';
  b[1] = 'M';
  PutU32(b, 2, static_cast<std::uint32_t>(offset + parts.Pixels.size()));
  PutU32(b, 10, parts.PixelOffset.value_or(static_cast<std::uint32_t>(offset)));
  PutU32(b, 14, parts.HeaderSize);
  if (parts.HeaderSize == 12) {
    PutU16(b, 18, static_cast<std::uint32_t>(parts.Width));
    PutU16(b, 20, static_cast<std::uint32_t>(parts.Height));
    PutU16(b, 22, 1);
    PutU16(b, 24, parts.Bits);
  } else {
    PutU32(b, 18, static_cast<std::uint32_t>(parts.Width));
    PutU32(b, 22, static_cast<std::uint32_t>(parts.Height));
    PutU16(b, 26, 1);
    PutU16(b, 28, parts.Bits);
    PutU32(b, 30, parts.Compression);
    PutU32(b, 46, parts.ColoursUsed);
    for (std::size_t i = 0; i < parts.Masks.size(); ++i) {
      PutU32(b, 54 + 4 * i, parts.Masks[i]);
    }
  }
  std::copy(parts.Palette.begin(), parts.Palette.end(),
            b.begin() + static_cast<std::ptrdiff_t>(header_end));
  b.insert(b.end(), parts.Pixels.begin(), parts.Pixels.end());
  return b;
}

platform::TPixels MakePixels(const std::vector<std::vector<std::uint32_t>>& rows) {
  platform::TPixels p;
  p.Height = static_cast<int>(rows.size());
  p.Width = rows.empty() ? 0 : static_cast<int>(rows[0].size());
  for (const auto& row : rows)
    p.Pixels.insert(p.Pixels.end(), row.begin(), row.end());
  return p;
}

platform::TPixels FlatPixels(int width, int height, std::uint32_t colour) {
  platform::TPixels p;
  p.Width = width;
  p.Height = height;
  p.Pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), colour);
  return p;
}

std::vector<std::uint8_t> EncodeJpeg(const platform::TPixels& picture, int quality, int components,
                                     bool adobe, bool progressive) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(picture.Width);
  cinfo.image_height = static_cast<JDIMENSION>(picture.Height);
  cinfo.input_components = components;
  cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  if (components == 4) {
    jpeg_set_colorspace(&cinfo, JCS_CMYK);
    cinfo.write_Adobe_marker = adobe ? TRUE : FALSE;
  }
  jpeg_set_quality(&cinfo, quality, TRUE);
  if (progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(picture.Width) *
                           static_cast<std::size_t>(components));
  while (cinfo.next_scanline < cinfo.image_height) {
    const std::uint32_t* src =
        picture.Pixels.data() +
        static_cast<std::size_t>(cinfo.next_scanline) * static_cast<std::size_t>(picture.Width);
    for (int x = 0; x < picture.Width; ++x) {
      const std::uint32_t c = src[x];
      JSAMPLE* dst =
          row.data() + static_cast<std::size_t>(x) * static_cast<std::size_t>(components);
      if (components == 1) {
        dst[0] = static_cast<JSAMPLE>(c & 0xFF);
      } else if (components == 3) {
        dst[0] = static_cast<JSAMPLE>(c >> 16);
        dst[1] = static_cast<JSAMPLE>(c >> 8);
        dst[2] = static_cast<JSAMPLE>(c);
      } else {
        dst[0] = static_cast<JSAMPLE>(c >> 24);
        dst[1] = static_cast<JSAMPLE>(c >> 16);
        dst[2] = static_cast<JSAMPLE>(c >> 8);
        dst[3] = static_cast<JSAMPLE>(c);
      }
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::vector<std::uint8_t> bytes(buffer, buffer + size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return bytes;
}

std::vector<std::uint8_t> EncodeGreyJpeg(int width, int height, std::uint8_t level) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 1;
  cinfo.in_color_space = JCS_GRAYSCALE;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 75, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(width), level);
  JSAMPROW rows[1] = {row.data()};
  while (cinfo.next_scanline < cinfo.image_height)
    jpeg_write_scanlines(&cinfo, rows, 1);
  jpeg_finish_compress(&cinfo);
  std::vector<std::uint8_t> bytes(buffer, buffer + size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return bytes;
}

std::vector<std::uint8_t> PngChunk(const char* type, const std::vector<std::uint8_t>& data) {
  std::vector<std::uint8_t> chunk;
  const auto length = static_cast<std::uint32_t>(data.size());
  for (int shift : {24, 16, 8, 0})
    chunk.push_back(static_cast<std::uint8_t>(length >> shift));
  chunk.insert(chunk.end(), type, type + 4);
  chunk.insert(chunk.end(), data.begin(), data.end());
  const auto crc =
      static_cast<std::uint32_t>(crc32(0, chunk.data() + 4, static_cast<uInt>(chunk.size() - 4)));
  for (int shift : {24, 16, 8, 0})
    chunk.push_back(static_cast<std::uint8_t>(crc >> shift));
  return chunk;
}

std::vector<std::uint8_t> BuildPng(const TPngParts& parts) {
  std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  auto append = [&png](const std::vector<std::uint8_t>& chunk) {
    png.insert(png.end(), chunk.begin(), chunk.end());
  };
  std::vector<std::uint8_t> header;
  for (std::uint32_t v : {parts.Width, parts.Height}) {
    for (int shift : {24, 16, 8, 0})
      header.push_back(static_cast<std::uint8_t>(v >> shift));
  }
  header.insert(header.end(), {parts.BitDepth, parts.ColourType, 0, 0, parts.Interlace});
  append(PngChunk("IHDR", header));
  if (!parts.Palette.empty()) append(PngChunk("PLTE", parts.Palette));
  if (!parts.Transparency.empty()) append(PngChunk("tRNS", parts.Transparency));
  uLongf size = compressBound(static_cast<uLong>(parts.Scanlines.size()));
  std::vector<std::uint8_t> data(size);
  compress(data.data(), &size, parts.Scanlines.data(), static_cast<uLong>(parts.Scanlines.size()));
  data.resize(size);
  append(PngChunk("IDAT", data));
  append(PngChunk("IEND", {}));
  return png;
}

platform::TPixels MagickDecode(const std::string& path) {
  // ImageMagick's own reduction to 8 bits truncates; it is asked for 16 bits and the nearest
  // 8-bit value is taken here.
  const std::string ppm = path + ".magick.ppm";
  const std::string command = "convert '" + path +
                              "' -background black -alpha remove -alpha off -depth 16 'ppm:" + ppm +
                              "' 2>/dev/null";
  platform::TPixels picture;
  if (std::system(command.c_str()) != 0) return picture;
  const std::vector<std::uint8_t> bytes = ReadBytes(ppm);
  std::remove(ppm.c_str());
  // "P6", width, height and 65535, each after one blank, then big-endian RGB samples.
  std::istringstream header(std::string(bytes.begin(), bytes.end()));
  std::string magic;
  int width = 0, height = 0, maximum = 0;
  header >> magic >> width >> height >> maximum;
  const auto start = static_cast<std::size_t>(header.tellg()) + 1;
  const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (magic != "P6" || maximum != 65535 || !header || bytes.size() != start + 6 * count) {
    return picture;
  }
  picture.Width = width;
  picture.Height = height;
  auto channel = [&](std::size_t at) {
    const std::uint32_t v = std::uint32_t{bytes[at]} << 8 | bytes[at + 1];
    return (v + 128) / 257;  // v / 257 rounded; it never ends in exactly one half
  };
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t at = start + 6 * i;
    picture.Pixels.push_back(0xFF000000u | channel(at) << 16 | channel(at + 2) << 8 |
                             channel(at + 4));
  }
  return picture;
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

}  // namespace roarmark::test
