// Analogue meter renderer. The box is composed in the display from the meter backing, the
// needles clipped to the part of the box inside the display. From one buffer to the next only
// the pixels under the old and new needles are composed again.
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

void Widen(TNeedleSpan& span, std::int64_t left, std::int64_t right) {
  if (left >= right) return;
  if (span.Left >= span.Right) {
    span = {static_cast<std::int32_t>(left), static_cast<std::int32_t>(right)};
    return;
  }
  span.Left = std::min(span.Left, static_cast<std::int32_t>(left));
  span.Right = std::max(span.Right, static_cast<std::int32_t>(right));
}

// The needle at angle step `step` in a box of `width` x `height` visible pixels, worked out the
// first time it is asked for.
TNeedleShape& ShapeOf(TNeedleShapes& shapes, int width, int height, std::int64_t px,
                      std::int64_t py, std::int64_t length, int step) {
  if (shapes.Width != width || shapes.Height != height || shapes.PivotX != px ||
      shapes.PivotY != py || shapes.Length != length) {
    shapes.ByStep.clear();
    shapes.Pixels = 0;
    shapes.Peak = {};
    shapes.Width = width;
    shapes.Height = height;
    shapes.PivotX = px;
    shapes.PivotY = py;
    shapes.Length = length;
  }
  auto [it, added] = shapes.ByStep.try_emplace(step);
  TNeedleShape& shape = it->second;
  if (!added) return shape;
  const TNeedleVertices v = NeedleVertices(px, py, NeedleAngle(step * 4), length);
  TPolygon32 needle;
  for (const TPoint64& p : {v.Pivot, v.B, v.R, v.T, v.S, v.A})
    needle.Add(p.X, p.Y);
  needle.Cover(width, height, shape.Fill);
  TPolygon32 edge;
  edge.Closed = false;
  for (const TPoint64& p : {v.T, v.R, v.B})
    edge.Add(p.X, p.Y);
  edge.EdgePixels(width, height, shape.Edge);

  std::int64_t top = height, bottom = 0;
  for (const TPolygonCoverage::TRow& r : shape.Fill.Rows) {
    top = std::min(top, r.Y);
    bottom = std::max(bottom, r.Y + 1);
  }
  for (const TEdgePixel& p : shape.Edge) {
    top = std::min<std::int64_t>(top, p.Y);
    bottom = std::max<std::int64_t>(bottom, p.Y + 1);
  }
  if (top >= bottom) return shape;
  shape.Top = top;
  const auto rows = static_cast<std::size_t>(bottom - top);
  shape.Rows.assign(rows, {});
  for (std::size_t i = 0; i < shape.Fill.Rows.size(); ++i) {
    const TPolygonCoverage::TRow& r = shape.Fill.Rows[i];
    const auto row = static_cast<std::size_t>(r.Y - top);
    const auto count = static_cast<std::int64_t>(r.Count);
    Widen(shape.Rows[row].Touched, r.Left, r.Left + count);
    // The run of whole pixels: a needle is convex, so a row has one at most.
    const std::uint8_t* samples = shape.Fill.Samples.data() + r.Offset;
    std::int64_t first = 0;
    while (first < count && samples[first] < TPolygonCoverage::kWhole)
      ++first;
    std::int64_t end = first;
    while (end < count && samples[end] >= TPolygonCoverage::kWhole)
      ++end;
    if (first < end) {
      shape.Rows[row].Solid = {static_cast<std::int32_t>(r.Left + first),
                               static_cast<std::int32_t>(r.Left + end)};
    }
  }
  for (const TEdgePixel& p : shape.Edge) {
    const auto row = static_cast<std::size_t>(p.Y - top);
    Widen(shape.Rows[row].Touched, p.X, p.X + 1);
    // The edge blends over the fill: the longer side of the solid run stays solid.
    TNeedleSpan& solid = shape.Rows[row].Solid;
    if (p.X < solid.Left || p.X >= solid.Right) continue;
    if (p.X - solid.Left >= solid.Right - (p.X + 1))
      solid.Right = p.X;
    else
      solid.Left = p.X + 1;
  }
  std::size_t at = 0;
  for (TNeedleRow& row : shape.Rows) {
    row.At = static_cast<std::uint32_t>(at);
    at += static_cast<std::size_t>(std::max(0, row.Touched.Right - row.Touched.Left));
  }
  return shape;
}

