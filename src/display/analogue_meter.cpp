// Analogue meter renderer. The box is composed in a scratch bitmap no larger than the part of
// the box inside the display, starting from the meter backing, then copied into the display.
#include "display/analogue_meter.h"

#include <cmath>
#include <numbers>

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

void DrawAnalogueMeter(TDisplayState& display, const TMeterSettings& s, const TMeterState& state,
                       int position) {
  if (s.MeterWidth <= 0 || s.MeterHeight <= 0) return;
  const TRect box = MeterBox(s);
  const TRect visible = Intersect(box, display.DisplayBitmap.BoundsRect());
  if (visible.Empty()) return;
  // A backing saved for another box (the style switched before any re-layout) is useless.
  if (display.MeterBackingRect != visible || display.MeterBacking.Width() != visible.Width() ||
      display.MeterBacking.Height() != visible.Height()) {
    TakeMeterBacking(display, display.BackgroundBitmap, visible);
  }

  TBitmap32& m = display.MeterScratch;
  m.SetSize(visible.Width(), visible.Height());
  m.Draw(m.BoundsRect(), display.MeterBacking.BoundsRect(), display.MeterBacking);

  // Box coordinates inside the scratch bitmap.
  const std::int64_t ox = box.Left - visible.Left;
  const std::int64_t oy = box.Top - visible.Top;
  if (s.AllowDrag || display.MeterSelected) {
    m.FrameRectS(ox, oy, ox + s.MeterWidth, oy + s.MeterHeight,
                 Color32(s.TopColor, display.SystemColours));
  }
  const std::int64_t px = ox + s.MeterWidth / 2;
  const std::int64_t py = oy + std::int64_t{s.MeterHeight} - s.PivotOffset + 16;
  if (s.ColorPeak && state.PeakMarker > 10) {
    DrawNeedle(display, s, m, px, py, NeedleAngle(state.PeakMarker), s.PeakColor);
  }
  DrawNeedle(display, s, m, px, py, NeedleAngle(position), s.TopColor);
  display.DisplayBitmap.Draw(visible.Left, visible.Top, m);
}

}  // namespace roarmark
