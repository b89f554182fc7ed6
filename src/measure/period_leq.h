// Equivalent levels over fixed periods of the run (a minute, a quarter of an hour), built from
// its seconds; a period keeps the energy and the sound time it had, so input-loss seconds count
// as neither.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace roarmark {

struct TPeriod {
  std::int64_t FirstSecond = 0;  // of the run
  double Energy = 0;             // sum of squares
  std::int64_t Samples = 0;      // samples heard; 0 when the input was lost throughout
  // The mean square, or nothing for a period without sound.
  std::optional<double> MeanSquare() const;
};

class TPeriodLeq {
 public:
  explicit TPeriodLeq(int period_seconds) : seconds_(period_seconds) {}
  // One second of the run, in order.
  void Add(std::int64_t second, double energy, std::int64_t samples);
  // Periods completed so far, then the one under way (if it has begun).
  const std::vector<TPeriod>& Closed() const { return closed_; }
  const std::optional<TPeriod>& Current() const { return current_; }
  int PeriodSeconds() const { return seconds_; }

 private:
  int seconds_;
  std::vector<TPeriod> closed_;
  std::optional<TPeriod> current_;
};

}  // namespace roarmark
