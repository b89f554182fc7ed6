// Calibrating with a sound calibrator: 3 s of its 1 kHz tone give the offset that makes the
// meter read the calibrator's level; anything but a steady 1 kHz tone is refused.
#pragma once

#include <cstdint>
#include <vector>

namespace roarmark {

inline constexpr double kCalibrationSeconds = 3;

enum class TCalibrationVerdict {
  Measuring,  // not yet 3 s
  Done,       // Offset() holds the new offset
  TooQuiet,   // silence, or far below any calibrator
  NotATone,   // the sound is not a 1 kHz sine
  NotSteady,  // the level moved during the 3 s
};

class TCalibration {
 public:
  explicit TCalibration(double calibrator_db);

  // Takes a capture buffer (left/right 16-bit little-endian frames, measured as (L + R) / 2)
  // until 3 s have been heard; then the verdict is final.
  void Feed(const std::uint8_t* block, int frames);
  TCalibrationVerdict Verdict() const { return verdict_; }
  // The offset in dB, to one decimal, once the verdict is Done.
  double Offset() const { return offset_; }

 private:
  void EndBlock();
  void Decide();

  double calibrator_db_;
  // A band-pass at 1 kHz (Q 4): a calibrator's tone passes whole, a tenth of a bandwidth off
  // its nominal frequency included.
  double b0_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
  double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
  // 100 ms blocks: their mean squares, and the sums over the whole 3 s.
  std::int64_t block_samples_ = 0;
  double block_energy_ = 0;
  std::vector<double> block_ms_;
  double energy_ = 0, band_energy_ = 0;  // after the first block
  TCalibrationVerdict verdict_ = TCalibrationVerdict::Measuring;
  double offset_ = 0;
};

}  // namespace roarmark
