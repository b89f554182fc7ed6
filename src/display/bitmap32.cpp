// Raster operations of TBitmap32 and TPolygon32. Coordinates are 64-bit so that sizes and sums
// from untrusted settings can neither overflow nor reach outside a bitmap.
#include "display/bitmap32.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#include "display/font_engine.h"

namespace roarmark {

namespace {

__extension__ typedef __int128 Int128;

constexpr TColor32 kRedBits = 0x00FF0000;

}  // namespace

TColor ResolveColour(TColor colour, const platform::ISystemColours* system_colours) {
  if ((colour & 0x80000000u) != 0) {
    if (system_colours == nullptr) return 0;
    colour = system_colours->SystemColour(static_cast<int>(colour & 0xFF));
  }
  return colour & 0x00FFFFFFu;
}

TColor32 Color32(TColor colour, const platform::ISystemColours* system_colours) {
  const TColor c = ResolveColour(colour, system_colours);
  const TColor32 r = c & 0xFF;
  const TColor32 g = (c >> 8) & 0xFF;
  const TColor32 b = (c >> 16) & 0xFF;
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

TRect Intersect(const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
          std::min(a.Bottom, b.Bottom)};
  if (r.Empty()) return {};
  return r;
}

TRect Union(const TRect& a, const TRect& b) {
  if (a.Empty()) return b;
  if (b.Empty()) return a;
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
          std::max(a.Bottom, b.Bottom)};
}

TRect Offset(const TRect& r, std::int64_t dx, std::int64_t dy) {
  return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
}

// --- Surface ----------------------------------------------------------------------------------

void TBitmap32::Changed() {
  static std::atomic<std::uint64_t> stamps{0};
  changes_ = stamps.fetch_add(1, std::memory_order_relaxed) + 1;
}

void TBitmap32::SetMemory(std::pmr::memory_resource* memory) {
  // A vector's memory is fixed at its making: a new one takes the pixels over.
  std::pmr::vector<TColor32> moved(bits_.begin(), bits_.end(),
                                   memory ? memory : std::pmr::get_default_resource());
  std::destroy_at(&bits_);
  std::construct_at(&bits_, std::move(moved));
}

bool TBitmap32::SetSize(std::int64_t width, std::int64_t height) {
  bool ok = true;
  if (width <= 0 || height <= 0) {
    width = height = 0;
  } else if (width > kMaxBitmapPixels || height > kMaxBitmapPixels ||
             width * height > kMaxBitmapPixels) {
    width = height = 0;
    ok = false;
  }
  if (width != width_ || height != height_) {
    width_ = static_cast<int>(width);
    height_ = static_cast<int>(height);
    bits_.assign(static_cast<std::size_t>(width * height), kBlack32);
    bits_.shrink_to_fit();
  }
  Changed();
  return ok;
}

void TBitmap32::Clear(TColor32 colour) {
  std::fill(bits_.begin(), bits_.end(), colour);
  Changed();
}

void TBitmap32::FillRectS(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                          TColor32 colour) {
  const TRect r = Intersect({x1, y1, x2, y2}, BoundsRect());
  if (r.Empty()) return;
  for (std::int64_t y = r.Top; y < r.Bottom; ++y) {
    TColor32* row = bits_.data() + y * width_;
    std::fill(row + r.Left, row + r.Right, colour);
  }
  Changed();
}

namespace {

// The outline of a half-open rectangle as up to four disjoint rectangles: the top and bottom
// rows over the full width, the side columns between them.
int FrameParts(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
               TRect (&parts)[4]) {
  if (x1 >= x2 || y1 >= y2) return 0;
  int n = 0;
  parts[n++] = {x1, y1, x2, y1 + 1};
  if (y2 - 1 > y1) parts[n++] = {x1, y2 - 1, x2, y2};
  if (y2 - 2 >= y1 + 1) {
    parts[n++] = {x1, y1 + 1, x1 + 1, y2 - 1};
    if (x2 - 1 > x1) parts[n++] = {x2 - 1, y1 + 1, x2, y2 - 1};
  }
  return n;
}

}  // namespace

void TBitmap32::FrameRectS(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
                           TColor32 colour) {
  TRect parts[4];
  const int n = FrameParts(x1, y1, x2, y2, parts);
  for (int i = 0; i < n; ++i)
    FillRectS(parts[i], colour);
}

void TBitmap32::XorOutline(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  TRect parts[4];
  const int n = FrameParts(x1, y1, x2, y2, parts);
  bool any = false;
  for (int i = 0; i < n; ++i) {
    const TRect r = Intersect(parts[i], BoundsRect());
    for (std::int64_t y = r.Top; y < r.Bottom; ++y) {
      TColor32* row = bits_.data() + y * width_;
      for (std::int64_t x = r.Left; x < r.Right; ++x)
        row[x] ^= kRedBits;
      any = true;
    }
  }
  if (any) Changed();
}

