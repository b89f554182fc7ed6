// The calibrated sound level of the capture: frequency weighting A, C and Z, exponential time
// weighting Fast and Slow, energies per second of the run, and the maxima and peaks.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "measure/weighting.h"

namespace roarmark {

inline constexpr double kCaptureRate = 44100;
inline constexpr int kSamplesPerSecond = 44100;
inline constexpr double kFastSeconds = 0.125;
inline constexpr double kSlowSeconds = 1.0;
// Mean square of a full-scale sine (amplitude 32767): the level the calibration offset names.
inline constexpr double kFullScaleSineMs = 32767.0 * 32767.0 / 2;

enum class TTimeWeighting { Fast, Slow };

// Sums over part of the run, in squared 16-bit sample units.
struct TEnergy {
  double A = 0, C = 0, Z = 0;
  std::int64_t Samples = 0;
  TEnergy& operator+=(const TEnergy& e) {
    A += e.A;
    C += e.C;
    Z += e.Z;
    Samples += e.Samples;
    return *this;
  }
};

// One second of the run. A second in which no sound came in (the input was lost) has no
// samples.
struct TSecond {
  std::int64_t Index = 0;  // seconds since the run began
  TEnergy Energy;
  double MaxFastA = 0;  // largest A-weighted Fast mean square within the second
  double PeakC = 0;     // largest |C-weighted sample|
  bool Lost() const { return Energy.Samples == 0; }
};

// dB from a mean square (or a squared peak) with the calibration offset; silence reads
// 140 dB below full scale rather than minus infinity.
double LevelDb(double mean_square, double offset_db);

class TSoundLevel {
 public:
  TSoundLevel();

  // One capture buffer: `frames` frames of left/right 16-bit little-endian samples, measured
  // as their mean (L + R) / 2. Seconds completed on the way are added to Seconds().
  void ProcessBlock(const std::uint8_t* block, int frames);
  // The input was lost for `seconds` whole seconds: the second under way ends with what it
  // has, then as many seconds without sound follow.
  void MarkLost(int seconds);

  // The time-weighted mean square now.
  double MeanSquare(TWeighting weighting, TTimeWeighting time) const;
  // Since the run began.
  const TEnergy& Total() const { return total_; }
  double MaxFastA() const { return max_fast_a_; }
  double PeakC() const { return peak_c_; }
  // The second under way.
  const TSecond& Current() const { return current_; }

  // Completed seconds not yet taken.
  const std::vector<TSecond>& Seconds() const { return seconds_; }
  void TakeSeconds(std::vector<TSecond>& into);

 private:
  // A biquad without its gain b0, as a state machine whose feedback is one multiply and subtract
  // long: y = x + s1, s1' = (s2 + k1 x) - a1 s1, s2' = k2 x - a2 s1, with k1 = b1 / b0 - a1 and
  // k2 = b2 / b0 - a2.
  struct TSection {
    double k1 = 0, k2 = 0, a1 = 0, a2 = 0;
    double s1 = 0, s2 = 0;
  };
  void Run(const std::uint8_t* block, int frames);
  void EndSecond();

  // C = low end x high end, A = C x mid band. The input is L + R; the sections' gains and the
  // 1/2 of the mean join at the squares.
  TSection low_, high_, mid_;
  double c_gain_sq_ = 0, a_gain_sq_ = 0;
  // Time weighting moves on every kBlock samples by the block's mean square: y = d y + (1 - d)
  // mean, d = e^(-n / (tau fs)) for a block of n; LAFmax is the largest of these values. Within
  // a block each sample weighs at most 1 - e^(-16 / 5512) = 0.3 % off its sample-by-sample
  // weight (0.012 dB with Fast), and a steady signal reads exactly the same.
  static constexpr int kBlock = 16;
  std::array<double, kBlock + 1> fast_decay_{}, slow_decay_{};
  // Fast and Slow mean squares of A, C and Z.
  double af_ = 0, as_ = 0, cf_ = 0, cs_ = 0, zf_ = 0, zs_ = 0;
  TEnergy total_;
  double max_fast_a_ = 0;
  double peak_c_ = 0;
  TSecond current_;
  std::vector<TSecond> seconds_;
};

}  // namespace roarmark
