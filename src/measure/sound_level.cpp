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

TSoundLevel::TSoundLevel() {
  const TWeightingDesign design = DesignWeighting(kCaptureRate);
  auto section = [](const TBiquad& q) {
    TSection s;
    s.k1 = q.b1 / q.b0 - q.a1;
    s.k2 = q.b2 / q.b0 - q.a2;
    s.a1 = q.a1;
    s.a2 = q.a2;
    return s;
  };
  low_ = section(design.LowEnd);
  high_ = section(design.HighEnd);
  mid_ = section(design.MidBand);
  const double c_gain = 0.5 * design.LowEnd.b0 * design.HighEnd.b0;
  const double a_gain = c_gain * design.MidBand.b0;
  c_gain_sq_ = c_gain * c_gain;
  a_gain_sq_ = a_gain * a_gain;
  for (int n = 0; n <= kBlock; ++n) {
    fast_decay_[static_cast<std::size_t>(n)] = std::exp(-n / (kFastSeconds * kCaptureRate));
    slow_decay_[static_cast<std::size_t>(n)] = std::exp(-n / (kSlowSeconds * kCaptureRate));
  }
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

// Block by block: the filters and the squares' sums and peak sample by sample, then the time
// weighting.
void TSoundLevel::Run(const std::uint8_t* block, int frames) {
  TSection l = low_, h = high_, m = mid_;
  double af = af_, as = as_, cf = cf_, cs = cs_, zf = zf_, zs = zs_;
  double ea = 0, ec = 0, ez = 0;
  double max_af = current_.MaxFastA;
  double peak_sq = current_.PeakC * current_.PeakC / c_gain_sq_;
  const std::uint8_t* frame = block;
  for (int start = 0; start < frames; start += kBlock) {
    const int n = std::min(kBlock, frames - start);
    double sa = 0, sc = 0, sz = 0;
    for (int i = 0; i < n; ++i, frame += 4) {
      const auto left = static_cast<std::int16_t>(frame[0] | (frame[1] << 8));
      const auto right = static_cast<std::int16_t>(frame[2] | (frame[3] << 8));
      const double z = static_cast<double>(left + right);
      const double y = z + l.s1;
      double t = l.s2 + l.k1 * z;
      l.s2 = l.k2 * z - l.a2 * l.s1;
      l.s1 = t - l.a1 * l.s1;
      const double c = y + h.s1;
      t = h.s2 + h.k1 * y;
      h.s2 = h.k2 * y - h.a2 * h.s1;
      h.s1 = t - h.a1 * h.s1;
      const double a = c + m.s1;
      t = m.s2 + m.k1 * c;
      m.s2 = m.k2 * c - m.a2 * m.s1;
      m.s1 = t - m.a1 * m.s1;
      const double c2 = c * c;
      sa += a * a;
      sc += c2;
      sz += z * z;
      peak_sq = std::max(peak_sq, c2);
    }
    sa *= a_gain_sq_;
    sc *= c_gain_sq_;
    sz *= 0.25;  // from L + R to (L + R) / 2
    const double fast = fast_decay_[static_cast<std::size_t>(n)];
    const double slow = slow_decay_[static_cast<std::size_t>(n)];
    const double per_sample = 1.0 / n;
    af = fast * af + (1 - fast) * sa * per_sample;
    as = slow * as + (1 - slow) * sa * per_sample;
    cf = fast * cf + (1 - fast) * sc * per_sample;
    cs = slow * cs + (1 - slow) * sc * per_sample;
    zf = fast * zf + (1 - fast) * sz * per_sample;
    zs = slow * zs + (1 - slow) * sz * per_sample;
    ea += sa;
    ec += sc;
    ez += sz;
    max_af = std::max(max_af, af);
  }
  low_ = l;
  high_ = h;
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
  current_.PeakC = std::sqrt(peak_sq * c_gain_sq_);
  max_fast_a_ = std::max(max_fast_a_, max_af);
  peak_c_ = std::max(peak_c_, current_.PeakC);
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
