// Text on the raster: whole texts through the face's coverage, and the parts of a text that
// changed, with glyphs over a plain box copied from pixels blended once per colour pair.
#include <algorithm>
#include <map>
#include <tuple>

#include "display/bitmap32.h"
#include "display/font_engine.h"

namespace roarmark {

using TPlaced = TFontFace::TPlacedGlyph;

// A glyph's box blended over a background colour, keyed by its coverage and the two colours.
struct TBlendedGlyphs {
  // A readout's digits in their few pen phases and colours; more means the colours keep
  // changing, and the old ones are of no more use.
  static constexpr std::size_t kMost = 96;
  std::map<std::tuple<const std::uint8_t*, TColor32, TColor32>, std::vector<TColor32>> Pixels;

  const std::vector<TColor32>& Get(const TPlaced& g, TColor32 background, TColor32 colour) {
    const auto key = std::make_tuple(g.Values, background, colour);
    const auto found = Pixels.find(key);
    if (found != Pixels.end()) return found->second;
    TColor32 over[256];
    for (unsigned c = 0; c < 256; ++c)
      over[c] = BlendColour(background, colour, c);
    std::vector<TColor32>& pixels = Pixels[key];
    pixels.resize(static_cast<std::size_t>((g.Right - g.Left) * (g.Bottom - g.Top)));
    for (std::size_t i = 0; i < pixels.size(); ++i)
      pixels[i] = over[g.Values[i]];
    return pixels;
  }

  // Over a picture nothing can be blended ahead, but a glyph is mostly solid ink and empty
  // space: each row's inked runs, solid or edge, found once.
  struct TRun {
    std::int64_t Begin, End;
    bool Solid;
  };
  struct TRuns {
    std::vector<std::size_t> RowStart;  // into Runs, one more than the rows
    std::vector<TRun> Runs;
  };
  std::map<const std::uint8_t*, TRuns> Inked;

