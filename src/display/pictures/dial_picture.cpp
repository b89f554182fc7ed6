// The analogue starter layout's picture: the needle alone says little, so its picture carries
// the dial the needle reads against.
#include "display/pictures/dial_picture.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace roarmark {

namespace {

struct TRgb {
  float R = 0, G = 0, B = 0;
};

float Clamp01(float v) {
  return std::min(1.0f, std::max(0.0f, v));
}

// Mixes `colour` into one pixel by `coverage`; pixels outside the picture are left alone.
void Blend(platform::TPixels& p, int x, int y, TRgb colour, float coverage) {
  if (coverage <= 0.0f || x < 0 || y < 0 || x >= p.Width || y >= p.Height) return;
  std::uint32_t& px = p.Pixels[static_cast<std::size_t>(y) * p.Width + x];
  auto mix = [&](int shift, float c) {
    const float old = static_cast<float>((px >> shift) & 0xFF);
    const float v = old + (c - old) * std::min(coverage, 1.0f);
    return static_cast<std::uint32_t>(std::min(255.0f, std::max(0.0f, v)) + 0.5f) << shift;
  };
  px = 0xFF000000u | mix(16, colour.R) | mix(8, colour.G) | mix(0, colour.B);
}

// A round-ended stroke from a to b, `half` pixels either side, antialiased over one pixel.
void Stroke(platform::TPixels& p, TDialPoint a, TDialPoint b, double half, TRgb colour,
            float strength = 1.0f) {
  const int x0 = static_cast<int>(std::floor(std::min(a.X, b.X) - half - 1));
  const int x1 = static_cast<int>(std::ceil(std::max(a.X, b.X) + half + 1));
  const int y0 = static_cast<int>(std::floor(std::min(a.Y, b.Y) - half - 1));
  const int y1 = static_cast<int>(std::ceil(std::max(a.Y, b.Y) + half + 1));
  const double vx = b.X - a.X, vy = b.Y - a.Y;
  const double vv = std::max(vx * vx + vy * vy, 1e-9);
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      const double fx = x + 0.5, fy = y + 0.5;
      const double t = std::clamp(((fx - a.X) * vx + (fy - a.Y) * vy) / vv, 0.0, 1.0);
      const double dx = fx - (a.X + vx * t), dy = fy - (a.Y + vy * t);
      const double d = std::sqrt(dx * dx + dy * dy);
      Blend(p, x, y, colour, strength * Clamp01(static_cast<float>(0.5 + half - d)));
    }
  }
}

// A band between radii `inner` and `outer` about the pivot, over the readouts from..to.
void Band(platform::TPixels& p, const TDialBox& box, double inner, double outer, double from,
          double to, TRgb colour, float strength) {
  const TDialPoint c = DialPoint(box, 0, 0);
  const double a0 = DialMarkAngle(from), a1 = DialMarkAngle(to);
  const int x0 = static_cast<int>(c.X - outer - 2), x1 = static_cast<int>(c.X + outer + 2);
  const int y0 = static_cast<int>(c.Y - outer - 2), y1 = static_cast<int>(c.Y + 2);
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      const double dx = x + 0.5 - c.X, dy = y + 0.5 - c.Y;
      const double d = std::sqrt(dx * dx + dy * dy);
      const double a = std::atan2(dx, -dy);
      const double beyond = std::max({a0 - a, a - a1, 0.0}) * d;  // past either end, in pixels
      const double radial = std::min(d - inner, outer - d);
      const float coverage =
          Clamp01(static_cast<float>(0.5 + radial)) * Clamp01(static_cast<float>(0.5 - beyond));
      Blend(p, x, y, colour, strength * coverage);
    }
  }
}

