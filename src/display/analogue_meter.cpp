// Analogue meter renderer. The box is composed in a scratch bitmap no larger than the part of
// the box inside the display, starting from the meter backing, then copied into the display.
// From one buffer to the next only the area under the old and new needles is composed again.
#include "display/analogue_meter.h"

#include <algorithm>
#include <cmath>
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

// Every pixel one needle may touch, in box coordinates: the vertices' bounds, with room for the
// antialiased edge line, which reaches one pixel beyond its vertices.
TRect NeedleBounds(const TNeedleVertices& v) {
  std::int64_t l = v.Pivot.X, t = v.Pivot.Y, r = v.Pivot.X, b = v.Pivot.Y;
  for (const TPoint64& p : {v.B, v.R, v.T, v.S, v.A}) {
    l = std::min(l, p.X);
    t = std::min(t, p.Y);
    r = std::max(r, p.X);
    b = std::max(b, p.Y);
  }
  return {l - 1, t - 1, r + 2, b + 2};
}

// DrawNeedle for the needle at `position`, its fill taken from the masks when the same shape
// was filled before.
void DrawKnownNeedle(TDisplayState& display, const TMeterSettings& s, TBitmap32& m, std::int64_t px,
                     std::int64_t py, std::int64_t length, int position, TColor colour) {
  TNeedleMasks& masks = display.NeedleMasks;
  if (masks.Width != m.Width() || masks.Height != m.Height() || masks.PivotX != px ||
      masks.PivotY != py || masks.Length != length) {
    masks.ByStep.clear();
    masks.Width = m.Width();
    masks.Height = m.Height();
    masks.PivotX = px;
    masks.PivotY = py;
    masks.Length = length;
  }
  const double angle = NeedleAngle(position);
  const TNeedleVertices v = NeedleVertices(px, py, angle, length);
  auto [it, added] = masks.ByStep.try_emplace(position / 4);
  if (added) {
    TPolygon32 needle;
    for (const TPoint64& p : {v.Pivot, v.B, v.R, v.T, v.S, v.A})
      needle.Add(p.X, p.Y);
    needle.Cover(m.Width(), m.Height(), it->second);
  }
  FillCoverage(m, it->second, Color32(colour, display.SystemColours));
  TPolygon32 edge;
  edge.Closed = false;
  for (const TPoint64& p : {v.T, v.R, v.B})
    edge.Add(p.X, p.Y);
  edge.DrawEdge(m, Color32(s.BaseColor, display.SystemColours));
}

// Bands a needle update is split into; the display image takes each as its own rectangle.
constexpr std::int64_t kNeedleBands = 12;

