// The picture shown when no picture of the operator's is available, drawn by code.
//
// Everything is computed in float with +, -, *, / and sqrt only (all exactly rounded), so the
// pixels do not depend on the maths library.
#include "display/pictures/default_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace roarmark {

namespace {

constexpr int kWidth = kDefaultPictureWidth;
constexpr int kHeight = kDefaultPictureHeight;
constexpr float kHorizon = 880.0f;  // where the backdrop meets the stage floor

struct TRgb {
  float R = 0, G = 0, B = 0;
};

TRgb operator+(TRgb a, TRgb b) {
  return {a.R + b.R, a.G + b.G, a.B + b.B};
}
TRgb operator*(TRgb a, float k) {
  return {a.R * k, a.G * k, a.B * k};
}

float Clamp01(float v) {
  return std::min(1.0f, std::max(0.0f, v));
}

float SmoothStep(float edge0, float edge1, float x) {
  const float t = Clamp01((x - edge0) / (edge1 - edge0));
  return t * t * (3.0f - 2.0f * t);
}

TRgb Mix(TRgb a, TRgb b, float t) {
  return a * (1.0f - t) + b * t;
}

// Antialiased coverage of simple shapes (approximate distance, one pixel of softness).
float EllipseCoverage(float x, float y, float cx, float cy, float rx, float ry) {
  const float ex = (x - cx) / rx, ey = (y - cy) / ry;
  return Clamp01(0.5f - (std::sqrt(ex * ex + ey * ey) - 1.0f) * std::min(rx, ry));
}

float CapsuleCoverage(float x, float y, float ax, float ay, float bx, float by, float r) {
  const float vx = bx - ax, vy = by - ay;
  const float t = Clamp01(((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy));
  const float dx = x - (ax + vx * t), dy = y - (ay + vy * t);
  return Clamp01(0.5f - (std::sqrt(dx * dx + dy * dy) - r));
}

class TCanvas {
 public:
  TCanvas() : pixels_(static_cast<std::size_t>(kWidth) * kHeight) {}
  TRgb& At(int x, int y) { return pixels_[static_cast<std::size_t>(y) * kWidth + x]; }

  platform::TPixels Quantise() const {
    platform::TPixels out;
    out.Width = kWidth;
    out.Height = kHeight;
    out.Pixels.resize(pixels_.size());
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const TRgb& c = pixels_[static_cast<std::size_t>(y) * kWidth + x];
        // A fixed sub-level dither keeps the long dark gradients free of bands.
        const float d = Dither(x, y);
        out.Pixels[static_cast<std::size_t>(y) * kWidth + x] =
            0xFF000000u | (Channel(c.R + d) << 16) | (Channel(c.G + d) << 8) | Channel(c.B + d);
      }
    }
    return out;
  }

 private:
  static std::uint32_t Channel(float v) {
    return static_cast<std::uint32_t>(std::min(255.0f, std::max(0.0f, v)) + 0.5f);
  }
  static float Dither(int x, int y) {
    std::uint32_t h =
        static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFF) / 65536.0f - 0.5f;
  }

  std::vector<TRgb> pixels_;
};

// A spotlight beam from above the frame down to the floor.
struct TBeam {
  float SourceX, SourceY, TargetX;
  float HalfWidthTop, HalfWidthBottom;
  float Strength;
  TRgb Colour;
};

// Hung from the truss right of the meter panel and aimed away from the middle, where the
// readout sits.
constexpr float kTrussY = 40.0f;
constexpr float kLampY = kTrussY + 18.0f;
constexpr TBeam kBeams[] = {
    {1240.0f, kLampY, 1130.0f, 12.0f, 230.0f, 0.30f, {95.0f, 150.0f, 255.0f}},
    {1700.0f, kLampY, 1560.0f, 12.0f, 210.0f, 0.28f, {150.0f, 110.0f, 255.0f}},
    {540.0f, kLampY, 470.0f, 10.0f, 120.0f, 0.13f, {110.0f, 160.0f, 255.0f}},
};

float BeamLight(const TBeam& beam, float x, float y) {
  const float ax = beam.TargetX - beam.SourceX;
  const float ay = kHorizon - beam.SourceY;
  const float length = std::sqrt(ax * ax + ay * ay);
  const float px = x - beam.SourceX;
  const float py = y - beam.SourceY;
  const float along = (px * ax + py * ay) / (length * length);
  if (along <= 0.0f || along >= 1.0f) return 0.0f;
  const float across = std::abs(px * ay - py * ax) / length;
  const float half_width = beam.HalfWidthTop + (beam.HalfWidthBottom - beam.HalfWidthTop) * along;
  const float f0 = Clamp01(1.0f - across / half_width);
  const float f = f0 * f0 * (0.35f + 0.65f * f0);
  // Brightest near the lamp, fading into the haze, and landing softly on the floor.
  const float fade = (1.0f - 0.55f * along) * (1.0f - SmoothStep(0.97f, 1.0f, along) * 0.5f);
  return beam.Strength * f * fade;
}