void DrawDesignFrame(TBitmap32& bitmap, std::int64_t x, std::int64_t y, std::int64_t w,
                     std::int64_t h) {
  bitmap.XorOutline(x, y - h, x + w, y);
}

void TBitmap32::BlendPixel(std::int64_t x, std::int64_t y, TColor32 colour, unsigned coverage) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || coverage == 0) return;
  TColor32& p = bits_[static_cast<std::size_t>(y * width_ + x)];
  p = BlendColour(p, colour, coverage);
}

// --- Copies -----------------------------------------------------------------------------------

void TBitmap32::Draw(std::int64_t x, std::int64_t y, const TBitmap32& source) {
  Draw(x, y, source.BoundsRect(), source);
}

void TBitmap32::Draw(std::int64_t x, std::int64_t y, const TRect& source_rect,
                     const TBitmap32& source) {
  // Only the part of the source rectangle inside the source, at its place in the rectangle.
  const TRect s = Intersect(source_rect, source.BoundsRect());
  if (s.Empty()) return;
  const std::int64_t dx = x + (s.Left - source_rect.Left);
  const std::int64_t dy = y + (s.Top - source_rect.Top);
  const TRect d = Intersect({dx, dy, dx + s.Width(), dy + s.Height()}, BoundsRect());
  if (d.Empty()) return;
  const std::int64_t sx = s.Left + (d.Left - dx);
  const std::int64_t sy = s.Top + (d.Top - dy);
  const std::size_t count = static_cast<std::size_t>(d.Width());
  for (std::int64_t row = 0; row < d.Height(); ++row) {
    std::memmove(bits_.data() + (d.Top + row) * width_ + d.Left,
                 source.bits_.data() + (sy + row) * source.width_ + sx, count * sizeof(TColor32));
  }
  Changed();
}

void TBitmap32::Draw(const TRect& dest_rect, const TRect& source_rect, const TBitmap32& source) {
  if (dest_rect.Empty() || source_rect.Empty()) return;
  if (dest_rect.Width() == source_rect.Width() && dest_rect.Height() == source_rect.Height()) {
    Draw(dest_rect.Left, dest_rect.Top, source_rect, source);
    return;
  }
  const TRect d = Intersect(dest_rect, BoundsRect());
  if (d.Empty()) return;
  // Nearest neighbour: each destination pixel takes the source pixel under its centre.
  const auto map = [](std::int64_t i, std::int64_t dest_len, std::int64_t src_start,
                      std::int64_t src_len) {
    const Int128 num = (static_cast<Int128>(i) * 2 + 1) * src_len;
    return src_start + static_cast<std::int64_t>(num / (static_cast<Int128>(dest_len) * 2));
  };
  std::vector<std::int64_t> columns(static_cast<std::size_t>(d.Width()));
  for (std::int64_t x = d.Left; x < d.Right; ++x) {
    columns[static_cast<std::size_t>(x - d.Left)] =
        map(x - dest_rect.Left, dest_rect.Width(), source_rect.Left, source_rect.Width());
  }
  bool any = false;
  for (std::int64_t y = d.Top; y < d.Bottom; ++y) {
    const std::int64_t sy =
        map(y - dest_rect.Top, dest_rect.Height(), source_rect.Top, source_rect.Height());
    if (sy < 0 || sy >= source.height_) continue;
    const TColor32* src = source.bits_.data() + sy * source.width_;
    TColor32* dst = bits_.data() + y * width_;
    for (std::int64_t x = d.Left; x < d.Right; ++x) {
      const std::int64_t sx = columns[static_cast<std::size_t>(x - d.Left)];
      if (sx < 0 || sx >= source.width_) continue;
      dst[x] = src[sx];
      any = true;
    }
  }
  if (any) Changed();
}

// --- Polygons ---------------------------------------------------------------------------------

namespace {

constexpr int kSub = 8;             // samples per pixel along each axis
constexpr int kFull = kSub * kSub;  // samples per pixel

}  // namespace