// Every pixel of rows top..bottom-1 the needle may touch: the needle outline's columns between
// two rows above and below, with the same room for the edge line as NeedleBounds.
TRect SlabBounds(const TNeedleVertices& v, std::int64_t top, std::int64_t bottom) {
  const double y0 = static_cast<double>(top - 2);
  const double y1 = static_cast<double>(bottom + 2);
  const TPoint64 outline[] = {v.Pivot, v.B, v.R, v.T, v.S, v.A};
  double left = 0, right = 0;
  bool any = false;
  for (std::size_t i = 0; i < 6; ++i) {
    const TPoint64& a = outline[i];
    const TPoint64& b = outline[(i + 1) % 6];
    double ay = static_cast<double>(a.Y), by = static_cast<double>(b.Y);
    double ax = static_cast<double>(a.X), bx = static_cast<double>(b.X);
    if (std::max(ay, by) < y0 || std::min(ay, by) > y1) continue;
    // The part of the side within the rows.
    auto x_at = [&](double y) { return ay == by ? ax : ax + (bx - ax) * (y - ay) / (by - ay); };
    const double lo = std::max(std::min(ay, by), y0);
    const double hi = std::min(std::max(ay, by), y1);
    const double xs[] = {x_at(lo), x_at(hi), ay == by ? bx : x_at(lo)};
    for (double x : xs) {
      left = any ? std::min(left, x) : x;
      right = any ? std::max(right, x) : x;
      any = true;
    }
  }
  if (!any) return {};
  return {static_cast<std::int64_t>(std::floor(left)) - 2, top,
          static_cast<std::int64_t>(std::ceil(right)) + 3, bottom};
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
  TRect needles = NeedleBounds(NeedleVertices(px, py, NeedleAngle(position), length));
  if (peak) {
    needles =
        Union(needles, NeedleBounds(NeedleVertices(px, py, NeedleAngle(state.PeakMarker), length)));
  }
  next.Bounds = Intersect(Offset(needles, visible.Left, visible.Top), visible);

  TDrawnNeedles& drawn = display.Drawn.Needles;
  TBitmap32& m = display.MeterScratch;
  // The scratch still holds the last meter when the record fits, so only the part under the old
  // and new needles is rebuilt from the backing.
  const bool same_scene = drawn.Valid && next.Valid && drawn.Box == box &&
                          drawn.Visible == visible && drawn.PivotX == px && drawn.PivotY == py &&
                          drawn.Length == length && drawn.Needle == next.Needle &&
                          drawn.Edge == next.Edge && drawn.Peak == next.Peak &&
                          m.Width() == visible.Width() && m.Height() == visible.Height();
  // Scratch rectangles to compose again: the whole box, or bands across the old and new needles,
  // each only as wide as the needles within it, so a slanting needle does not drag a large
  // rectangle of unchanged pixels along.
  std::vector<TRect> parts;
  if (same_scene) {
    // Less than a pixel's move of the tip leaves the same vertices, and so the same pixels.
    auto same = [&](int a, int b) {
      if (a < 0 || b < 0) return a == b;
      const TNeedleVertices va = NeedleVertices(px, py, NeedleAngle(a * 4), length);
      const TNeedleVertices vb = NeedleVertices(px, py, NeedleAngle(b * 4), length);
      return va.Pivot == vb.Pivot && va.B == vb.B && va.R == vb.R && va.T == vb.T && va.S == vb.S &&
             va.A == vb.A;
    };
    if (same(drawn.Step, next.Step) && same(drawn.PeakStep, next.PeakStep)) return;
    std::vector<TNeedleVertices> needles;
    for (int step : {drawn.Step, drawn.PeakStep, next.Step, next.PeakStep}) {
      if (step >= 0) needles.push_back(NeedleVertices(px, py, NeedleAngle(step * 4), length));
    }
    const TRect all = Offset(Union(drawn.Bounds, next.Bounds), -visible.Left, -visible.Top);
    const std::int64_t bands = std::min<std::int64_t>(kNeedleBands, all.Height());
    for (std::int64_t b = 0; b < bands; ++b) {
      const std::int64_t top = all.Top + all.Height() * b / bands;
      const std::int64_t bottom = all.Top + all.Height() * (b + 1) / bands;
      TRect band;
      for (const TNeedleVertices& v : needles)
        band = Union(band, SlabBounds(v, top, bottom));
      band = Intersect(band, all);
      if (!band.Empty()) parts.push_back(band);
    }
  } else {
    m.SetSize(visible.Width(), visible.Height());
    parts.push_back(m.BoundsRect());
  }
  for (const TRect& part : parts)
    m.Draw(part.Left, part.Top, part, display.MeterBacking);
  if (framed) {
    m.FrameRectS(ox, oy, ox + s.MeterWidth, oy + s.MeterHeight, next.Needle);
  }
  if (peak) DrawKnownNeedle(display, s, m, px, py, length, state.PeakMarker, s.PeakColor);
  DrawKnownNeedle(display, s, m, px, py, length, position, s.TopColor);
  for (const TRect& part : parts) {
    display.DisplayBitmap.Draw(part.Left + visible.Left, part.Top + visible.Top, part, m);
    NoteDrawn(display, Offset(part, visible.Left, visible.Top), TDrawnPart::Meter);
  }
  drawn = next;
}

}  // namespace roarmark