  const TRuns& RunsOf(const TPlaced& g) {
    TRuns& runs = Inked[g.Values];
    if (!runs.RowStart.empty()) return runs;
    const std::int64_t w = g.Right - g.Left;
    for (std::int64_t y = 0; y < g.Bottom - g.Top; ++y) {
      runs.RowStart.push_back(runs.Runs.size());
      const std::uint8_t* c = g.Values + y * w;
      for (std::int64_t x = 0; x < w;) {
        if (c[x] == 0) {
          ++x;
          continue;
        }
        const bool solid = c[x] == 255;
        const std::int64_t begin = x;
        while (x < w && c[x] != 0 && (c[x] == 255) == solid)
          ++x;
        runs.Runs.push_back({begin, x, solid});
      }
    }
    runs.RowStart.push_back(runs.Runs.size());
    return runs;
  }
};

namespace {

TRect Box(const TPlaced& g) {
  return {g.Left, g.Top, g.Right, g.Bottom};
}

// Glyphs placed at (x, y), empty ones left out.
std::vector<TPlaced> Place(TFontFace& face, std::string_view text, std::int64_t x, std::int64_t y,
                           std::int64_t* width4 = nullptr) {
  std::vector<TPlaced> glyphs;
  const std::int64_t w4 = face.PlaceGlyphs(text, glyphs);
  if (width4 != nullptr) *width4 = w4;
  std::erase_if(glyphs, [](const TPlaced& g) { return g.Empty(); });
  for (TPlaced& g : glyphs) {
    g.Pen4 += x * 4;
    g.Left += x;
    g.Right += x;
    g.Top += y;
    g.Bottom += y;
  }
  return glyphs;
}

bool Overlapping(const std::vector<TPlaced>& glyphs) {
  for (std::size_t i = 0; i < glyphs.size(); ++i) {
    for (std::size_t j = i + 1; j < glyphs.size(); ++j) {
      if (!Intersect(Box(glyphs[i]), Box(glyphs[j])).Empty()) return true;
    }
  }
  return false;
}

}  // namespace

void TBitmap32::SetFont(const TFont& font, platform::IFonts* fonts) {
  font_ = font;
  face_.reset();
  blended_.reset();
  if (fonts == nullptr) return;
  const bool bold = (font.Style & kFontBold) != 0;
  const bool italic = (font.Style & kFontItalic) != 0;
  face_ = TFontFace::Get(fonts->FindFontFile(font.Name, bold, italic), FontPixelSize(font.Size),
                         bold, italic);
}

void TBitmap32::CopyFont(const TBitmap32& other) {
  font_ = other.font_;
  face_ = other.face_;
  blended_ = other.blended_;
}

int TBitmap32::TextWidth(std::string_view text) const {
  return face_ ? face_->TextWidth(text) : 0;
}

int TBitmap32::TextHeight(std::string_view) const {
  return face_ ? face_->Ascent() + face_->Descent() : 0;
}

void TBitmap32::RenderText(std::int64_t x, std::int64_t y, std::string_view text, int,
                           TColor32 colour) {
  if (!face_ || Empty()) return;
  TCoverageMap cov;
  face_->TextExtent(text, (font_.Style & kFontUnderline) != 0, (font_.Style & kFontStrikeOut) != 0,
                    cov);
  RenderTextWithin(x, y, text, colour,
                   Offset({cov.Left, cov.Top, cov.Left + cov.Width, cov.Top + cov.Height}, x, y));
}

void TBitmap32::RenderTextWithin(std::int64_t x, std::int64_t y, std::string_view text,
                                 TColor32 colour, const TRect& clip,
                                 std::optional<TColor32> background) {
  const TRect d = Intersect(clip, BoundsRect());
  if (!face_ || d.Empty()) return;
  Changed();
  const bool lines = (font_.Style & (kFontUnderline | kFontStrikeOut)) != 0;
  const std::vector<TPlaced> glyphs = lines ? std::vector<TPlaced>{} : Place(*face_, text, x, y);
  // Glyphs side by side each own their pixels: no coverage to add up.
  if (!lines && !Overlapping(glyphs)) {
    if (background) {
      // Row by row, the box colour between glyphs and each glyph's blended pixels, each pixel
      // written once.
      if (!blended_) blended_ = std::make_shared<TBlendedGlyphs>();
      // Room for the whole text first: the pixels of its glyphs are used together.
      if (blended_->Pixels.size() + glyphs.size() > TBlendedGlyphs::kMost) blended_->Pixels.clear();
      std::vector<std::pair<const TPlaced*, const TColor32*>> inside;
      for (const TPlaced& g : glyphs) {
        if (!Intersect(Box(g), d).Empty())
          inside.emplace_back(&g, blended_->Get(g, *background, colour).data());
      }
      std::sort(inside.begin(), inside.end(),
                [](const auto& a, const auto& b) { return a.first->Left < b.first->Left; });
      for (std::int64_t py = d.Top; py < d.Bottom; ++py) {
        TColor32* row = bits_.data() + py * width_;
        std::int64_t px = d.Left;
        for (const auto& [g, pixels] : inside) {
          if (py < g->Top || py >= g->Bottom) continue;
          const std::int64_t l = std::max(g->Left, d.Left);
          const std::int64_t r = std::min(g->Right, d.Right);
          std::fill(row + px, row + l, *background);
          std::copy(pixels + (py - g->Top) * (g->Right - g->Left) + (l - g->Left),
                    pixels + (py - g->Top) * (g->Right - g->Left) + (r - g->Left), row + l);
          px = r;
        }
        std::fill(row + px, row + d.Right, *background);
      }
      return;
    }
    if (!blended_) blended_ = std::make_shared<TBlendedGlyphs>();
    for (const TPlaced& g : glyphs) {
      const TRect part = Intersect(Box(g), d);
      if (part.Empty()) continue;
      const TBlendedGlyphs::TRuns& runs = blended_->RunsOf(g);
      const std::int64_t l = part.Left - g.Left, r = part.Right - g.Left;
      for (std::int64_t py = part.Top; py < part.Bottom; ++py) {
        const std::size_t y = static_cast<std::size_t>(py - g.Top);
        const std::uint8_t* c = g.Values + static_cast<std::int64_t>(y) * (g.Right - g.Left);
        TColor32* row = bits_.data() + py * width_ + g.Left;
        for (std::size_t k = runs.RowStart[y]; k < runs.RowStart[y + 1]; ++k) {
          const std::int64_t b = std::max(runs.Runs[k].Begin, l);
          const std::int64_t e = std::min(runs.Runs[k].End, r);
          if (runs.Runs[k].Solid) {
            std::fill(row + std::min(b, e), row + e, colour | 0xFF000000u);
            continue;
          }
          for (std::int64_t i = b; i < e; ++i)
            row[i] = BlendColour(row[i], colour, c[i]);
        }
      }
    }
    return;
  }
  TCoverageMap cov;
  cov.Left = d.Left - x;
  cov.Top = d.Top - y;
  cov.Width = static_cast<int>(d.Width());
  cov.Height = static_cast<int>(d.Height());
  face_->TextCoverageWithin(text, (font_.Style & kFontUnderline) != 0,
                            (font_.Style & kFontStrikeOut) != 0, cov);
  // Over one colour every coverage value has one result: 256 blends instead of one a pixel.
  TColor32 over[256];
  if (background) {
    for (unsigned c = 0; c < 256; ++c)
      over[c] = BlendColour(*background, colour, c);
  }
  for (std::int64_t py = d.Top; py < d.Bottom; ++py) {
    const std::uint8_t* c = cov.Values.data() + (py - d.Top) * cov.Width;
    TColor32* row = bits_.data() + py * width_ + d.Left;
    const std::int64_t n = d.Width();
    if (background) {
      for (std::int64_t i = 0; i < n; ++i)
        row[i] = over[c[i]];
    } else {
      for (std::int64_t i = 0; i < n; ++i) {
        if (c[i] != 0) row[i] = BlendColour(row[i], colour, c[i]);
      }
    }
  }
}

TRect TBitmap32::TextChange(std::int64_t old_x, std::string_view old_text, std::int64_t x,
                            std::int64_t y, std::string_view text) const {
  if (!face_ || Empty()) return {};
  std::int64_t old_width4 = 0, width4 = 0;
  const std::vector<TPlaced> before = Place(*face_, old_text, old_x, y, &old_width4);
  const std::vector<TPlaced> after = Place(*face_, text, x, y, &width4);
  TRect change;
  for (const auto& [from, other] : {std::pair{&before, &after}, std::pair{&after, &before}}) {
    for (const TPlaced& g : *from) {
      if (std::find(other->begin(), other->end(), g) == other->end())
        change = Union(change, Box(g));
    }
  }
  const bool underline = (font_.Style & kFontUnderline) != 0;
  const bool strike_out = (font_.Style & kFontStrikeOut) != 0;
  if ((underline || strike_out) && (old_width4 != width4 || old_x != x)) {
    for (const auto& [tx, t] : {std::pair{old_x, old_text}, std::pair{x, text}}) {
      TCoverageMap e;
      face_->TextExtent(t, underline, strike_out, e);
      change = Union(change, Offset({e.Left, e.Top, e.Left + e.Width, e.Top + e.Height}, tx, y));
    }
  }
  return Intersect(change, BoundsRect());
}

}  // namespace roarmark
