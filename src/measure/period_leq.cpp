// Seconds into fixed periods counted from the run's start.
#include "measure/period_leq.h"

namespace roarmark {

std::optional<double> TPeriod::MeanSquare() const {
  if (Samples <= 0) return std::nullopt;
  return Energy / static_cast<double>(Samples);
}

void TPeriodLeq::Add(std::int64_t second, double energy, std::int64_t samples) {
  const std::int64_t first = second / seconds_ * seconds_;
  if (current_ && current_->FirstSecond != first) {
    closed_.push_back(*current_);
    current_.reset();
  }
  if (!current_) current_ = TPeriod{first, 0, 0};
  current_->Energy += energy;
  current_->Samples += samples;
}

}  // namespace roarmark
