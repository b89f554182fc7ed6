// The per-sample path: mono, C weighting (low end, two high-end poles), A on top of C, squares,
// Fast and Slow, and the sums that close every 44100 samples as one second.
#include "measure/sound_level.h"

#include <algorithm>
#include <cmath>

namespace roarmark {
namespace {

// The level of silence: 140 dB below a full-scale sine, under any 16- or 24-bit noise floor.
constexpr double kFloorMs = kFullScaleSineMs * 1e-14;

}  // namespace

double LevelDb(double mean_square, double offset_db) {
  return offset_db + 10 * std::log10(std::max(mean_square, kFloorMs) / kFullScaleSineMs);
}

TSoundLevel::TSoundLevel()
    : design_(DesignWeighting(kCaptureRate)),
      fast_(1 - std::exp(-1 / (kFastSeconds * kCaptureRate))),
      slow_(1 - std::exp(-1 / (kSlowSeconds * kCaptureRate))) {
  seconds_.reserve(8);
}

void TSoundLevel::ProcessBlock(const std::uint8_t* block, int frames) {
  while (frames > 0) {
    const int room = static_cast<int>(kSamplesPerSecond - current_.Energy.Samples);
    const int n = std::min(frames, room);
    Run(block, n);
    block += static_cast<std::ptrdiff_t>(n) * 4;
    frames -= n;
    if (current_.Energy.Samples == kSamplesPerSecond) EndSecond();
  }
}

// The inner loop keeps every filter and average in locals so the compiler holds them in
// registers; the sections run as direct form I, whose feedback path is one multiply-add long.
void TSoundLevel::Run(const std::uint8_t* block, int frames) {
  const TBiquad lo = design_.LowEnd;
  const TBiquad hi = design_.HighEnd;
  const TBiquad mid = design_.MidBand;
  TSection l = low_, h1 = high1_, h2 = high2_, m = mid_;
  double af = af_, as = as_, cf = cf_, cs = cs_, zf = zf_, zs = zs_;
  double ea = 0, ec = 0, ez = 0;
  double max_af = current_.MaxFastA;
  double peak = current_.PeakC;
  const double kf = fast_;
  const double ks = slow_;
  auto section = [](const TBiquad& q, TSection& s, double x) {
    const double y = q.b0 * x + q.b1 * s.x1 + q.b2 * s.x2 - q.a1 * s.y1 - q.a2 * s.y2;
    s.x2 = s.x1;
    s.x1 = x;
    s.y2 = s.y1;
    s.y1 = y;
    return y;
  };
  for (int i = 0; i < frames; ++i) {
    const std::uint8_t* frame = block + static_cast<std::ptrdiff_t>(i) * 4;
    const auto left = static_cast<std::int16_t>(frame[0] | (frame[1] << 8));
    const auto right = static_cast<std::int16_t>(frame[2] | (frame[3] << 8));
    const double z = 0.5 * (static_cast<double>(left) + static_cast<double>(right));
    const double c = section(hi, h2, section(hi, h1, section(lo, l, z)));
    const double a = section(mid, m, c);
    const double a2 = a * a;
    const double c2 = c * c;
    const double z2 = z * z;
    af += kf * (a2 - af);
    as += ks * (a2 - as);
    cf += kf * (c2 - cf);
    cs += ks * (c2 - cs);
    zf += kf * (z2 - zf);
    zs += ks * (z2 - zs);
    ea += a2;
    ec += c2;
    ez += z2;
    max_af = std::max(max_af, af);
    peak = std::max(peak, std::abs(c));
  }
  low_ = l;
  high1_ = h1;
  high2_ = h2;
  mid_ = m;
  af_ = af;
  as_ = as;
  cf_ = cf;
  cs_ = cs;
  zf_ = zf;
  zs_ = zs;
  const TEnergy part{ea, ec, ez, frames};
  current_.Energy += part;
  total_ += part;
  current_.MaxFastA = max_af;
  current_.PeakC = peak;
  max_fast_a_ = std::max(max_fast_a_, max_af);
  peak_c_ = std::max(peak_c_, peak);
}

void TSoundLevel::EndSecond() {
  seconds_.push_back(current_);
  const std::int64_t next = current_.Index + 1;
  current_ = TSecond{};
  current_.Index = next;
}

void TSoundLevel::MarkLost(int seconds) {
  if (current_.Energy.Samples > 0) EndSecond();
  for (int i = 0; i < seconds; ++i)
    EndSecond();
}

double TSoundLevel::MeanSquare(TWeighting weighting, TTimeWeighting time) const {
  const bool fast = time == TTimeWeighting::Fast;
  switch (weighting) {
    case TWeighting::A:
      return fast ? af_ : as_;
    case TWeighting::C:
      return fast ? cf_ : cs_;
    case TWeighting::Z:
      break;
  }
  return fast ? zf_ : zs_;
}

void TSoundLevel::TakeSeconds(std::vector<TSecond>& into) {
  into.insert(into.end(), seconds_.begin(), seconds_.end());
  seconds_.clear();
}

}  // namespace roarmark