// The shape's record of a row; an empty one where the shape does not reach.
const TNeedleRow& RowOf(const TNeedleShape* shape, std::int64_t row) {
  static const TNeedleRow kNone{};
  if (!shape || row < shape->Top) return kNone;
  const auto i = static_cast<std::size_t>(row - shape->Top);
  return i < shape->Rows.size() ? shape->Rows[i] : kNone;
}

// Runs of columns composed again in each row, from row Top on; at most two a row.
struct TRedo {
  std::int64_t Top = 0;
  std::vector<std::array<TNeedleSpan, 2>> Rows;
};

// One needle into the display with its box's top-left at (dx, dy): the fill, then the edge;
// with `redo`, only within its runs.
void DrawShape(TBitmap32& display, const TNeedleShape& shape, TColor32 fill, TColor32 edge,
               std::int64_t dx, std::int64_t dy, const TRedo* redo) {
  auto runs = [&](std::int64_t row) -> const std::array<TNeedleSpan, 2>* {
    if (!redo) return nullptr;
    const std::int64_t i = row - redo->Top;
    static const std::array<TNeedleSpan, 2> kNone{};
    return i >= 0 && i < static_cast<std::int64_t>(redo->Rows.size())
               ? &redo->Rows[static_cast<std::size_t>(i)]
               : &kNone;
  };
  for (std::size_t i = 0; i < shape.Fill.Rows.size(); ++i) {
    const TPolygonCoverage::TRow& r = shape.Fill.Rows[i];
    if (const std::array<TNeedleSpan, 2>* row = runs(r.Y)) {
      for (const TNeedleSpan& run : *row) {
        if (run.Left < run.Right)
          FillCoverageRow(display, shape.Fill, i, fill, dx, dy, run.Left, run.Right);
      }
    } else {
      FillCoverageRow(display, shape.Fill, i, fill, dx, dy, r.Left,
                      r.Left + static_cast<std::int64_t>(r.Count));
    }
  }
  const std::int64_t stride = display.Width();
  TColor32* origin = display.Bits() + dy * stride + dx;
  for (const TEdgePixel& p : shape.Edge) {
    if (const std::array<TNeedleSpan, 2>* row = runs(p.Y)) {
      if (!((p.X >= (*row)[0].Left && p.X < (*row)[0].Right) ||
            (p.X >= (*row)[1].Left && p.X < (*row)[1].Right)))
        continue;
    }
    // Shapes lie inside the visible box, and so inside the display.
    TColor32& pixel = origin[p.Y * stride + p.X];
    pixel = BlendColour(pixel, edge, p.Coverage);
  }
}

// Rows of a picture lie a page or more apart, and in the 25 ms from one buffer to the next most
// leave the caches. The rows under a needle slant, so the processor cannot guess the next as it
// does for a rectangle's: touched one after another, each row waits for memory on its own.
// The copy asks for a row's lines this many rows before its turn, so that the fetches overlap.
constexpr std::int64_t kRowsAhead = 32;

// Asks for the lines holding the first and last of `count` pixels from `first`: a hint only,
// nothing is read.
void FetchAhead(const TColor32* first, std::int64_t count) {
  if (count <= 0) return;
  __builtin_prefetch(first);
  __builtin_prefetch(first + count - 1);
}

// `work(y)` for rows top..bottom-1, `fetch(y)` for each row kRowsAhead rows before its turn.
template <typename Fetch, typename Work>
void RowsFetchedAhead(std::int64_t top, std::int64_t bottom, Fetch fetch, Work work) {
  for (std::int64_t y = top; y < bottom && y < top + kRowsAhead; ++y)
    fetch(y);
  for (std::int64_t y = top; y < bottom; ++y) {
    if (y + kRowsAhead < bottom) fetch(y + kRowsAhead);
    work(y);
  }
}

// How many pixels a shape touches: the length of each of its made-pixel lists.
std::size_t PixelCount(const TNeedleShape& shape) {
  if (shape.Rows.empty()) return 0;
  const TNeedleRow& last = shape.Rows.back();
  return last.At + static_cast<std::size_t>(std::max(0, last.Touched.Right - last.Touched.Left));
}

