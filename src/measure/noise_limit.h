// The noise limit: the A-weighted equivalent level over the last chosen minutes against the
// limit, with a warning band below it.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>

namespace roarmark {

inline constexpr double kWarningBandDb = 3;

enum class TLimitState { None, Warning, Alarm };

// Within kWarningBandDb of the limit or at it: Warning; above it: Alarm. A limit of 0 dB or
// less is no limit.
TLimitState LimitStateOf(double level_db, double limit_db);

class TNoiseLimit {
 public:
  // One second of the run with its A-weighted energy; the window keeps the last `minutes`.
  void Add(double energy, std::int64_t samples, int minutes);
  // The mean square over the window, or nothing while it holds no sound.
  std::optional<double> MeanSquare() const;

 private:
  struct TEntry {
    double Energy;
    std::int64_t Samples;
  };
  std::deque<TEntry> window_;
  double energy_ = 0;
  std::int64_t samples_ = 0;
};

}  // namespace roarmark
