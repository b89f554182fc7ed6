// FreeType faces and the fourfold text raster: glyphs are rasterised at four times the pixel
// size and every 4 x 4 block is averaged into one coverage value. Faces are shared per file
// and size; a face's glyph coverage is cached, which changes no pixel, only the time taken.
#include "display/font_engine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <tuple>

namespace roarmark {

namespace {

constexpr int kScale = 4;  // the fourfold raster

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

std::int64_t FloorMod(std::int64_t a, std::int64_t b) {
  return a - FloorDiv(a, b) * b;
}

struct TFreeType {
  FT_Library Library = nullptr;
  TFreeType() {
    if (FT_Init_FreeType(&Library) != 0) Library = nullptr;
  }
  ~TFreeType() {
    if (Library != nullptr) FT_Done_FreeType(Library);
  }
};

// Faces keep the library alive, so it outlives every bitmap whatever the order of teardown.
std::shared_ptr<TFreeType> FreeType() {
  static std::shared_ptr<TFreeType> library = std::make_shared<TFreeType>();
  return library;
}

// Next code point of UTF-8 text; malformed bytes stand for themselves.
char32_t NextCodePoint(std::string_view text, std::size_t& i) {
  const unsigned char b0 = static_cast<unsigned char>(text[i]);
  int extra = 0;
  char32_t cp = b0;
  if (b0 >= 0xC0 && b0 < 0xE0) {
    extra = 1;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 < 0xF0) {
    extra = 2;
    cp = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 < 0xF8) {
    extra = 3;
    cp = b0 & 0x07;
  }
  if (extra == 0 || i + static_cast<std::size_t>(extra) >= text.size()) {
    ++i;
    return b0;
  }
  for (int k = 1; k <= extra; ++k) {
    const unsigned char b = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return b0;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  i += static_cast<std::size_t>(extra) + 1;
  return cp;
}

// Adds a rectangle given in fourfold pixels to a coverage map, by area.
void AddRaster4Rect(TCoverageMap& map, std::int64_t x0, std::int64_t y0, std::int64_t x1,
                    std::int64_t y1) {
  for (std::int64_t fy = FloorDiv(y0, kScale); fy * kScale < y1; ++fy) {
    const std::int64_t oy = std::min(y1, (fy + 1) * kScale) - std::max(y0, fy * kScale);
    const std::int64_t row = fy - map.Top;
    if (row < 0 || row >= map.Height) continue;
    for (std::int64_t fx = FloorDiv(x0, kScale); fx * kScale < x1; ++fx) {
      const std::int64_t ox = std::min(x1, (fx + 1) * kScale) - std::max(x0, fx * kScale);
      const std::int64_t col = fx - map.Left;
      if (col < 0 || col >= map.Width) continue;
      std::uint8_t& v = map.Values[static_cast<std::size_t>(row * map.Width + col)];
      const std::int64_t add = (ox * oy * 255 + 8) / 16;
      v = static_cast<std::uint8_t>(std::min<std::int64_t>(255, v + add));
    }
  }
}

}  // namespace

int FontPixelSize(int points) {
  const int size = std::clamp(points, 1, 1000);
  return (size * 96 + 36) / 72;
}

struct TFontFace::TImpl {
  std::shared_ptr<TFreeType> Library;
  FT_Face Face = nullptr;
  int PixelEm = 0;
  bool SynthBold = false;
  bool SynthItalic = false;
  FT_Pos BoldStrength = 0;  // 26.6
  // Underline and strike-out in fourfold pixels: top offset from the baseline (down positive)
  // and thickness.
  std::int64_t UnderlineTop = 0;
  std::int64_t UnderlineThick = 0;
  std::int64_t StrikeTop = 0;
  std::int64_t StrikeThick = 0;