// `copy(pixels, at, count)` for each row of the shape: its touched pixels in `bitmap` (of the
// visible box) and where they start in the made-pixel lists.
template <typename Copy>
void EachRow(const TNeedleShape& shape, TBitmap32& bitmap, Copy copy) {
  for (std::size_t r = 0; r < shape.Rows.size(); ++r) {
    const TNeedleRow& row = shape.Rows[r];
    if (row.Touched.Left >= row.Touched.Right) continue;
    TColor32* pixels = bitmap.Bits() + (shape.Top + static_cast<std::int64_t>(r)) * bitmap.Width() +
                       row.Touched.Left;
    copy(pixels, static_cast<std::ptrdiff_t>(row.At),
         static_cast<std::size_t>(row.Touched.Right - row.Touched.Left));
  }
}

// The shape as it lies over `backing` in `fill` and `edge`, and the backing under it, into
// `composed` and `under`. The needle is drawn into the backing itself, taken out, and the
// backing put back from its copy.
void Compose(const TNeedleShape& shape, TBitmap32& backing, TColor32 fill, TColor32 edge,
             std::vector<TColor32>& composed, std::vector<TColor32>& under) {
  // Sized before the backing is lent, so that nothing can fail while it holds a needle.
  const std::size_t total = PixelCount(shape);
  under.resize(total);
  composed.resize(total);
  EachRow(shape, backing, [&](const TColor32* pixels, std::ptrdiff_t at, std::size_t count) {
    std::copy_n(pixels, count, under.begin() + at);
  });
  DrawShape(backing, shape, fill, edge, 0, 0, nullptr);
  EachRow(shape, backing, [&](TColor32* pixels, std::ptrdiff_t at, std::size_t count) {
    std::copy_n(pixels, count, composed.begin() + at);
    std::copy_n(under.begin() + at, count, pixels);
  });
}

// The shape's pixels over `backing` in `fill` and `edge`, unless they are made already; `keep`
// is another shape whose pixels are in use.
void MakePixels(TNeedleShapes& shapes, TNeedleShape& shape, const TNeedleShape* keep,
                TBitmap32& backing, TColor32 fill, TColor32 edge) {
  if (shapes.Stamp == 0 || shapes.Backing != backing.ChangeCount() || shapes.Fill != fill ||
      shapes.Edge != edge) {
    shapes.Backing = backing.ChangeCount();
    shapes.Fill = fill;
    shapes.Edge = edge;
    ++shapes.Stamp;
  }
  if (shape.PixelsFor == shapes.Stamp) return;
  const std::size_t total = PixelCount(shape);
  shapes.Pixels -= shape.Composed.size() + shape.Under.size();
  if (shapes.Pixels + 2 * total > shapes.MaxPixels) {
    for (auto& [step, other] : shapes.ByStep) {
      if (&other == &shape || &other == keep) continue;
      shapes.Pixels -= other.Composed.size() + other.Under.size();
      std::vector<TColor32>().swap(other.Composed);
      std::vector<TColor32>().swap(other.Under);
      other.PixelsFor = 0;
    }
  }
  shapes.Pixels += 2 * total;
  Compose(shape, backing, fill, edge, shape.Composed, shape.Under);
  shape.PixelsFor = shapes.Stamp;
}

// The peak needle's pixels over `backing` (at step `step`, in `fill` and `edge`), unless made
// already.
void MakePeakPixels(TNeedleShapes& shapes, const TNeedleShape& shape, int step, TBitmap32& backing,
                    TColor32 fill, TColor32 edge) {
  TPeakPixels& peak = shapes.Peak;
  if (peak.For == shapes.Stamp && peak.Step == step && peak.Fill == fill) return;
  std::vector<TColor32> under;
  Compose(shape, backing, fill, edge, peak.Composed, under);
  peak.For = shapes.Stamp;
  peak.Step = step;
  peak.Fill = fill;
}