void PaintBackdrop(TCanvas& canvas) {
  const TRgb top{3.0f, 5.0f, 20.0f};
  const TRgb middle{9.0f, 22.0f, 70.0f};
  const TRgb low{20.0f, 50.0f, 132.0f};
  const TRgb glow{50.0f, 80.0f, 185.0f};
  const TRgb haze{22.0f, 42.0f, 110.0f};
  for (int y = 0; y < static_cast<int>(kHorizon); ++y) {
    const float fy = static_cast<float>(y) + 0.5f;
    const float t = fy / kHorizon;
    const TRgb row = t < 0.55f ? Mix(top, middle, SmoothStep(0.0f, 0.55f, t))
                               : Mix(middle, low, SmoothStep(0.55f, 1.0f, t));
    const float haze_amount = SmoothStep(kHorizon - 220.0f, kHorizon, fy) * 0.55f;
    for (int x = 0; x < kWidth; ++x) {
      const float fx = static_cast<float>(x) + 0.5f;
      const float dx = (fx - 960.0f) / 960.0f;
      TRgb c = row * (1.0f - 0.38f * dx * dx);
      // A broad wash of light from the rig above the stage.
      const float gx = (fx - 1150.0f) / 1150.0f;
      const float gy = (fy + 220.0f) / 900.0f;
      const float g = Clamp01(1.0f - std::sqrt(gx * gx + gy * gy));
      c = c + glow * (g * g * 0.55f);
      c = c + haze * (haze_amount * (1.0f - 0.5f * dx * dx));
      for (const TBeam& beam : kBeams)
        c = c + beam.Colour * BeamLight(beam, fx, fy);
      canvas.At(x, y) = c;
    }
  }
}

void PaintFloor(TCanvas& canvas) {
  const TRgb near_line{16.0f, 28.0f, 72.0f};
  const TRgb front{2.0f, 3.0f, 10.0f};
  for (int y = static_cast<int>(kHorizon); y < kHeight; ++y) {
    const float fy = static_cast<float>(y) + 0.5f;
    const TRgb row = Mix(near_line, front, SmoothStep(kHorizon, kHorizon + 170.0f, fy));
    for (int x = 0; x < kWidth; ++x) {
      const float fx = static_cast<float>(x) + 0.5f;
      const float dx = (fx - 960.0f) / 960.0f;
      TRgb c = row * (1.0f - 0.45f * dx * dx);
      // Pools of light where the beams land.
      for (const TBeam& beam : kBeams) {
        const float ex = (fx - beam.TargetX) / (beam.HalfWidthBottom * 1.5f);
        const float ey = (fy - (kHorizon + 18.0f)) / 26.0f;
        const float pool = Clamp01(1.0f - ex * ex - ey * ey);
        c = c + beam.Colour * (beam.Strength * pool * pool * 0.8f);
      }
      canvas.At(x, y) = c;
    }
  }
}

// The front edge of the stage: a thin bright line with a soft glow either side.
void PaintFloorLine(TCanvas& canvas) {
  const TRgb line{110.0f, 165.0f, 255.0f};
  const TRgb glow{40.0f, 80.0f, 210.0f};
  for (int y = static_cast<int>(kHorizon) - 14; y < static_cast<int>(kHorizon) + 14; ++y) {
    const float fy = static_cast<float>(y) + 0.5f;
    const float distance = std::abs(fy - kHorizon);
    const float coverage = Clamp01(1.25f - distance);
    const float g = Clamp01(1.0f - distance / 14.0f);
    for (int x = 0; x < kWidth; ++x) {
      const float dx = (static_cast<float>(x) + 0.5f - 960.0f) / 960.0f;
      const float across = 1.0f - 0.7f * dx * dx;
      TRgb& c = canvas.At(x, y);
      c = Mix(c, line * across, coverage * 0.85f) + glow * (g * g * 0.5f * across);
    }
  }
}

