// The program's own 32-bit raster: fills, frames, copies, polygons, text and the XOR outline.
// Pixels are 0xAARRGGBB in top-down rows; rectangles are half-open and every operation clips.
#pragma once

#include <cstdint>
#include <memory>
#include <memory_resource>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fonts.h"
#include "platform/pixels.h"
#include "platform/system_colours.h"
#include "settings/meter_settings.h"

namespace roarmark {

using TColor32 = std::uint32_t;

inline constexpr TColor32 kBlack32 = 0xFF000000;

// Settings colour 0x00BBGGRR to an opaque pixel colour. A system colour (top bit set) is
// resolved through `system_colours`; without one it is black.
TColor32 Color32(TColor colour, const platform::ISystemColours* system_colours = nullptr);

// A settings colour with system colours resolved (black without a colour table).
TColor ResolveColour(TColor colour, const platform::ISystemColours* system_colours);

// Half-open rectangle: columns Left..Right-1, rows Top..Bottom-1.
struct TRect {
  std::int64_t Left = 0;
  std::int64_t Top = 0;
  std::int64_t Right = 0;
  std::int64_t Bottom = 0;

  bool Empty() const { return Left >= Right || Top >= Bottom; }
  std::int64_t Width() const { return Right - Left; }
  std::int64_t Height() const { return Bottom - Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

TRect Intersect(const TRect& a, const TRect& b);
// The smallest rectangle holding both; an empty one adds nothing.
TRect Union(const TRect& a, const TRect& b);
TRect Offset(const TRect& r, std::int64_t dx, std::int64_t dy);

// The readout font as the settings describe it.
struct TFont {
  std::string Name = "Arial";
  int Size = 10;     // points
  TColor Color = 0;  // settings colour
  int Style = 0;     // kFontBold | kFontItalic | kFontUnderline | kFontStrikeOut
  friend bool operator==(const TFont&, const TFont&) = default;
};

class TFontFace;        // a FreeType face at one size, with its glyph cache (font_engine.h)
struct TBlendedGlyphs;  // glyphs blended over one colour (bitmap32_text.cpp)

// Largest bitmap SetSize agrees to make; the display never needs more.
inline constexpr std::int64_t kMaxBitmapPixels = std::int64_t{1} << 28;

class TBitmap32 {
 public:
  TBitmap32() = default;

  // A width or height of 0 or less, or a size beyond kMaxBitmapPixels, gives an empty bitmap
  // (the latter returns false). Contents after a resize are unspecified (cleared to black).
  bool SetSize(std::int64_t width, std::int64_t height);
  // Keeps the pixels in `memory` from now on (null: the heap), as they are. The display bitmap
  // lives where the screen reads it without a copy; a copy of a bitmap is always on the heap.
  void SetMemory(std::pmr::memory_resource* memory);
  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  TRect BoundsRect() const { return {0, 0, width_, height_}; }

  const TColor32* Bits() const { return bits_.data(); }
  TColor32* Bits() { return bits_.data(); }
  platform::TPixelsView View() const { return {bits_.data(), width_, height_}; }
  // Unchecked access; callers stay inside the bitmap.
  TColor32 Pixel(int x, int y) const { return bits_[Index(x, y)]; }
  void SetPixel(int x, int y, TColor32 c) { bits_[Index(x, y)] = c; }

  // A stamp renewed by every drawing, so a viewer knows when to repaint. Stamps are unique
  // across bitmaps: a bitmap assigned over another never looks unchanged.
  std::uint64_t ChangeCount() const { return changes_; }
  void Changed();

  void Clear(TColor32 colour);
  void FillRectS(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                 TColor32 colour);
  void FillRectS(const TRect& r, TColor32 colour) {
    FillRectS(r.Left, r.Top, r.Right, r.Bottom, colour);
  }
  void FrameRectS(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                  TColor32 colour);
  void FrameRectS(const TRect& r, TColor32 colour) {
    FrameRectS(r.Left, r.Top, r.Right, r.Bottom, colour);
  }

  // Copies into this bitmap (opaque): the whole source at (x, y); a part of it at (x, y);
  // a source rectangle scaled into a destination rectangle (nearest neighbour).
  void Draw(std::int64_t x, std::int64_t y, const TBitmap32& source);
  void Draw(std::int64_t x, std::int64_t y, const TRect& source_rect, const TBitmap32& source);
  void Draw(const TRect& dest_rect, const TRect& source_rect, const TBitmap32& source);

  // Red channel of the outline of the rectangle between two corners (either order) inverted.
  void XorOutline(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2);

  // Font assignment; the face is found through `fonts` (no text without it).
  void SetFont(const TFont& font, platform::IFonts* fonts);
  const TFont& Font() const { return font_; }
  // Shares another bitmap's font, face and glyph cache.
  void CopyFont(const TBitmap32& other);

  int TextWidth(std::string_view text) const;
  int TextHeight(std::string_view text) const;
  // Antialiased text with the top-left of its box at (x, y); `quality` is kept for the
  // callers' sake, rendering always uses the fourfold raster.
  void RenderText(std::int64_t x, std::int64_t y, std::string_view text, int quality,
                  TColor32 colour);
  // RenderText within `clip` alone. With `background`, every pixel of `clip` is that colour
  // under the text, so the caller need not fill it first.
  void RenderTextWithin(std::int64_t x, std::int64_t y, std::string_view text, TColor32 colour,
                        const TRect& clip, std::optional<TColor32> background = std::nullopt);
  // The pixels, within the bitmap, in which `text` with its top-left at (x, y) differs from
  // `old_text` at (old_x, y): the boxes of the glyphs the two do not have in the same place,
  // and the lines when an underline or strike-out moves.
  TRect TextChange(std::int64_t old_x, std::string_view old_text, std::int64_t x, std::int64_t y,
                   std::string_view text) const;

  // Blend `colour` over one pixel by coverage 0..255 (clipped).
  void BlendPixel(std::int64_t x, std::int64_t y, TColor32 colour, unsigned coverage);

 private:
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }

  int width_ = 0;
  int height_ = 0;
  std::pmr::vector<TColor32> bits_;
  std::uint64_t changes_ = 0;
  TFont font_;
  std::shared_ptr<TFontFace> face_;
  std::shared_ptr<TBlendedGlyphs> blended_;  // for face_, shared by copies
};

// Blend of `colour` over `dest` by coverage 0..255, always opaque.
inline TColor32 BlendColour(TColor32 dest, TColor32 colour, unsigned coverage) {
  if (coverage >= 255) return colour | 0xFF000000u;
  if (coverage == 0) return dest;
  TColor32 out = 0xFF000000u;
  for (int shift = 0; shift <= 16; shift += 8) {
    const int d = static_cast<int>((dest >> shift) & 0xFF);
    const int c = static_cast<int>((colour >> shift) & 0xFF);
    const int v = d + ((c - d) * static_cast<int>(coverage) + (c >= d ? 127 : -127)) / 255;
    out |= static_cast<TColor32>(v) << shift;
  }
  return out;
}

// XOR outline of a meter box given by left edge x, bottom edge y, width w and height h; a
// negative h outlines the box from y downwards (the readout box).
void DrawDesignFrame(TBitmap32& bitmap, std::int64_t x, std::int64_t y, std::int64_t w,
                     std::int64_t h);

// --- Polygons ---------------------------------------------------------------------------------

struct TPoint64 {
  std::int64_t X = 0;
  std::int64_t Y = 0;
  friend bool operator==(const TPoint64&, const TPoint64&) = default;
};

// How much of each pixel a filled polygon covers, in samples of 64, row by row: what DrawFill
// blends with, kept so the same shape can be filled again without being worked out again.
struct TPolygonCoverage {
  static constexpr int kWhole = 64;  // samples of a pixel wholly inside
  struct TRow {
    std::int64_t Y = 0;
    std::int64_t Left = 0;   // column of the first count
    std::size_t Offset = 0;  // into Samples
    std::size_t Count = 0;
  };
  std::vector<TRow> Rows;
  std::vector<std::uint8_t> Samples;
};

// Blends `colour` into `bitmap` by the coverage, as DrawFill does.
void FillCoverage(TBitmap32& bitmap, const TPolygonCoverage& coverage, TColor32 colour);
// The same for one row of the coverage, only its columns from..to-1, moved by (dx, dy) in the
// bitmap; the caller marks the bitmap changed.
void FillCoverageRow(TBitmap32& bitmap, const TPolygonCoverage& coverage, std::size_t row,
                     TColor32 colour, std::int64_t dx, std::int64_t dy, std::int64_t from,
                     std::int64_t to);

// A pixel an outline blends its colour into, by coverage 1..255.
struct TEdgePixel {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  std::uint8_t Coverage = 0;
};

// Integer vertices; filled even-odd with 8x8 supersampled edges, outlined with antialiased
// one-pixel lines (closed or open).
class TPolygon32 {
 public:
  void Add(std::int64_t x, std::int64_t y) { points_.push_back({x, y}); }
  void Clear() { points_.clear(); }
  bool Closed = true;
  const std::vector<TPoint64>& Points() const { return points_; }

  void DrawFill(TBitmap32& bitmap, TColor32 colour) const;
  // The coverage DrawFill would blend with into a bitmap of this size.
  void Cover(int width, int height, TPolygonCoverage& out) const;
  void DrawEdge(TBitmap32& bitmap, TColor32 colour) const;
  // The pixels DrawEdge would blend in a bitmap of this size, in the order it blends them.
  void EdgePixels(int width, int height, std::vector<TEdgePixel>& out) const;

 private:
  std::vector<TPoint64> points_;
};

}  // namespace roarmark