// A rounded dark panel with a faint edge, in the default picture's manner.
void Panel(platform::TPixels& p, float left, float top, float right, float bottom, float radius) {
  const TRgb shade{3.0f, 5.0f, 16.0f};
  const TRgb edge{70.0f, 110.0f, 215.0f};
  const float cx = (left + right) / 2.0f, cy = (top + bottom) / 2.0f;
  const float hx = (right - left) / 2.0f - radius, hy = (bottom - top) / 2.0f - radius;
  for (int y = static_cast<int>(top) - 2; y < static_cast<int>(bottom) + 2; ++y) {
    for (int x = static_cast<int>(left) - 2; x < static_cast<int>(right) + 2; ++x) {
      const float qx = std::max(std::abs(static_cast<float>(x) + 0.5f - cx) - hx, 0.0f);
      const float qy = std::max(std::abs(static_cast<float>(y) + 0.5f - cy) - hy, 0.0f);
      const float distance = std::sqrt(qx * qx + qy * qy) - radius;  // < 0 inside
      Blend(p, x, y, shade, Clamp01(0.5f - distance) * 0.92f);
      Blend(p, x, y, edge, Clamp01(1.0f - std::abs(distance + 1.0f)) * 0.45f);
    }
  }
}

// Plain seven-segment digits, for a machine without a usable font.
TDialLabel SegmentDigits(const std::string& text, int pixel_em) {
  // Segments a..g of 0..9 as bits 0..6.
  constexpr unsigned kDigits[] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
  const double h = pixel_em * 0.7, w = h * 0.5, half = std::max(1.5, h * 0.07), gap = h * 0.3;
  const TDialPoint ends[7][2] = {
      {{0, 0}, {w, 0}},     {{w, 0}, {w, h / 2}}, {{w, h / 2}, {w, h}},    {{0, h}, {w, h}},
      {{0, h / 2}, {0, h}}, {{0, 0}, {0, h / 2}}, {{0, h / 2}, {w, h / 2}}};
  const int n = static_cast<int>(text.size());
  platform::TPixels canvas;
  canvas.Width = static_cast<int>(std::ceil(n * w + (n - 1) * gap + 2 * half + 2));
  canvas.Height = static_cast<int>(std::ceil(h + 2 * half + 2));
  canvas.Pixels.assign(static_cast<std::size_t>(canvas.Width) * canvas.Height, 0xFF000000u);
  for (int i = 0; i < n; ++i) {
    if (text[i] < '0' || text[i] > '9') continue;
    const double ox = half + 1 + i * (w + gap), oy = half + 1;
    for (int s = 0; s < 7; ++s) {
      if (((kDigits[text[i] - '0'] >> s) & 1u) == 0) continue;
      Stroke(canvas, {ends[s][0].X + ox, ends[s][0].Y + oy}, {ends[s][1].X + ox, ends[s][1].Y + oy},
             half, {255.0f, 255.0f, 255.0f});
    }
  }
  TDialLabel label;
  label.Width = canvas.Width;
  label.Height = canvas.Height;
  for (std::uint32_t px : canvas.Pixels)
    label.Values.push_back(static_cast<std::uint8_t>(px & 0xFF));
  return label;
}

}  // namespace

// Marks are placed by readout value. For a steady sound the meter position equals the level,
// the readout shows level / 10.2 and the needle stands at ((position div 4) / 2.13 - 60)
// degrees, so readout v sits at (2.55 v / 2.13 - 60) degrees: 0 at -60, 50 at -0.14 and 100
// at 59.72 (position 1020, the top of the level table). Dropping the div 4 keeps a mark within
// a third of a degree of the needle.
double DialMarkAngle(double readout) {
  return (readout * 10.2 / 4.0 / 2.13 - 60.0) * std::numbers::pi / 180.0;
}

TDialPoint DialPoint(const TDialBox& box, double readout, double radius) {
  // The needle's pivot: centred, 16 pixels below the box less the pivot offset.
  const double px = box.X + box.Width / 2;
  const double py = box.Bottom - box.PivotOffset + 16;
  const double a = DialMarkAngle(readout);
  return {px + std::sin(a) * radius, py - std::cos(a) * radius};
}