// The lighting truss across the top with its lamps; the beams start at the lit ones.
void PaintTruss(TCanvas& canvas) {
  const TRgb steel{26.0f, 32.0f, 58.0f};
  const float top = kTrussY - 8.0f, bottom = kTrussY + 8.0f, bay = 26.0f;
  for (int y = static_cast<int>(top) - 2; y < static_cast<int>(bottom) + 2; ++y) {
    const float fy = static_cast<float>(y) + 0.5f;
    for (int x = 0; x < kWidth; ++x) {
      const float fx = static_cast<float>(x) + 0.5f;
      float coverage = std::max(Clamp01(1.6f - std::abs(fy - top) * 1.2f),
                                Clamp01(1.6f - std::abs(fy - bottom) * 1.2f));
      if (fy > top && fy < bottom) {
        // Zig-zag lacing between the two chords.
        const float u = fx / bay;
        const float phase = u - static_cast<float>(static_cast<int>(u));
        const float lace =
            top + (bottom - top) * (phase < 0.5f ? phase * 2.0f : 2.0f - phase * 2.0f);
        coverage = std::max(coverage, Clamp01(1.2f - std::abs(fy - lace) * 0.5f));
      }
      TRgb& c = canvas.At(x, y);
      c = Mix(c, steel, coverage * 0.9f);
    }
  }
  const TRgb housing{14.0f, 16.0f, 28.0f};
  const float lamps[] = {540.0f, 760.0f, 1020.0f, 1240.0f, 1470.0f, 1700.0f};
  for (const float lx : lamps) {
    bool lit = false;
    TRgb colour{60.0f, 70.0f, 110.0f};
    for (const TBeam& beam : kBeams) {
      if (beam.SourceX == lx) {
        lit = true;
        colour = beam.Colour;
      }
    }
    for (int y = static_cast<int>(kTrussY) - 40; y < static_cast<int>(kLampY) + 40; ++y) {
      for (int x = static_cast<int>(lx) - 40; x < static_cast<int>(lx) + 40; ++x) {
        const float fx = static_cast<float>(x) + 0.5f, fy = static_cast<float>(y) + 0.5f;
        TRgb& c = canvas.At(x, y);
        c = Mix(c, housing, EllipseCoverage(fx, fy, lx, kLampY - 6.0f, 13.0f, 12.0f));
        const float dx = fx - lx, dy = fy - kLampY;
        const float d = std::sqrt(dx * dx + dy * dy);
        const float lens = EllipseCoverage(fx, fy, lx, kLampY, 8.0f, 5.0f);
        if (lit) {
          const float halo = Clamp01(1.0f - d / 40.0f);
          c = Mix(c, TRgb{235.0f, 240.0f, 255.0f}, lens) + colour * (halo * halo * 0.5f);
        } else {
          c = Mix(c, colour, lens * 0.8f);
        }
      }
    }
  }
}

// A dark frame around a meter with a faint edge, so the bars sit on a plain surface.
void PaintMeterPanel(TCanvas& canvas, const TMeterPanel& meter) {
  const float margin = static_cast<float>(kMeterPanelMargin), radius = 16.0f;
  const float left = static_cast<float>(meter.X) - margin;
  const float right = static_cast<float>(meter.X) + static_cast<float>(meter.Width) + margin;
  const float bottom = static_cast<float>(meter.Bottom) + margin;
  const float top = static_cast<float>(meter.Bottom) - static_cast<float>(meter.Height) - margin;
  const TRgb shade{2.0f, 4.0f, 14.0f};
  const TRgb edge{70.0f, 110.0f, 215.0f};
  const float cx = (left + right) / 2.0f, cy = (top + bottom) / 2.0f;
  const float hx = (right - left) / 2.0f - radius, hy = (bottom - top) / 2.0f - radius;
  const int x0 = std::max(0, static_cast<int>(left) - 2);
  const int x1 = std::min(kWidth, static_cast<int>(right) + 2);
  const int y0 = std::max(0, static_cast<int>(top) - 2);
  const int y1 = std::min(kHeight, static_cast<int>(bottom) + 2);
  for (int y = y0; y < y1; ++y) {
    for (int x = x0; x < x1; ++x) {
      const float qx = std::max(std::abs(static_cast<float>(x) + 0.5f - cx) - hx, 0.0f);
      const float qy = std::max(std::abs(static_cast<float>(y) + 0.5f - cy) - hy, 0.0f);
      const float distance = std::sqrt(qx * qx + qy * qy) - radius;  // < 0 inside
      const float inside = Clamp01(0.5f - distance);
      const float border = Clamp01(1.0f - std::abs(distance + 1.0f));
      TRgb& c = canvas.At(x, y);
      c = Mix(c, shade, inside * 0.9f);
      c = Mix(c, edge, border * 0.45f);
    }
  }
}

// Deterministic pseudo-random numbers for the audience.
class TRandom {
 public:
  float Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return static_cast<float>(state_ >> 8) / 16777216.0f;
  }

 private:
  std::uint32_t state_ = 20240611u;
};

struct TPerson {
  float X, HeadY, Radius;
  int ArmsUp;   // 0 none, 1 one, 2 both
  float Side;   // -1 or 1: which arm goes up when only one does
  float Reach;  // how far out the raised hands go, in head radii
};

