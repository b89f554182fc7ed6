// The sliding window of the noise limit, summed afresh each second so that loud seconds leaving
// it leave no rounding behind.
#include "measure/noise_limit.h"

namespace roarmark {

TLimitState LimitStateOf(double level_db, double limit_db) {
  if (limit_db <= 0) return TLimitState::None;
  if (level_db > limit_db) return TLimitState::Alarm;
  if (level_db >= limit_db - kWarningBandDb) return TLimitState::Warning;
  return TLimitState::None;
}

void TNoiseLimit::Add(double energy, std::int64_t samples, int minutes) {
  window_.push_back({energy, samples});
  const std::size_t keep = static_cast<std::size_t>(minutes > 0 ? minutes : 1) * 60;
  while (window_.size() > keep)
    window_.pop_front();
  energy_ = 0;
  samples_ = 0;
  for (const TEntry& e : window_) {
    energy_ += e.Energy;
    samples_ += e.Samples;
  }
}

std::optional<double> TNoiseLimit::MeanSquare() const {
  if (samples_ <= 0) return std::nullopt;
  return energy_ / static_cast<double>(samples_);
}

}  // namespace roarmark