void TPolygon32::Cover(int width, int height, TPolygonCoverage& out) const {
  out.Rows.clear();
  out.Samples.clear();
  const std::size_t n = points_.size();
  if (n < 3 || width <= 0 || height <= 0) return;
  std::int64_t ymin = points_[0].Y, ymax = points_[0].Y;
  for (const TPoint64& p : points_) {
    ymin = std::min(ymin, p.Y);
    ymax = std::max(ymax, p.Y);
  }
  const std::int64_t row_first = std::max<std::int64_t>(ymin, 0);
  const std::int64_t row_last = std::min<std::int64_t>(ymax, height);  // exclusive
  if (row_first >= row_last) return;

  struct TEdge {
    double X0, Y0, X1, Y1, Slope;
  };
  std::vector<TEdge> edges;
  edges.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    const TPoint64& a = points_[i];
    const TPoint64& b = points_[(i + 1) % n];
    if (a.Y == b.Y) continue;
    const double x0 = static_cast<double>(a.X), y0 = static_cast<double>(a.Y);
    const double x1 = static_cast<double>(b.X), y1 = static_cast<double>(b.Y);
    edges.push_back({x0, y0, x1, y1, (x1 - x0) / (y1 - y0)});
  }

  const double max_sample = static_cast<double>(width) * kSub;
  std::vector<int> direct(static_cast<std::size_t>(width) + 2, 0);
  std::vector<int> delta(static_cast<std::size_t>(width) + 2, 0);
  std::vector<double> crossings;
  for (std::int64_t row = row_first; row < row_last; ++row) {
    std::int64_t touched_lo = width, touched_hi = -1;
    for (int j = 0; j < kSub; ++j) {
      const double ys = static_cast<double>(row) + (j + 0.5) / kSub;
      crossings.clear();
      for (const TEdge& e : edges) {
        if ((ys >= e.Y0 && ys < e.Y1) || (ys >= e.Y1 && ys < e.Y0)) {
          crossings.push_back(e.X0 + (ys - e.Y0) * e.Slope);
        }
      }
      std::sort(crossings.begin(), crossings.end());
      for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
        // Samples sit at the centres of an 8 x 8 grid in each pixel.
        const double a = std::clamp(std::ceil(crossings[k] * kSub - 0.5), 0.0, max_sample);
        const double b = std::clamp(std::ceil(crossings[k + 1] * kSub - 0.5), 0.0, max_sample);
        const auto sa = static_cast<std::int64_t>(a);
        const auto sb = static_cast<std::int64_t>(b);
        if (sa >= sb) continue;
        const std::int64_t pa = sa / kSub;
        const std::int64_t pb = sb / kSub;
        if (pa == pb) {
          direct[static_cast<std::size_t>(pa)] += static_cast<int>(sb - sa);
        } else {
          direct[static_cast<std::size_t>(pa)] += static_cast<int>(kSub - (sa % kSub));
          delta[static_cast<std::size_t>(pa + 1)] += kSub;
          delta[static_cast<std::size_t>(pb)] -= kSub;
          direct[static_cast<std::size_t>(pb)] += static_cast<int>(sb % kSub);
        }
        touched_lo = std::min(touched_lo, pa);
        touched_hi = std::max(touched_hi, pb);
      }
    }
    if (touched_hi < touched_lo) continue;
    const std::int64_t last = std::min<std::int64_t>(touched_hi, width - 1);
    out.Rows.push_back(
        {row, touched_lo, out.Samples.size(),
         static_cast<std::size_t>(std::max<std::int64_t>(last - touched_lo + 1, 0))});
    int run = 0;
    for (std::int64_t px = touched_lo; px <= touched_hi; ++px) {
      const auto i = static_cast<std::size_t>(px);
      run += delta[i];
      const int count = run + direct[i];
      direct[i] = 0;
      delta[i] = 0;
      if (px <= last) out.Samples.push_back(static_cast<std::uint8_t>(std::clamp(count, 0, kFull)));
    }
    delta[static_cast<std::size_t>(touched_hi) + 1] = 0;
  }
}

void FillCoverageRow(TBitmap32& bitmap, const TPolygonCoverage& coverage, std::size_t row,
                     TColor32 colour, std::int64_t dx, std::int64_t dy, std::int64_t from,
                     std::int64_t to) {
  const TPolygonCoverage::TRow& r = coverage.Rows[row];
  const std::int64_t y = r.Y + dy;
  if (y < 0 || y >= bitmap.Height()) return;
  const std::int64_t width = bitmap.Width();
  // Columns of the row, of the span asked for, and inside the bitmap.
  from = std::max({from, r.Left, -dx});
  to = std::min({to, r.Left + static_cast<std::int64_t>(r.Count), width - dx});
  TColor32* dst = bitmap.Bits() + y * width + dx;
  const std::uint8_t* counts = coverage.Samples.data() + r.Offset - r.Left;
  for (std::int64_t px = from; px < to; ++px) {
    const int count = counts[px];
    if (count <= 0) continue;
    if (count >= kFull) {
      dst[px] = colour | 0xFF000000u;
    } else {
      dst[px] = BlendColour(dst[px], colour, static_cast<unsigned>((count * 255 + 32) / kFull));
    }
  }
}

void FillCoverage(TBitmap32& bitmap, const TPolygonCoverage& coverage, TColor32 colour) {
  for (std::size_t i = 0; i < coverage.Rows.size(); ++i) {
    const TPolygonCoverage::TRow& r = coverage.Rows[i];
    FillCoverageRow(bitmap, coverage, i, colour, 0, 0, r.Left,
                    r.Left + static_cast<std::int64_t>(r.Count));
  }
  bitmap.Changed();
}