// Columns `from`..`to`-1 of display row `line` from a shape's made pixels (`made`, its row
// `row`), where the shape touches them.
void CopyPixels(TColor32* line, const TNeedleRow& row, const std::vector<TColor32>& made,
                std::int64_t from, std::int64_t to) {
  from = std::max<std::int64_t>(from, row.Touched.Left);
  to = std::min<std::int64_t>(to, row.Touched.Right);
  if (from >= to) return;
  std::memcpy(line + from, made.data() + row.At + (from - row.Touched.Left),
              static_cast<std::size_t>(to - from) * sizeof(TColor32));
}

// The runs of a row composed again: every column in `touched` but those the old and the new
// needle (rows `was` and `is`) both paint over wholly.
std::array<TNeedleSpan, 2> RunsOf(TNeedleSpan touched, const TNeedleRow& was,
                                  const TNeedleRow& is) {
  if (touched.Left >= touched.Right) return {};
  const std::int32_t kept_left = std::max({was.Solid.Left, is.Solid.Left, touched.Left});
  const std::int32_t kept_right = std::min({was.Solid.Right, is.Solid.Right, touched.Right});
  if (kept_left < kept_right)
    return {TNeedleSpan{touched.Left, kept_left}, TNeedleSpan{kept_right, touched.Right}};
  return {touched, TNeedleSpan{}};
}

// Bands the changed rows are handed on in; the display image takes each as its own rectangle.
constexpr std::int64_t kNeedleBands = 12;

// The rows top..bottom-1 composed again, handed on in bands, each as wide as the runs composed
// again within it, so a slanting needle does not drag a large rectangle of unchanged pixels
// along. Rows are added from the top down.
class TBands {
 public:
  TBands(std::int64_t top, std::int64_t bottom)
      : top_(top), rows_(bottom - top), count_(std::min(kNeedleBands, bottom - top)) {}

  void Add(std::int64_t y, const std::array<TNeedleSpan, 2>& runs) {
    while (band_ + 1 < count_ && y >= top_ + rows_ * (band_ + 1) / count_)
      ++band_;
    TRect& box = boxes_[static_cast<std::size_t>(band_)];
    for (const TNeedleSpan& r : runs) {
      if (r.Left >= r.Right) continue;
      if (box.Empty()) box = {r.Left, y, r.Right, y + 1};
      box = {std::min<std::int64_t>(box.Left, r.Left), box.Top,
             std::max<std::int64_t>(box.Right, r.Right), y + 1};
    }
  }

  void Note(TDisplayState& display, std::int64_t dx, std::int64_t dy) const {
    for (const TRect& box : boxes_) {
      if (!box.Empty())
        NoteDrawn(display, {box.Left + dx, box.Top + dy, box.Right + dx, box.Bottom + dy},
                  TDrawnPart::Meter);
    }
  }

 private:
  std::int64_t top_, rows_, count_;
  std::int64_t band_ = 0;
  std::array<TRect, kNeedleBands> boxes_{};
};

}  // namespace

