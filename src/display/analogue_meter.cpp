// Analogue meter renderer. The box is composed in a scratch bitmap no larger than the part of
// the box inside the display, starting from the meter backing, then copied into the display.
// From one buffer to the next only the rows under the old and new needles are composed again,
// and only the pixels that differ are copied on and handed to the display image.
#include "display/analogue_meter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include "display/drawn_record.h"
#include "display/readout.h"

namespace roarmark {

namespace {

// Nearest integer, halves to even.
std::int64_t RoundEven(double v) {
  return static_cast<std::int64_t>(std::nearbyint(v));
}

}  // namespace

double NeedleAngle(int position) {
  const double degrees = static_cast<double>(position / 4) / 2.13 - 60.0;
  return degrees * std::numbers::pi / 180.0;
}

std::int64_t NeedleLength(int meter_height) {
  return std::int64_t{meter_height} * 95 / 100;
}

TNeedleVertices NeedleVertices(std::int64_t px, std::int64_t py, double a, std::int64_t length) {
  const double w = static_cast<double>(kNeedleHalfWidth);
  const double l = static_cast<double>(length);
  // The quarter turn is a single-precision constant, as the needle has always been drawn.
  const double h = static_cast<double>(1.5707964f) - a;
  TNeedleVertices v;
  v.Pivot = {px, py};
  v.T = {px + RoundEven(std::sin(a) * (l + w)), py - RoundEven(std::cos(a) * (l + w))};
  v.A = {px - RoundEven(std::sin(h) * w), py - RoundEven(std::cos(h) * w)};
  v.B = {px + RoundEven(std::sin(h) * w), py + RoundEven(std::cos(h) * w)};
  v.R = {v.B.X + RoundEven(std::sin(a - 0.015) * l), v.B.Y - RoundEven(std::cos(a - 0.015) * l)};
  v.S = {v.A.X + RoundEven(std::sin(a + 0.015) * l), v.A.Y - RoundEven(std::cos(a + 0.015) * l)};
  return v;
}

void DrawNeedle(const TDisplayState& display, const TMeterSettings& s, TBitmap32& bitmap,
                std::int64_t px, std::int64_t py, double angle, TColor colour) {
  const TNeedleVertices v = NeedleVertices(px, py, angle, NeedleLength(s.MeterHeight));
  TPolygon32 needle;
  for (const TPoint64& p : {v.Pivot, v.B, v.R, v.T, v.S, v.A})
    needle.Add(p.X, p.Y);
  needle.DrawFill(bitmap, Color32(colour, display.SystemColours));

  TPolygon32 edge;
  edge.Closed = false;
  for (const TPoint64& p : {v.T, v.R, v.B})
    edge.Add(p.X, p.Y);
  edge.DrawEdge(bitmap, Color32(s.BaseColor, display.SystemColours));
}

namespace {

std::int64_t Area(const TRect& r) {
  return r.Empty() ? 0 : r.Width() * r.Height();
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

void Widen(TSpan& span, std::int64_t left, std::int64_t right) {
  if (span.Empty()) {
    span = {left, right};
  } else {
    span.Left = std::min(span.Left, left);
    span.Right = std::max(span.Right, right);
  }
}

// The needle's shape at angle step `step` in a scratch of `width` x `height`, worked out the
// first time it is asked for.
const TNeedleShape& ShapeFor(TNeedleMasks& masks, int width, int height, std::int64_t px,
                             std::int64_t py, std::int64_t length, int step) {
  if (masks.Width != width || masks.Height != height || masks.PivotX != px || masks.PivotY != py ||
      masks.Length != length) {
    masks.ByStep.clear();
    masks.Width = width;
    masks.Height = height;
    masks.PivotX = px;
    masks.PivotY = py;
    masks.Length = length;
  }
  auto [it, added] = masks.ByStep.try_emplace(step);
  TNeedleShape& shape = it->second;
  if (!added) return shape;
  const TNeedleVertices v = NeedleVertices(px, py, NeedleAngle(step * 4), length);
  shape.Vertices = {v.Pivot, v.B, v.R, v.T, v.S, v.A};
  TPolygon32 needle;
  for (const TPoint64& p : shape.Vertices)
    needle.Add(p.X, p.Y);
  needle.Cover(width, height, shape.Fill);
  TPolygon32 edge;
  edge.Closed = false;
  for (const TPoint64& p : {v.T, v.R, v.B})
    edge.Add(p.X, p.Y);
  edge.EdgePixels(width, height, shape.Edge);
  // In row order, each pixel's blends still in drawing order, so that a few rows can be drawn.
  std::stable_sort(shape.Edge.begin(), shape.Edge.end(),
                   [](const TEdgePixel& a, const TEdgePixel& b) { return a.Y < b.Y; });

  std::int64_t top = height, bottom = 0;
  for (const TPolygonCoverage::TRow& r : shape.Fill.Rows) {
    top = std::min(top, r.Y);
    bottom = std::max(bottom, r.Y + 1);
  }
  for (const TEdgePixel& e : shape.Edge) {
    top = std::min<std::int64_t>(top, e.Y);
    bottom = std::max<std::int64_t>(bottom, e.Y + 1);
  }
  shape.Top = top;
  shape.Spans.assign(static_cast<std::size_t>(std::max<std::int64_t>(bottom - top, 0)), TSpan{});
  for (const TPolygonCoverage::TRow& r : shape.Fill.Rows) {
    const std::uint8_t* counts = shape.Fill.Samples.data() + r.Offset;
    TSpan& span = shape.Spans[static_cast<std::size_t>(r.Y - top)];
    for (std::size_t k = 0; k < r.Count; ++k) {
      if (counts[k] == 0) continue;
      const std::int64_t x = r.Left + static_cast<std::int64_t>(k);
      Widen(span, x, x + 1);
    }
  }
  for (const TEdgePixel& e : shape.Edge)
    Widen(shape.Spans[static_cast<std::size_t>(e.Y - top)], e.X, e.X + 1);
  return shape;
}

void DrawShape(TBitmap32& m, const TNeedleShape& shape, TColor32 fill, TColor32 edge) {
  FillCoverage(m, shape.Fill, fill);
  for (const TEdgePixel& e : shape.Edge)
    m.BlendPixel(e.X, e.Y, edge, e.Weight);
}

// DrawShape for the pixels inside the spans of the rows from `top` only.
void DrawShapeWithin(TBitmap32& m, const TNeedleShape& shape, TColor32 fill, TColor32 edge,
                     std::int64_t top, const std::vector<TRowSpans>& spans) {
  const auto bottom = top + static_cast<std::int64_t>(spans.size());
  if (shape.Top >= bottom || shape.Top + static_cast<std::int64_t>(shape.Spans.size()) <= top)
    return;
  FillCoverageWithin(m, shape.Fill, fill, top, spans);
  // The edge pixels are in row order.
  auto e = std::lower_bound(shape.Edge.begin(), shape.Edge.end(), top,
                            [](const TEdgePixel& p, std::int64_t y) { return p.Y < y; });
  for (; e != shape.Edge.end() && e->Y < bottom; ++e) {
    for (const TSpan& span : spans[static_cast<std::size_t>(e->Y - top)]) {
      if (e->X >= span.Left && e->X < span.Right) m.BlendPixel(e->X, e->Y, edge, e->Weight);
    }
  }
}

// A further rectangle handed to the display image costs about as much as this many pixels
// copied along with it.
constexpr std::int64_t kAreaCost = 1024;

// Rectangles covering the changed spans, a few rows at a time: a rectangle grows down while the
// unchanged pixels it takes along stay within the cost of another rectangle, so a slanting
// needle is covered by a staircase and an upright one by one tall strip.
void CoverSpans(std::int64_t top, const std::vector<TRowSpans>& rows, std::vector<TRect>& out) {
  struct TOpen {
    TRect Rect;
    std::int64_t Exact = 0;  // changed pixels inside
  };
  std::vector<TOpen> open;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const std::int64_t y = top + static_cast<std::int64_t>(i);
    for (const TSpan& span : rows[i]) {
      if (span.Empty()) continue;
      const TRect line{span.Left, y, span.Right, y + 1};
      // The open rectangle that takes this span on most cheaply.
      std::size_t best = open.size();
      std::int64_t best_waste = 0;
      for (std::size_t k = 0; k < open.size(); ++k) {
        const TRect grown = Union(open[k].Rect, line);
        const std::int64_t waste = Area(grown) - open[k].Exact - span.Right + span.Left;
        if (waste <= kAreaCost && (best == open.size() || waste < best_waste)) {
          best = k;
          best_waste = waste;
        }
      }
      if (best < open.size()) {
        open[best].Rect = Union(open[best].Rect, line);
        open[best].Exact += span.Right - span.Left;
        continue;
      }
      // Rectangles this span's row has left behind are finished.
      for (std::size_t k = 0; k < open.size();) {
        if (open[k].Rect.Bottom < y) {
          out.push_back(open[k].Rect);
          open.erase(open.begin() + static_cast<std::ptrdiff_t>(k));
        } else {
          ++k;
        }
      }
      open.push_back({line, span.Right - span.Left});
    }
  }
  for (const TOpen& o : open)
    out.push_back(o.Rect);
}

}  // namespace

void DrawAnalogueMeter(TDisplayState& display, const TMeterSettings& s, const TMeterState& state,
                       int position) {
  if (s.MeterWidth <= 0 || s.MeterHeight <= 0) return;
  BeginDrawing(display);
  const TRect box = MeterBox(s);
  const TRect visible = Intersect(box, display.DisplayBitmap.BoundsRect());
  if (visible.Empty()) return;
  // A backing saved for another box (the style switched before any re-layout) is useless.
  if (display.MeterBackingRect != visible || display.MeterBacking.Width() != visible.Width() ||
      display.MeterBacking.Height() != visible.Height()) {
    TakeMeterBacking(display, display.BackgroundBitmap, visible);
  }

  // Box coordinates inside the scratch bitmap, which covers the visible part of the box.
  const std::int64_t ox = box.Left - visible.Left;
  const std::int64_t oy = box.Top - visible.Top;
  const std::int64_t px = ox + s.MeterWidth / 2;
  const std::int64_t py = oy + std::int64_t{s.MeterHeight} - s.PivotOffset + 16;
  const std::int64_t length = NeedleLength(s.MeterHeight);
  const bool framed = s.AllowDrag || display.MeterSelected;
  const bool peak = s.ColorPeak && state.PeakMarker > 10;
  const int width = static_cast<int>(visible.Width());
  const int height = static_cast<int>(visible.Height());

  TDrawnNeedles next;
  next.Valid = !framed;
  next.Box = box;
  next.Visible = visible;
  next.PivotX = px;
  next.PivotY = py;
  next.Length = length;
  next.Needle = Color32(s.TopColor, display.SystemColours);
  next.Edge = Color32(s.BaseColor, display.SystemColours);
  next.Peak = Color32(s.PeakColor, display.SystemColours);
  next.Step = position / 4;
  next.PeakStep = peak ? state.PeakMarker / 4 : -1;

  TDrawnNeedles& drawn = display.Drawn.Needles;
  TNeedleMasks& masks = display.NeedleMasks;
  TBitmap32& m = display.MeterScratch;
  auto shape = [&](int step) -> const TNeedleShape* {
    return step < 0 ? nullptr : &ShapeFor(masks, width, height, px, py, length, step);
  };
  const TNeedleShape* needle = shape(next.Step);
  const TNeedleShape* peak_needle = shape(next.PeakStep);
  // The scratch and the display still hold the last meter when the record fits, so only the
  // rows under needles that moved are composed again, and only pixels that differ are handed on.
  const bool same_scene = drawn.Valid && next.Valid && drawn.Box == box &&
                          drawn.Visible == visible && drawn.PivotX == px && drawn.PivotY == py &&
                          drawn.Length == length && drawn.Needle == next.Needle &&
                          drawn.Edge == next.Edge && drawn.Peak == next.Peak &&
                          m.Width() == width && m.Height() == height;
  if (!same_scene) {
    m.SetSize(width, height);
    m.Draw(0, 0, display.MeterBacking);
    if (framed) m.FrameRectS(ox, oy, ox + s.MeterWidth, oy + s.MeterHeight, next.Needle);
    if (peak_needle) DrawShape(m, *peak_needle, next.Peak, next.Edge);
    DrawShape(m, *needle, next.Needle, next.Edge);
    m.Changed();
    display.DisplayBitmap.Draw(visible.Left, visible.Top, m);
    NoteDrawn(display, visible, TDrawnPart::Meter);
    drawn = next;
    return;
  }

  const TNeedleShape* old_needle = shape(drawn.Step);
  const TNeedleShape* old_peak = shape(drawn.PeakStep);
  const bool needle_moved = old_needle->Vertices != needle->Vertices;
  const bool peak_moved = (old_peak == nullptr) != (peak_needle == nullptr) ||
                          (old_peak && old_peak->Vertices != peak_needle->Vertices);
  drawn = next;
  // Less than a pixel's move of the tip leaves the same vertices, and so the same pixels.
  if (!needle_moved && !peak_moved) return;

  // Rows to compose again: under the old and the new needle, and under the old and the new peak
  // needle when it moved, a span each a row; spans merge where they meet.
  std::int64_t top = height, bottom = 0;
  const TNeedleShape* moved[4] = {needle_moved ? old_needle : nullptr,
                                  needle_moved ? needle : nullptr, peak_moved ? old_peak : nullptr,
                                  peak_moved ? peak_needle : nullptr};
  for (const TNeedleShape* sh : moved) {
    if (!sh || sh->Spans.empty()) continue;
    top = std::min(top, sh->Top);
    bottom = std::max(bottom, sh->Top + static_cast<std::int64_t>(sh->Spans.size()));
  }
  if (top >= bottom) return;
  const auto rows = static_cast<std::size_t>(bottom - top);
  std::vector<TRowSpans>& layers = masks.Layers;
  layers.assign(rows, {});
  for (int k = 0; k < 4; ++k) {
    if (!moved[k]) continue;
    for (std::size_t i = 0; i < moved[k]->Spans.size(); ++i)
      layers[static_cast<std::size_t>(moved[k]->Top - top) + i][static_cast<std::size_t>(k)] =
          moved[k]->Spans[i];
  }
  for (TRowSpans& row : layers) {
    // Spans that meet become one, so that no pixel is in two.
    std::sort(row.begin(), row.end(), [](const TSpan& a, const TSpan& b) {
      return a.Empty() != b.Empty() ? b.Empty() : a.Left < b.Left;
    });
    std::size_t n = 0;
    for (std::size_t k = 0; k < row.size() && !row[k].Empty(); ++k) {
      if (n > 0 && row[k].Left <= row[n - 1].Right)
        row[n - 1].Right = std::max(row[n - 1].Right, row[k].Right);
      else
        row[n++] = row[k];
    }
    for (std::size_t k = n; k < row.size(); ++k)
      row[k] = {};
  }
  // Background back under the spans, then the needles.
  const TColor32* backing = display.MeterBacking.Bits();
  TColor32* scratch = m.Bits();
  for (std::size_t i = 0; i < rows; ++i) {
    const std::int64_t row = (top + static_cast<std::int64_t>(i)) * width;
    for (const TSpan& span : layers[i]) {
      if (span.Empty()) continue;
      std::memcpy(scratch + row + span.Left, backing + row + span.Left,
                  static_cast<std::size_t>(span.Right - span.Left) * sizeof(TColor32));
    }
  }
  // Pixels outside the spans were not restored: needles drawn there again would blend twice.
  if (peak_needle) DrawShapeWithin(m, *peak_needle, next.Peak, next.Edge, top, layers);
  DrawShapeWithin(m, *needle, next.Needle, next.Edge, top, layers);
  m.Changed();

  // Onto the display: only the pixels that differ from what it shows.
  TBitmap32& screen = display.DisplayBitmap;
  TColor32* shown = screen.Bits();
  const std::int64_t stride = screen.Width();
  bool copied = false;
  for (std::size_t i = 0; i < rows; ++i) {
    const std::int64_t y = top + static_cast<std::int64_t>(i);
    for (TSpan& span : layers[i]) {
      if (span.Empty()) continue;
      const TColor32* from = scratch + y * width;
      TColor32* to = shown + (y + visible.Top) * stride + visible.Left;
      std::int64_t l = span.Left, r = span.Right;
      while (l < r && from[l] == to[l])
        ++l;
      while (r > l && from[r - 1] == to[r - 1])
        --r;
      span = {l, r};
      if (l >= r) continue;
      std::memcpy(to + l, from + l, static_cast<std::size_t>(r - l) * sizeof(TColor32));
      copied = true;
    }
  }
  if (!copied) return;
  screen.Changed();
  std::vector<TRect>& areas = masks.Areas;
  areas.clear();
  CoverSpans(top, layers, areas);
  for (const TRect& area : areas)
    NoteDrawn(display, Offset(area, visible.Left, visible.Top), TDrawnPart::Meter);
}

}  // namespace roarmark
