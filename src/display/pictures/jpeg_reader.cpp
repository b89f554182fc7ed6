// JPEG pictures through libjpeg, with an error handler that never ends the process and a
// reduced-scale decode for pictures far larger than any display needs.
//
// libjpeg reports errors by calling error_exit, which must not return; ours longjmps back to
// DecodeJpeg. Nothing with a destructor may live in a frame that the jump skips, so the
// decoding itself (DecodeWithLibjpeg) holds only plain C data, and anything that allocates C++
// memory does so in helpers that have returned before libjpeg is called again.
#include "display/pictures/jpeg_reader.h"

#include <bit>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <new>
#include <vector>

#include <jpeglib.h>
// jpeglib.h must come first.
#include <jerror.h>

#include "display/pictures/picture_file.h"

namespace roarmark {

namespace {

// Writers use about ten scans (six for greyscale); a hostile progressive file can hold
// thousands of tiny scans, each a pass over the whole picture.
constexpr int kMaxScans = 100;
// libjpeg's own working memory (whole-image coefficient buffers of progressive files; a
// 40-million-pixel CMYK picture needs 320 MB); beyond it the decode fails instead of exhausting
// the machine.
constexpr long kMaxWorkingBytes = 512l * 1024 * 1024;

struct TErrorManager {
  jpeg_error_mgr Base;  // first, so libjpeg's pointer converts back
  std::jmp_buf Jump;
  bool PixelsComplete;  // every row is out; only the end marker is still read
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<TErrorManager*>(cinfo->err)->Jump, 1);
}

// A warning that leaves every pixel as written: a newer JFIF revision, or stray bytes between
// the last scan and the end marker, as some cameras write.
bool IsHarmless(const jpeg_error_mgr& err) {
  constexpr int kEndOfImage = 0xD9;
  return err.msg_code == JWRN_JFIF_MAJOR ||
         (err.msg_code == JWRN_EXTRANEOUS_DATA && err.msg_parm.i[1] == kEndOfImage);
}

// Warnings are never printed. Any other warning means damaged data (corrupt entropy codes, data
// ending early, a broken progression), and libjpeg would go on and show grey or smeared rows:
// the picture is refused at once, which also stops a hostile file from costing a whole-picture
// decode. Nothing after the last row spoils the picture.
void OnMessage(j_common_ptr cinfo, int level) {
  const auto* errors = reinterpret_cast<TErrorManager*>(cinfo->err);
  if (level >= 0 || errors->PixelsComplete || IsHarmless(errors->Base)) return;
  OnError(cinfo);
}

void OnOutput(j_common_ptr) {}

void OnProgress(j_common_ptr cinfo) {
  if (cinfo->is_decompressor &&
      reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > kMaxScans) {
    OnError(cinfo);
  }
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
  return (a + b - 1) / b;
}

// Only reserves: rows are added as they decode, so a file that claims a huge picture and then
// breaks off costs no more than the rows it really held.
bool Reserve(platform::TPixels& out, JDIMENSION width, JDIMENSION height) noexcept {
  try {
    out.Pixels.reserve(static_cast<std::size_t>(width) * height);
  } catch (const std::bad_alloc&) {
    return false;
  }
  out.Width = static_cast<int>(width);
  out.Height = static_cast<int>(height);
  return true;
}

// The next row's place, within the reserved capacity (never reallocates, never throws).
std::uint32_t* AddRow(platform::TPixels& out, JDIMENSION y) noexcept {
  const auto width = static_cast<std::size_t>(out.Width);
  out.Pixels.resize((static_cast<std::size_t>(y) + 1) * width);
  return out.Pixels.data() + static_cast<std::size_t>(y) * width;
}

std::uint32_t Opaque(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

std::uint32_t Mul255(std::uint32_t a, std::uint32_t b) {
  return (a * b + 127) / 255;
}

// CMYK as Adobe writes it is stored inverted (0 means full ink); plain CMYK is not.
void ConvertCmykRow(const JSAMPLE* src, std::uint32_t* dst, JDIMENSION width, bool inverted) {
  for (JDIMENSION x = 0; x < width; ++x, src += 4) {
    std::uint32_t c = src[0], m = src[1], y = src[2], k = src[3];
    if (!inverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    dst[x] = Opaque(Mul255(c, k), Mul255(m, k), Mul255(y, k));
  }
}

void ConvertRgbRow(const JSAMPLE* src, std::uint32_t* dst, JDIMENSION width) {
  for (JDIMENSION x = 0; x < width; ++x, src += 3)
    dst[x] = Opaque(src[0], src[1], src[2]);
}

// libjpeg-turbo writes 0xAARRGGBB words directly when asked for the byte order that matches.
#if defined(JCS_ALPHA_EXTENSIONS)
constexpr bool kDirectPixels = true;
constexpr J_COLOR_SPACE kDirectSpace =
    std::endian::native == std::endian::little ? JCS_EXT_BGRA : JCS_EXT_ARGB;
#else
constexpr bool kDirectPixels = false;
constexpr J_COLOR_SPACE kDirectSpace = JCS_RGB;
#endif

// Runs the decode on a created decompressor. May be left by OnError's longjmp at any libjpeg
// call: it must hold no object with a destructor.
bool DecodeWithLibjpeg(j_decompress_ptr cinfo, TErrorManager& errors,
                       std::span<const std::uint8_t> bytes, platform::TPixels& out,
                       TPictureSize* source_size) {
  jpeg_mem_src(cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
  if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) return false;
  if (cinfo->image_width == 0 || cinfo->image_height == 0) return false;
  if (source_size != nullptr) {
    source_size->Width = static_cast<int>(cinfo->image_width);
    source_size->Height = static_cast<int>(cinfo->image_height);
  }
  // Refused before any decoding, as a bitmap of that size would be.
  if (!ReductionAllowed(static_cast<int>(cinfo->image_width),
                        static_cast<int>(cinfo->image_height))) {
    return false;
  }

  bool cmyk = false;
  switch (cinfo->jpeg_color_space) {
    case JCS_GRAYSCALE:
    case JCS_YCbCr:
    case JCS_RGB:
      cinfo->out_color_space = kDirectSpace;
      break;
    case JCS_CMYK:
    case JCS_YCCK:
      cinfo->out_color_space = JCS_CMYK;
      cmyk = true;
      break;
    default:
      return false;
  }
  cinfo->scale_num = 1;
  cinfo->scale_denom = static_cast<unsigned int>(JpegScaleDenominator(
      static_cast<int>(cinfo->image_width), static_cast<int>(cinfo->image_height)));
  jpeg_calc_output_dimensions(cinfo);
  const JDIMENSION width = cinfo->output_width;
  const JDIMENSION height = cinfo->output_height;
  if (width == 0 || height == 0) return false;
  if (static_cast<std::int64_t>(width) * height > kMaxPicturePixels) return false;
  if (!Reserve(out, width, height)) return false;

  jpeg_start_decompress(cinfo);
  if (cinfo->output_width != width || cinfo->output_height != height) return false;

  const bool direct = kDirectPixels && !cmyk;
  JSAMPARRAY row_buffer = nullptr;
  if (!direct) {
    row_buffer = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                             width * cinfo->output_components, 1);
  }
  while (cinfo->output_scanline < height) {
    std::uint32_t* dst = AddRow(out, cinfo->output_scanline);
    JSAMPROW row = direct ? reinterpret_cast<JSAMPROW>(dst) : row_buffer[0];
    if (jpeg_read_scanlines(cinfo, &row, 1) != 1) return false;
    if (cmyk) {
      ConvertCmykRow(row, dst, width, cinfo->saw_Adobe_marker);
    } else if (!direct) {
      ConvertRgbRow(row, dst, width);
    }
  }
  // Every row is there; a missing end marker or junk before it does not spoil the picture.
  errors.PixelsComplete = true;
  jpeg_finish_decompress(cinfo);
  return true;
}

}  // namespace

int JpegScaleDenominator(int w, int h) {
  if (w <= 0 || h <= 0) return 1;
  if (static_cast<std::int64_t>(w) * h <= kJpegFullDecodeLimit) return 1;
  const TPictureSize target = ReducedSize(w, h);
  int denominator = 1;
  for (int candidate : {2, 4, 8}) {
    if (CeilDiv(w, candidate) < target.Width || CeilDiv(h, candidate) < target.Height) break;
    denominator = candidate;
  }
  return denominator;
}

bool DecodeJpeg(std::span<const std::uint8_t> bytes, platform::TPixels& out,
                TPictureSize* source_size) {
  out = {};
  if (source_size != nullptr) *source_size = {};
  if (bytes.size() < 4 || bytes.size() > kMaxPictureFileBytes) return false;

  jpeg_decompress_struct cinfo;
  TErrorManager errors;
  jpeg_progress_mgr progress;
  cinfo.err = jpeg_std_error(&errors.Base);
  errors.Base.error_exit = OnError;
  errors.Base.emit_message = OnMessage;
  errors.Base.output_message = OnOutput;
  errors.PixelsComplete = false;
  progress.progress_monitor = OnProgress;

  if (setjmp(errors.Jump) != 0) {
    jpeg_destroy_decompress(&cinfo);
    out = {};
    return false;
  }
  jpeg_create_decompress(&cinfo);
  cinfo.mem->max_memory_to_use = kMaxWorkingBytes;
  cinfo.progress = &progress;
  const bool ok = DecodeWithLibjpeg(&cinfo, errors, bytes, out, source_size);
  jpeg_destroy_decompress(&cinfo);
  if (!ok) out = {};
  return ok;
}

bool DecodeJpegFile(const std::string& path, platform::TPixels& out, TPictureSize* source_size) {
  out = {};
  if (source_size != nullptr) *source_size = {};
  std::vector<std::uint8_t> bytes;
  if (!ReadPictureFile(path, bytes)) return false;
  return DecodeJpeg(bytes, out, source_size);
}

}  // namespace roarmark