double DialArcRadius(const TDialBox& box) {
  // The needle's tip is its length (95 % of the box height) plus its half-width 10 from the
  // pivot; the arc sits a little inside it (22 of the starter box's 542) so the tip lands on
  // the marks.
  const double tip = static_cast<double>(std::int64_t{box.Height} * 95 / 100 + 10);
  return tip * 520.0 / 542.0;
}

platform::TPixels MakeDialPicture(platform::TPixels stage, const TDialBox& box,
                                  const TDialLabelText& label_text) {
  platform::TPixels p = std::move(stage);
  const double arc = DialArcRadius(box);
  if (arc < 40) return p;
  const TDialPoint pivot = DialPoint(box, 0, 0);
  // Sizes are set for the starter box (arc 520) and follow the arc for other boxes.
  const double k = std::clamp(arc / 520.0, 0.4, 2.0);
  const int em = std::max(12, static_cast<int>(arc * 0.085));
  const double label_radius = arc + 40 * k + em * 0.75;

  // The panel holds the labels at both ends and the readout's place under the pivot.
  const double reach = label_radius + em * 1.4;
  const double side = reach * std::sin(DialMarkAngle(100));
  Panel(p, static_cast<float>(pivot.X - side - 24), static_cast<float>(pivot.Y - reach - 8),
        static_cast<float>(pivot.X + side + 24), static_cast<float>(pivot.Y + arc * 0.33), 28.0f);

  const TRgb ink{215.0f, 226.0f, 245.0f};
  const TRgb red{225.0f, 40.0f, 40.0f};
  // A faint band under the scale, then the red zone and the arc.
  Band(p, box, arc - 70 * k, arc + 44 * k, 0, 100, {20.0f, 32.0f, 78.0f}, 0.45f);
  Band(p, box, arc, arc + 12 * k, 85, 100, red, 0.9f);
  Band(p, box, arc - 1.5, arc + 1.5, 0, 100, ink, 1.0f);

  for (int v = 0; v <= 100; v += 5) {
    const bool major = v % 50 == 0, ten = v % 10 == 0;
    const double length = (major ? 40 : ten ? 26 : 14) * k;
    const double half = (major ? 2.5 : ten ? 1.75 : 1.0) * std::max(k, 0.7);
    const TRgb colour = v > 85 ? TRgb{255.0f, 120.0f, 110.0f} : ink;
    Stroke(p, DialPoint(box, v, arc), DialPoint(box, v, arc + length), half, colour);
  }

  for (int v = 0; v <= 100; v += 10) {
    const std::string text = std::to_string(v);
    TDialLabel label = label_text ? label_text(text, em) : TDialLabel{};
    if (label.Width <= 0 || label.Height <= 0 ||
        label.Values.size() != static_cast<std::size_t>(label.Width) * label.Height) {
      label = SegmentDigits(text, em);
    }
    const TDialPoint at = DialPoint(box, v, label_radius);
    const int left = static_cast<int>(std::lround(at.X - label.Width / 2.0));
    const int top = static_cast<int>(std::lround(at.Y - label.Height / 2.0));
    for (int y = 0; y < label.Height; ++y) {
      for (int x = 0; x < label.Width; ++x) {
        const float c = label.Values[static_cast<std::size_t>(y) * label.Width + x] / 255.0f;
        Blend(p, left + x, top + y, v >= 90 ? TRgb{255.0f, 120.0f, 110.0f} : ink, c);
      }
    }
  }

  // The hub the needle turns on; the needle is cut at the box's bottom edge just above it.
  const double hub = 30 * k;
  Stroke(p, pivot, pivot, hub, {34.0f, 40.0f, 62.0f});
  Stroke(p, pivot, pivot, hub * 0.45, {120.0f, 130.0f, 160.0f});
  return p;
}

}  // namespace roarmark