  ~TImpl() {
    if (Face != nullptr) FT_Done_Face(Face);
  }
};

std::shared_ptr<TFontFace> TFontFace::Get(const std::string& path, int pixel_em, bool bold,
                                          bool italic) {
  using Key = std::tuple<std::string, int, bool, bool>;
  static std::mutex mutex;
  static std::map<Key, std::weak_ptr<TFontFace>> faces;
  pixel_em = std::clamp(pixel_em, 1, 2000);

  std::lock_guard<std::mutex> lock(mutex);
  const Key key{path, pixel_em, bold, italic};
  if (auto it = faces.find(key); it != faces.end()) {
    if (auto face = it->second.lock()) return face;
  }

  auto impl = std::make_unique<TImpl>();
  impl->Library = FreeType();
  if (impl->Library->Library == nullptr) return nullptr;
  if (FT_New_Face(impl->Library->Library, path.c_str(), 0, &impl->Face) != 0) {
    impl->Face = nullptr;
    return nullptr;
  }
  FT_Face f = impl->Face;
  if (!FT_IS_SCALABLE(f) || f->units_per_EM == 0) return nullptr;
  const int em4 = pixel_em * kScale;
  if (FT_Set_Pixel_Sizes(f, 0, static_cast<FT_UInt>(em4)) != 0) return nullptr;
  impl->PixelEm = pixel_em;
  impl->SynthBold = bold && (f->style_flags & FT_STYLE_FLAG_BOLD) == 0;
  impl->SynthItalic = italic && (f->style_flags & FT_STYLE_FLAG_ITALIC) == 0;
  impl->BoldStrength = static_cast<FT_Pos>(em4) * 64 / 24;

  const double units = f->units_per_EM;
  const auto scale1 = [&](double v) { return v * pixel_em / units; };
  const auto scale4 = [&](double v) {
    return static_cast<std::int64_t>(std::lround(v * em4 / units));
  };

  // Cell height as the platform measures it: ascent and descent from the OS/2 table rounded
  // separately, the horizontal header when there is none.
  double ascent = f->ascender;
  double descent = -f->descender;
  auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
  if (os2 != nullptr && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
    ascent = os2->usWinAscent;
    descent = os2->usWinDescent;
  }
  auto out = std::shared_ptr<TFontFace>(new TFontFace(std::move(impl)));
  out->ascent_ = static_cast<int>(std::lround(scale1(ascent)));
  out->descent_ = static_cast<int>(std::lround(scale1(descent)));

  TImpl& im = *out->impl_;
  const std::int64_t min_thick = kScale;
  im.UnderlineThick =
      std::max(min_thick, scale4(f->underline_thickness > 0 ? f->underline_thickness : units / 20));
  const double under_pos = f->underline_position != 0 ? f->underline_position : -units / 10;
  im.UnderlineTop = -scale4(under_pos) - im.UnderlineThick / 2;
  double strike_pos = units * 0.26;
  double strike_size = f->underline_thickness > 0 ? f->underline_thickness : units / 20;
  if (os2 != nullptr && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
    strike_pos = os2->yStrikeoutPosition;
    strike_size = os2->yStrikeoutSize;
  }
  im.StrikeThick = std::max(min_thick, scale4(strike_size));
  im.StrikeTop = -scale4(strike_pos);

  faces[key] = out;
  return out;
}

TFontFace::TFontFace(std::unique_ptr<TImpl> impl) : impl_(std::move(impl)) {}
TFontFace::~TFontFace() = default;

TFontFace::TGlyph& TFontFace::GlyphFor(char32_t code) {
  auto [it, inserted] = glyphs_.try_emplace(code);
  TGlyph& g = it->second;
  if (inserted) {
    FT_Face f = impl_->Face;
    g.Index = FT_Get_Char_Index(f, static_cast<FT_ULong>(code));
    FT_Fixed advance = 0;
    if (FT_Get_Advance(f, g.Index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP, &advance) != 0) {
      advance = 0;
    }
    g.Advance = advance;
    if (impl_->SynthBold) g.Advance += static_cast<std::int64_t>(impl_->BoldStrength) * 1024;
  }
  return g;
}

void TFontFace::Render(TGlyph& glyph) {
  glyph.Rendered = true;
  FT_Face f = impl_->Face;
  if (FT_Load_Glyph(f, glyph.Index, FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) != 0) return;
  FT_GlyphSlot slot = f->glyph;
  if (slot->format == FT_GLYPH_FORMAT_OUTLINE) {
    if (impl_->SynthBold) FT_Outline_EmboldenXY(&slot->outline, impl_->BoldStrength, 0);
    if (impl_->SynthItalic) {
      FT_Matrix shear{0x10000, 0x0366A, 0, 0x10000};
      FT_Outline_Transform(&slot->outline, &shear);
    }
  }
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return;
  const FT_Bitmap& bm = slot->bitmap;
  if (bm.pixel_mode != FT_PIXEL_MODE_GRAY || bm.width == 0 || bm.rows == 0) return;

  const std::int64_t w = bm.width;
  const std::int64_t h = bm.rows;
  const std::int64_t top4 = static_cast<std::int64_t>(ascent_) * kScale - slot->bitmap_top;
  const std::int64_t yphase = FloorMod(top4, kScale);
  std::vector<std::uint32_t> sums;
  for (int r = 0; r < kScale; ++r) {
    TGlyphPhase& ph = glyph.Phases[r];
    const std::int64_t left4 = r + slot->bitmap_left;
    const std::int64_t xphase = FloorMod(left4, kScale);
    ph.XOff = FloorDiv(left4, kScale);
    ph.YOff = FloorDiv(top4, kScale);
    ph.Width = static_cast<int>((xphase + w + kScale - 1) / kScale);
    ph.Height = static_cast<int>((yphase + h + kScale - 1) / kScale);
    sums.assign(static_cast<std::size_t>(ph.Width) * static_cast<std::size_t>(ph.Height), 0);
    for (std::int64_t ry = 0; ry < h; ++ry) {
      const unsigned char* src = bm.buffer + ry * bm.pitch;
      std::uint32_t* row = sums.data() + ((yphase + ry) / kScale) * ph.Width;
      for (std::int64_t rx = 0; rx < w; ++rx)
        row[(xphase + rx) / kScale] += src[rx];
    }
    ph.Values.resize(sums.size());
    for (std::size_t i = 0; i < sums.size(); ++i) {
      ph.Values[i] = static_cast<std::uint8_t>((sums[i] + 8) / 16);
    }
  }
}

std::int64_t TFontFace::Layout(std::string_view text,
                               std::vector<std::pair<TGlyph*, std::int64_t>>& out) {
  out.clear();
  std::int64_t pen = 0;  // 16.16 fourfold pixels
  for (std::size_t i = 0; i < text.size();) {
    TGlyph& g = GlyphFor(NextCodePoint(text, i));
    out.emplace_back(&g, (pen + 0x8000) >> 16);
    pen += g.Advance;
  }
  return pen;
}

int TFontFace::TextWidth(std::string_view text) {
  const std::int64_t pen = Layout(text, layout_);
  // Nearest whole pixel of the fourfold advance.
  return static_cast<int>(FloorDiv(pen + 2 * 65536, 4 * 65536));
}

void TFontFace::Extent(std::string_view text, bool underline, bool strike_out, TCoverageMap& out,
                       std::int64_t& width4) {
  const std::int64_t pen = Layout(text, layout_);
  width4 = (pen + 0x8000) >> 16;
  const std::int64_t baseline4 = static_cast<std::int64_t>(ascent_) * kScale;

  std::int64_t x0 = INT64_MAX, y0 = INT64_MAX, x1 = INT64_MIN, y1 = INT64_MIN;
  const auto extend = [&](std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
    if (l >= r || t >= b) return;
    x0 = std::min(x0, l);
    y0 = std::min(y0, t);
    x1 = std::max(x1, r);
    y1 = std::max(y1, b);
  };
  for (auto& [glyph, pen4] : layout_) {
    if (!glyph->Rendered) Render(*glyph);
    const TGlyphPhase& ph = glyph->Phases[FloorMod(pen4, kScale)];
    const std::int64_t gx = FloorDiv(pen4, kScale) + ph.XOff;
    extend(gx, ph.YOff, gx + ph.Width, ph.YOff + ph.Height);
  }
  lines_.clear();
  if (underline) lines_.push_back({baseline4 + impl_->UnderlineTop, impl_->UnderlineThick});
  if (strike_out) lines_.push_back({baseline4 + impl_->StrikeTop, impl_->StrikeThick});
  if (width4 > 0) {
    for (const TLine& l : lines_) {
      extend(0, FloorDiv(l.Top, kScale), FloorDiv(width4 + kScale - 1, kScale),
             FloorDiv(l.Top + l.Thick + kScale - 1, kScale));
    }
  }
  out.Values.clear();
  if (x0 >= x1 || y0 >= y1) {
    out.Left = out.Top = 0;
    out.Width = out.Height = 0;
    return;
  }
  out.Left = x0;
  out.Top = y0;
  out.Width = static_cast<int>(x1 - x0);
  out.Height = static_cast<int>(y1 - y0);
}

void TFontFace::TextExtent(std::string_view text, bool underline, bool strike_out,
                           TCoverageMap& out) {
  std::int64_t width4 = 0;
  Extent(text, underline, strike_out, out, width4);
}

void TFontFace::TextCoverage(std::string_view text, bool underline, bool strike_out,
                             TCoverageMap& out) {
  TextExtent(text, underline, strike_out, out);
  TextCoverageWithin(text, underline, strike_out, out);
}

void TFontFace::TextCoverageWithin(std::string_view text, bool underline, bool strike_out,
                                   TCoverageMap& out) {
  if (out.Width <= 0 || out.Height <= 0) {
    out.Values.clear();
    return;
  }
  out.Values.assign(static_cast<std::size_t>(out.Width) * static_cast<std::size_t>(out.Height), 0);
  TCoverageMap extent;
  std::int64_t width4 = 0;
  Extent(text, underline, strike_out, extent, width4);
  const std::int64_t wx1 = out.Left + out.Width;
  const std::int64_t wy1 = out.Top + out.Height;
  for (auto& [glyph, pen4] : layout_) {
    const TGlyphPhase& ph = glyph->Phases[FloorMod(pen4, kScale)];
    const std::int64_t gx = FloorDiv(pen4, kScale) + ph.XOff;
    const std::int64_t gy = ph.YOff;
    const std::int64_t c0 = std::max(gx, out.Left), c1 = std::min(gx + ph.Width, wx1);
    const std::int64_t r0 = std::max(gy, out.Top), r1 = std::min(gy + ph.Height, wy1);
    for (std::int64_t r = r0; r < r1; ++r) {
      std::uint8_t* dst = out.Values.data() + (r - out.Top) * out.Width + (c0 - out.Left);
      const std::uint8_t* src = ph.Values.data() + (r - gy) * ph.Width + (c0 - gx);
      for (std::int64_t c = 0; c < c1 - c0; ++c) {
        const unsigned v = dst[c] + src[c];
        dst[c] = static_cast<std::uint8_t>(v > 255 ? 255 : v);
      }
    }
  }
  if (width4 > 0) {
    for (const TLine& l : lines_)
      AddRaster4Rect(out, 0, l.Top, width4, l.Top + l.Thick);
  }
}

std::int64_t TFontFace::PlaceGlyphs(std::string_view text, std::vector<TPlacedGlyph>& out) {
  const std::int64_t pen = Layout(text, layout_);
  out.clear();
  for (auto& [glyph, pen4] : layout_) {
    if (!glyph->Rendered) Render(*glyph);
    const TGlyphPhase& ph = glyph->Phases[FloorMod(pen4, kScale)];
    const std::int64_t gx = FloorDiv(pen4, kScale) + ph.XOff;
    out.push_back({glyph, pen4, gx, ph.YOff, gx + ph.Width, ph.YOff + ph.Height, ph.Values.data()});
  }
  return (pen + 0x8000) >> 16;
}

}  // namespace roarmark