void TPolygon32::DrawFill(TBitmap32& bitmap, TColor32 colour) const {
  if (points_.size() < 3 || bitmap.Empty()) return;
  TPolygonCoverage coverage;
  Cover(bitmap.Width(), bitmap.Height(), coverage);
  FillCoverage(bitmap, coverage, colour);
}

namespace {

template <typename Plot>
void PlotInside(int width, int height, std::int64_t x, std::int64_t y, unsigned coverage,
                Plot& plot) {
  if (x >= 0 && y >= 0 && x < width && y < height && coverage != 0) plot(x, y, coverage);
}

// One antialiased line from (x0, y0) towards (x1, y1) through pixel centres, the end pixel
// only when asked; each step along the major axis shares its weight between two pixels.
// `plot(x, y, coverage)` is called for each pixel inside a width x height raster with some
// weight.
template <typename Plot>
void WuLine(int width, int height, TPoint64 p0, TPoint64 p1, bool include_end, Plot plot) {
  const std::int64_t dx = p1.X - p0.X;
  const std::int64_t dy = p1.Y - p0.Y;
  const bool x_major = std::llabs(dx) >= std::llabs(dy);
  const std::int64_t major = x_major ? dx : dy;
  const std::int64_t minor = x_major ? dy : dx;
  const std::int64_t len = std::llabs(major);
  const std::int64_t step = major >= 0 ? 1 : -1;
  const std::int64_t m0 = x_major ? p0.X : p0.Y;
  const std::int64_t n0 = x_major ? p0.Y : p0.X;
  const std::int64_t extent = x_major ? width : height;

  std::int64_t t_first = 0;
  std::int64_t t_last = include_end ? len : len - 1;
  // Keep to the steps whose major coordinate lies inside the bitmap.
  if (step > 0) {
    t_first = std::max(t_first, -m0);
    t_last = std::min(t_last, extent - 1 - m0);
  } else {
    t_first = std::max(t_first, m0 - (extent - 1));
    t_last = std::min(t_last, m0);
  }
  for (std::int64_t t = t_first; t <= t_last; ++t) {
    const std::int64_t m = m0 + t * step;
    Int128 pos = static_cast<Int128>(n0) * 65536;
    if (len != 0) {
      Int128 num = static_cast<Int128>(t) * minor * 65536;
      Int128 q = num / len;
      if (num % len != 0 && num < 0) --q;  // floor
      pos += q;
    }
    Int128 whole = pos / 65536;
    if (pos % 65536 != 0 && pos < 0) --whole;
    const auto n = static_cast<std::int64_t>(whole);
    const auto frac = static_cast<unsigned>(pos - whole * 65536);
    const unsigned w_near = ((65536u - frac) * 255u + 32768u) >> 16;
    const unsigned w_far = (frac * 255u + 32768u) >> 16;
    if (x_major) {
      PlotInside(width, height, m, n, w_near, plot);
      PlotInside(width, height, m, n + 1, w_far, plot);
    } else {
      PlotInside(width, height, n, m, w_near, plot);
      PlotInside(width, height, n + 1, m, w_far, plot);
    }
  }
}

// The outline through `points` as DrawEdge draws it.
template <typename Plot>
void TracePolyline(const std::vector<TPoint64>& points, bool closed, int width, int height,
                   Plot plot) {
  const std::size_t n = points.size();
  if (n == 0) return;
  if (n == 1) {
    PlotInside(width, height, points[0].X, points[0].Y, 255, plot);
    return;
  }
  // Every vertex is drawn once: each segment stops short of its end, and an open line adds
  // its last point.
  const std::size_t segments = closed ? n : n - 1;
  for (std::size_t i = 0; i < segments; ++i) {
    const bool last_open = !closed && i + 1 == segments;
    WuLine(width, height, points[i], points[(i + 1) % n], last_open, plot);
  }
}

}  // namespace

void TPolygon32::DrawEdge(TBitmap32& bitmap, TColor32 colour) const {
  if (points_.empty() || bitmap.Empty()) return;
  TracePolyline(points_, Closed, bitmap.Width(), bitmap.Height(),
                [&](std::int64_t x, std::int64_t y, unsigned coverage) {
                  bitmap.BlendPixel(x, y, colour, coverage);
                });
  bitmap.Changed();
}

void TPolygon32::EdgePixels(int width, int height, std::vector<TEdgePixel>& out) const {
  out.clear();
  TracePolyline(points_, Closed, width, height,
                [&](std::int64_t x, std::int64_t y, unsigned coverage) {
                  out.push_back({static_cast<std::int32_t>(x), static_cast<std::int32_t>(y),
                                 static_cast<std::uint8_t>(coverage)});
                });
}

}  // namespace roarmark
