// Frequency weighting: the pole frequencies from the corner frequencies the standard defines,
// and one biquad per pole pair.
#include "measure/weighting.h"

#include <array>
#include <cmath>
#include <complex>
#include <numbers>

namespace roarmark {
namespace {

constexpr double kPi = std::numbers::pi;

double Square(double x) {
  return x * x;
}

// The analogue magnitudes before normalising at 1 kHz.
double RawA(const TWeightingPoles& p, double f) {
  const double f2 = f * f;
  return Square(p.f4) * f2 * f2 /
         ((f2 + Square(p.f1)) * std::sqrt(f2 + Square(p.f2)) * std::sqrt(f2 + Square(p.f3)) *
          (f2 + Square(p.f4)));
}
double RawC(const TWeightingPoles& p, double f) {
  const double f2 = f * f;
  return Square(p.f4) * f2 / ((f2 + Square(p.f1)) * (f2 + Square(p.f4)));
}

// s^2 / ((s + wa)(s + wb)) through the bilinear transform warped to be exact at `warp_hz`.
TBiquad BilinearHighPass(double fa, double fb, double warp_hz, double fs) {
  const double wa = 2 * kPi * fa;
  const double wb = 2 * kPi * fb;
  const double w = 2 * kPi * warp_hz;
  const double k = w / std::tan(w / fs / 2);
  const double a0 = (k + wa) * (k + wb);
  TBiquad q;
  q.b0 = k * k / a0;
  q.b1 = -2 * q.b0;
  q.b2 = q.b0;
  q.a1 = ((k + wa) * (wb - k) + (wa - k) * (k + wb)) / a0;
  q.a2 = (wa - k) * (wb - k) / a0;
  return q;
}

// The squared magnitude of c0 + c1 z^-1 + c2 z^-2 on the unit circle is
// C0 phi0 + C1 phi1 + C2 phi2 with phi1 = sin^2(w/2), phi0 = 1 - phi1, phi2 = 4 phi0 phi1,
// C0 = (c0 + c1 + c2)^2, C1 = (c0 - c1 + c2)^2, C2 = -4 c0 c2. Back from C to c, taking the
// roots inside the unit circle.
std::array<double, 3> FromSquares(double c0_sq, double c1_sq, double c2_sq) {
  const double r0 = std::sqrt(std::max(c0_sq, 0.0));
  const double r1 = std::sqrt(std::max(c1_sq, 0.0));
  const double w = (r0 + r1) / 2;
  const double c0 = (w + std::sqrt(std::max(w * w + c2_sq, 0.0))) / 2;
  return {c0, (r0 - r1) / 2, w - c0};
}

// Solves m x = v by elimination with partial pivoting.
template <std::size_t N>
std::array<double, N> Solve(std::array<std::array<double, N + 1>, N> m) {
  for (std::size_t i = 0; i < N; ++i) {
    std::size_t pivot = i;
    for (std::size_t r = i + 1; r < N; ++r) {
      if (std::abs(m[r][i]) > std::abs(m[pivot][i])) pivot = r;
    }
    std::swap(m[i], m[pivot]);
    for (std::size_t r = 0; r < N; ++r) {
      if (r == i) continue;
      const double k = m[r][i] / m[i][i];
      for (std::size_t c = i; c <= N; ++c)
        m[r][c] -= k * m[i][c];
    }
  }
  std::array<double, N> x{};
  for (std::size_t i = 0; i < N; ++i)
    x[i] = m[i][N] / m[i][i];
  return x;
}

// The analogue double pole 1 / (1 + s/w4)^2 as a biquad whose squared magnitude equals the
// pole's at 0 Hz, 9, 15 and 20 kHz and which has a zero at half the sampling rate. The fit is
// linear in the squared-magnitude coefficients (B0 = A0 = 1, B1 = 0 for the zero, then B2 of the
// numerator and A1, A2 of the denominator): B0 phi0 + B2 phi2 = T (phi0 + A1 phi1 + A2 phi2).
// At 44.1 kHz it follows the pole within 0.04 dB up to 20 kHz.
TBiquad MatchedDoublePole(double f4, double fs) {
  auto target = [f4](double f) { return 1 / Square(1 + Square(f / f4)); };
  const std::array<double, 3> match_hz = {9000, 15000, 20000};
  std::array<std::array<double, 4>, 3> m{};
  for (std::size_t i = 0; i < 3; ++i) {
    const double phi1 = Square(std::sin(kPi * match_hz[i] / fs));
    const double phi0 = 1 - phi1;
    const double phi2 = 4 * phi0 * phi1;
    const double t = target(match_hz[i]);
    m[i] = {phi2, -t * phi1, -t * phi2, (t - 1) * phi0};
  }
  const auto [b2_sq, a1_sq, a2_sq] = Solve<3>(m);
  const auto num = FromSquares(1, 0, b2_sq);
  const auto den = FromSquares(1, a1_sq, a2_sq);
  TBiquad q;
  q.b0 = num[0] / den[0];
  q.b1 = num[1] / den[0];
  q.b2 = num[2] / den[0];
  q.a1 = den[1] / den[0];
  q.a2 = den[2] / den[0];
  return q;
}

std::complex<double> Response(const TBiquad& q, double hz, double fs) {
  const std::complex<double> z1 = std::polar(1.0, -2 * kPi * hz / fs);
  return (q.b0 + z1 * (q.b1 + z1 * q.b2)) / (1.0 + z1 * (q.a1 + z1 * q.a2));
}

double Db(double magnitude) {
  return 20 * std::log10(magnitude);
}

}  // namespace

TWeightingPoles StandardWeightingPoles() {
  // Corner frequencies and the 3 dB point of the definition.
  const double fr = 1000;
  const double fl = std::pow(10.0, 1.5);
  const double fh = std::pow(10.0, 3.9);
  const double d = std::sqrt(0.5);
  const double fa = std::pow(10.0, 2.45);
  const double b =
      (1 / (1 - d)) * (fr * fr + fl * fl * fh * fh / (fr * fr) - d * (fl * fl + fh * fh));
  const double c = fl * fl * fh * fh;
  TWeightingPoles p;
  p.f1 = std::sqrt((-b - std::sqrt(b * b - 4 * c)) / 2);
  p.f4 = std::sqrt((-b + std::sqrt(b * b - 4 * c)) / 2);
  p.f2 = (3 - std::sqrt(5.0)) / 2 * fa;
  p.f3 = (3 + std::sqrt(5.0)) / 2 * fa;
  return p;
}

double AnalogueWeightingDb(TWeighting weighting, double hz) {
  const TWeightingPoles p = StandardWeightingPoles();
  switch (weighting) {
    case TWeighting::A:
      return Db(RawA(p, hz) / RawA(p, 1000));
    case TWeighting::C:
      return Db(RawC(p, hz) / RawC(p, 1000));
    case TWeighting::Z:
      break;
  }
  return 0;
}

TWeightingDesign DesignWeighting(double fs) {
  const TWeightingPoles p = StandardWeightingPoles();
  TWeightingDesign d;
  d.SampleRate = fs;
  d.LowEnd = BilinearHighPass(p.f1, p.f1, p.f1, fs);
  d.HighEnd = MatchedDoublePole(p.f4, fs);
  d.MidBand = BilinearHighPass(p.f2, p.f3, std::sqrt(p.f2 * p.f3), fs);
  // 0 dB at 1 kHz: C through the low end, A through the mid band on top of C.
  const double c1k = std::abs(Response(d.LowEnd, 1000, fs) * Response(d.HighEnd, 1000, fs));
  d.LowEnd.b0 /= c1k;
  d.LowEnd.b1 /= c1k;
  d.LowEnd.b2 /= c1k;
  const double a1k = std::abs(Response(d.MidBand, 1000, fs));
  d.MidBand.b0 /= a1k;
  d.MidBand.b1 /= a1k;
  d.MidBand.b2 /= a1k;
  return d;
}

}  // namespace roarmark