void DrawAnalogueMeter(TDisplayState& display, const TMeterSettings& s, const TMeterState& state,
                       int position) {
  if (s.MeterWidth <= 0 || s.MeterHeight <= 0) return;
  BeginDrawing(display);
  const TRect box = MeterBox(s);
  TBitmap32& screen = display.DisplayBitmap;
  const TRect visible = Intersect(box, screen.BoundsRect());
  if (visible.Empty()) return;
  // A backing saved for another box (the style switched before any re-layout) is useless.
  if (display.MeterBackingRect != visible || display.MeterBacking.Width() != visible.Width() ||
      display.MeterBacking.Height() != visible.Height()) {
    TakeMeterBacking(display, display.BackgroundBitmap, visible);
  }

  // Needles are worked out in box coordinates inside the visible part of the box, whose
  // top-left is (dx, dy) in the display; what lies outside that part is never drawn.
  const std::int64_t dx = visible.Left;
  const std::int64_t dy = visible.Top;
  const int width = static_cast<int>(visible.Width());
  const int height = static_cast<int>(visible.Height());
  const std::int64_t ox = box.Left - visible.Left;
  const std::int64_t oy = box.Top - visible.Top;
  const std::int64_t px = ox + s.MeterWidth / 2;
  const std::int64_t py = oy + std::int64_t{s.MeterHeight} - s.PivotOffset + 16;
  const std::int64_t length = NeedleLength(s.MeterHeight);
  const bool framed = s.AllowDrag || display.MeterSelected;
  const bool peak = s.ColorPeak && state.PeakMarker > 10;

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
  auto shape = [&](int step) -> TNeedleShape* {
    return step < 0 ? nullptr : &ShapeOf(display.NeedleShapes, width, height, px, py, length, step);
  };
  TNeedleShape* needle = shape(next.Step);
  const TNeedleShape* peak_needle = shape(next.PeakStep);
  // The display still holds the last meter when the record fits: only pixels the old or new
  // needles touch are composed again from the backing, and not those both needles paint over
  // wholly.
  const bool same_scene = drawn.Valid && next.Valid && drawn.Box == box &&
                          drawn.Visible == visible && drawn.PivotX == px && drawn.PivotY == py &&
                          drawn.Length == length && drawn.Needle == next.Needle &&
                          drawn.Edge == next.Edge && drawn.Peak == next.Peak;
  if (!same_scene) {
    screen.Draw(dx, dy, display.MeterBacking);
    if (framed) screen.FrameRectS(box.Left, box.Top, box.Right, box.Bottom, next.Needle);
    if (peak_needle) DrawShape(screen, *peak_needle, next.Peak, next.Edge, dx, dy, nullptr);
    DrawShape(screen, *needle, next.Needle, next.Edge, dx, dy, nullptr);
    screen.Changed();
    NoteDrawn(display, visible, TDrawnPart::Meter);
    drawn = next;
    return;
  }

  // Less than a pixel's move of the tip leaves the same vertices, and so the same pixels.
  auto same = [&](int a, int b) {
    if (a < 0 || b < 0) return a == b;
    const TNeedleVertices va = NeedleVertices(px, py, NeedleAngle(a * 4), length);
    const TNeedleVertices vb = NeedleVertices(px, py, NeedleAngle(b * 4), length);
    return va.Pivot == vb.Pivot && va.B == vb.B && va.R == vb.R && va.T == vb.T && va.S == vb.S &&
           va.A == vb.A;
  };
  const bool needle_moved = !same(drawn.Step, next.Step);
  const bool peak_moved = !same(drawn.PeakStep, next.PeakStep);
  if (!needle_moved && !peak_moved) return;
  // A needle that stays is drawn again only where pixels under it are composed again.
  TNeedleShape* old_needle = shape(drawn.Step);
  std::array<const TNeedleShape*, 4> moved{};  // null where nothing moved
  if (needle_moved) moved = {old_needle, needle, nullptr, nullptr};
  if (peak_moved) {
    moved[2] = shape(drawn.PeakStep);
    moved[3] = peak_needle;
  }
  std::int64_t top = height, bottom = 0;
  for (const TNeedleShape* n : moved) {
    if (!n || n->Rows.empty()) continue;
    top = std::min(top, n->Top);
    bottom = std::max(bottom, n->Top + static_cast<std::int64_t>(n->Rows.size()));
  }
  if (top >= bottom) {
    drawn = next;
    return;
  }
  // Row by row, every column a moved needle touches, but for those the old and the new needle
  // both paint over wholly.
  TColor32* to = screen.Bits() + dy * screen.Width() + dx;
  const std::int64_t stride = screen.Width();
  TBands bands(top, bottom);
  if (!peak_moved && old_needle) {
    // The needle moved alone: each pixel composed again is the new needle's as it lies over
    // the backing, or the backing's under the old one; both copied from the shapes' own
    // pixels, in one pass with each row's display lines asked for ahead. Where a run meets the
    // peak needle, the backing and the peak needle are copied, and the needle drawn over them.
    TNeedleShapes& shapes = display.NeedleShapes;
    MakePixels(shapes, *old_needle, needle, display.MeterBacking, next.Needle, next.Edge);
    MakePixels(shapes, *needle, old_needle, display.MeterBacking, next.Needle, next.Edge);
    TRedo over_peak;
    if (peak_needle) {
      // After MakePixels, which renews the stamp.
      MakePeakPixels(shapes, *peak_needle, next.PeakStep, display.MeterBacking, next.Peak,
                     next.Edge);
      over_peak.Top = top;
      over_peak.Rows.resize(static_cast<std::size_t>(bottom - top));
    }
    auto touched = [](const TNeedleRow& was, const TNeedleRow& is) {
      TNeedleSpan span = was.Touched;
      Widen(span, is.Touched.Left, is.Touched.Right);
      return span;
    };
    RowsFetchedAhead(
        top, bottom,
        [&](std::int64_t y) {
          const TNeedleSpan span = touched(RowOf(old_needle, y), RowOf(needle, y));
          FetchAhead(to + y * stride + span.Left, span.Right - span.Left);
        },
        [&](std::int64_t y) {
          const TNeedleRow& was = RowOf(old_needle, y);
          const TNeedleRow& is = RowOf(needle, y);
          const TNeedleRow& peak_row = RowOf(peak_needle, y);
          const std::array<TNeedleSpan, 2> runs = RunsOf(touched(was, is), was, is);
          TColor32* line = to + y * stride;
          for (std::size_t k = 0; k < runs.size(); ++k) {
            const TNeedleSpan& r = runs[k];
            if (r.Left >= r.Right) continue;
            if (peak_row.Touched.Left < r.Right && r.Left < peak_row.Touched.Right) {
              CopyPixels(line, was, old_needle->Under, r.Left, r.Right);
              CopyPixels(line, is, needle->Under, r.Left, r.Right);
              CopyPixels(line, peak_row, shapes.Peak.Composed, r.Left, r.Right);
              over_peak.Rows[static_cast<std::size_t>(y - top)][k] = r;
              continue;
            }
            if (is.Touched.Left >= is.Touched.Right) {
              CopyPixels(line, was, old_needle->Under, r.Left, r.Right);
              continue;
            }
            CopyPixels(line, was, old_needle->Under, r.Left, std::min(r.Right, is.Touched.Left));
            CopyPixels(line, is, needle->Composed, r.Left, r.Right);
            CopyPixels(line, was, old_needle->Under, std::max(r.Left, is.Touched.Right), r.Right);
          }
          bands.Add(y, runs);
        });
    if (peak_needle) DrawShape(screen, *needle, next.Needle, next.Edge, dx, dy, &over_peak);
    screen.Changed();
    bands.Note(display, dx, dy);
    drawn = next;
    return;
  }
  TRedo redo;
  redo.Top = top;
  redo.Rows.resize(static_cast<std::size_t>(bottom - top));
  for (std::int64_t y = top; y < bottom; ++y) {
    TNeedleSpan touched;
    for (const TNeedleShape* n : moved) {
      const TNeedleSpan t = RowOf(n, y).Touched;
      Widen(touched, t.Left, t.Right);
    }
    redo.Rows[static_cast<std::size_t>(y - top)] =
        RunsOf(touched, RowOf(old_needle, y), RowOf(needle, y));
  }
  // The old needles' pixels from the backing, the fetches of both asked for ahead.
  const TColor32* from = display.MeterBacking.Bits();
  auto runs_of = [&](std::int64_t y) -> const std::array<TNeedleSpan, 2>& {
    return redo.Rows[static_cast<std::size_t>(y - top)];
  };
  RowsFetchedAhead(
      top, bottom,
      [&](std::int64_t y) {
        for (const TNeedleSpan& r : runs_of(y)) {
          FetchAhead(to + y * stride + r.Left, r.Right - r.Left);
          FetchAhead(from + y * width + r.Left, r.Right - r.Left);
        }
      },
      [&](std::int64_t y) {
        for (const TNeedleSpan& r : runs_of(y)) {
          if (r.Left >= r.Right) continue;
          std::memcpy(to + y * stride + r.Left, from + y * width + r.Left,
                      static_cast<std::size_t>(r.Right - r.Left) * sizeof(TColor32));
        }
        bands.Add(y, runs_of(y));
      });
  if (peak_needle) DrawShape(screen, *peak_needle, next.Peak, next.Edge, dx, dy, &redo);
  DrawShape(screen, *needle, next.Needle, next.Edge, dx, dy, &redo);
  screen.Changed();
  bands.Note(display, dx, dy);
  drawn = next;
}

}  // namespace roarmark
