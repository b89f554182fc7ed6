// FreeType faces at one pixel size, with cached glyph coverage for the fourfold text raster.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace roarmark {

// Points to pixels at 96 dpi, rounded like the platform does; the size is kept within
// 1..1000 points for rendering.
int FontPixelSize(int points);

// Coverage 0..255 of a piece of text, in final pixels relative to the text's top-left.
struct TCoverageMap {
  std::int64_t Left = 0;
  std::int64_t Top = 0;
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Values;  // Width * Height, row-major
};

class TFontFace {
 public:
  // A shared face for a font file at `pixel_em` pixels per em; null when the file cannot be
  // loaded. Bold or italic is synthesised when the file lacks it.
  static std::shared_ptr<TFontFace> Get(const std::string& path, int pixel_em, bool bold,
                                        bool italic);
  ~TFontFace();
  TFontFace(const TFontFace&) = delete;
  TFontFace& operator=(const TFontFace&) = delete;

  int Ascent() const { return ascent_; }
  int Descent() const { return descent_; }
  int TextWidth(std::string_view text);
  // Glyphs and, when asked, underline and strike-out lines, as one coverage map.
  void TextCoverage(std::string_view text, bool underline, bool strike_out, TCoverageMap& out);
  // Where TextCoverage's map would lie (Left, Top, Width, Height), its values left empty.
  void TextExtent(std::string_view text, bool underline, bool strike_out, TCoverageMap& out);
  // TextCoverage's values within the window out's Left, Top, Width and Height give, relative
  // to the text's top-left; zero where the text has no ink.
  void TextCoverageWithin(std::string_view text, bool underline, bool strike_out,
                          TCoverageMap& out);
  // Each glyph's box relative to the text's top-left, with what decides its pixels: the same
  // glyph at the same fourfold pen position covers the same pixels.
  struct TPlacedGlyph {
    const void* Glyph = nullptr;
    std::int64_t Pen4 = 0;
    std::int64_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    // The box's coverage row by row; it lives as long as the face.
    const std::uint8_t* Values = nullptr;
    bool Empty() const { return Left >= Right || Top >= Bottom; }
    friend bool operator==(const TPlacedGlyph&, const TPlacedGlyph&) = default;
  };
  // The glyphs of the text in order; returns the advance in fourfold pixels.
  std::int64_t PlaceGlyphs(std::string_view text, std::vector<TPlacedGlyph>& out);

 private:
  struct TGlyphPhase {
    std::int64_t XOff = 0;  // final pixels right of the pen's whole pixel
    std::int64_t YOff = 0;  // final pixels below the text's top
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Values;
  };
  struct TGlyph {
    unsigned Index = 0;
    std::int64_t Advance = 0;  // 16.16, fourfold raster pixels
    bool Rendered = false;
    TGlyphPhase Phases[4];  // by the pen's quarter-pixel position
  };
  struct TImpl;

  explicit TFontFace(std::unique_ptr<TImpl> impl);
  TGlyph& GlyphFor(char32_t code);
  void Render(TGlyph& glyph);
  // Pen positions in fourfold pixels for each code point, and the total advance.
  std::int64_t Layout(std::string_view text, std::vector<std::pair<TGlyph*, std::int64_t>>& out);
  struct TLine {
    std::int64_t Top, Thick;
  };
  // Lays the text out into layout_ and lines_ and sets out's place; width4 is the advance.
  void Extent(std::string_view text, bool underline, bool strike_out, TCoverageMap& out,
              std::int64_t& width4);

  std::unique_ptr<TImpl> impl_;
  int ascent_ = 0;
  int descent_ = 0;
  std::unordered_map<char32_t, TGlyph> glyphs_;
  std::vector<std::pair<TGlyph*, std::int64_t>> layout_;  // scratch
  std::vector<TLine> lines_;                              // scratch
};

}  // namespace roarmark