// One raised arm: upper arm out to the elbow, forearm up to a fist.
float ArmCoverage(float fx, float fy, const TPerson& p, float side) {
  const float r = p.Radius;
  const float shoulder_x = p.X + side * r * 1.5f, shoulder_y = p.HeadY + r * 1.9f;
  const float elbow_x = shoulder_x + side * r * p.Reach, elbow_y = p.HeadY + r * 0.1f;
  const float hand_x = elbow_x + side * r * 0.25f, hand_y = p.HeadY - r * 1.7f;
  float coverage = CapsuleCoverage(fx, fy, shoulder_x, shoulder_y, elbow_x, elbow_y, r * 0.42f);
  coverage =
      std::max(coverage, CapsuleCoverage(fx, fy, elbow_x, elbow_y, hand_x, hand_y, r * 0.34f));
  return std::max(coverage,
                  EllipseCoverage(fx, fy, hand_x, hand_y - r * 0.1f, r * 0.42f, r * 0.5f));
}

void PaintPerson(TCanvas& canvas, const TPerson& p, TRgb colour) {
  const float r = p.Radius;
  const float shoulder_y = p.HeadY + r * 1.5f;
  const int x0 = std::max(0, static_cast<int>(p.X - r * 4.0f));
  const int x1 = std::min(kWidth, static_cast<int>(p.X + r * 4.0f) + 1);
  const int y0 = std::max(0, static_cast<int>(p.HeadY - r * 3.0f));
  for (int y = y0; y < kHeight; ++y) {
    for (int x = x0; x < x1; ++x) {
      const float fx = static_cast<float>(x) + 0.5f, fy = static_cast<float>(y) + 0.5f;
      float coverage = EllipseCoverage(fx, fy, p.X, p.HeadY, r * 0.86f, r);
      coverage = std::max(coverage,
                          EllipseCoverage(fx, fy, p.X, shoulder_y + r * 1.1f, r * 2.3f, r * 1.4f));
      coverage = std::max(
          coverage, CapsuleCoverage(fx, fy, p.X, p.HeadY + r * 0.6f, p.X, shoulder_y, r * 0.5f));
      if (p.ArmsUp == 2) {
        coverage = std::max(coverage, ArmCoverage(fx, fy, p, -1.0f));
        coverage = std::max(coverage, ArmCoverage(fx, fy, p, 1.0f));
      } else if (p.ArmsUp == 1) {
        coverage = std::max(coverage, ArmCoverage(fx, fy, p, p.Side));
      }
      if (coverage > 0.0f) {
        TRgb& c = canvas.At(x, y);
        c = Mix(c, colour, coverage);
      }
    }
  }
}

void PaintAudience(TCanvas& canvas) {
  TRandom random;
  struct TRow {
    float HeadY, Radius, Spacing;
    TRgb Colour;
  };
  // Back row first, so the front row covers it.
  const TRow rows[] = {
      {956.0f, 19.0f, 64.0f, {5.0f, 8.0f, 22.0f}},
      {1008.0f, 27.0f, 88.0f, {1.0f, 2.0f, 6.0f}},
  };
  for (const TRow& row : rows) {
    float x = -row.Spacing * 0.3f + random.Next() * row.Spacing * 0.5f;
    while (x < static_cast<float>(kWidth) + row.Spacing) {
      TPerson person;
      person.X = x;
      person.Radius = row.Radius * (0.88f + 0.24f * random.Next());
      person.HeadY = row.HeadY + (random.Next() - 0.5f) * row.Radius * 0.6f;
      const float arms = random.Next();
      person.ArmsUp = arms < 0.08f ? 2 : arms < 0.26f ? 1 : 0;
      person.Side = random.Next() < 0.5f ? -1.0f : 1.0f;
      person.Reach = 0.5f + 0.8f * random.Next();
      PaintPerson(canvas, person, row.Colour);
      x += row.Spacing * (0.8f + 0.4f * random.Next());
    }
  }
}

}  // namespace

std::vector<platform::TPixels> MakeStagePictures(
    const std::vector<std::vector<TMeterPanel>>& meter_sets) {
  TCanvas stage;
  PaintBackdrop(stage);
  PaintFloor(stage);
  PaintFloorLine(stage);
  PaintTruss(stage);
  PaintAudience(stage);
  std::vector<platform::TPixels> pictures;
  for (const std::vector<TMeterPanel>& meters : meter_sets) {
    TCanvas canvas = stage;
    // Over the audience too: a meter low on the picture stands in front of the crowd.
    for (const TMeterPanel& meter : meters) {
      if (meter.Width > 0 && meter.Height > 0) PaintMeterPanel(canvas, meter);
    }
    pictures.push_back(canvas.Quantise());
  }
  return pictures;
}

platform::TPixels MakeStagePicture(const std::vector<TMeterPanel>& meters) {
  return std::move(MakeStagePictures({meters}).front());
}

platform::TPixels MakeDefaultPicture() {
  return MakeStagePicture({kDefaultMeter});
}

}  // namespace roarmark
