// The calibration's three checks (loud enough, a 1 kHz sine, steady) and the offset.
#include "measure/calibration.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "measure/sound_level.h"

namespace roarmark {
namespace {

constexpr int kBlockSamples = 4410;  // 100 ms
constexpr int kBlocks = static_cast<int>(kCalibrationSeconds * 10);
// A calibrator gives 94 dB or more; a microphone that reads it below -70 dBFS is not one.
constexpr double kQuietDbfs = -70;
// The share of the energy within the band: a sine has nearly all of it, a 1 kHz square wave
// 81 %, noise far less.
constexpr double kToneShare = 0.9;
// Calibrators hold their level within a few hundredths of a dB.
constexpr double kSteadyDb = 0.5;

}  // namespace

TCalibration::TCalibration(double calibrator_db) : calibrator_db_(calibrator_db) {
  const double w = 2 * std::numbers::pi * 1000 / kCaptureRate;
  const double alpha = std::sin(w) / (2 * 4.0);
  const double a0 = 1 + alpha;
  b0_ = alpha / a0;
  b2_ = -alpha / a0;
  a1_ = -2 * std::cos(w) / a0;
  a2_ = (1 - alpha) / a0;
  block_ms_.reserve(kBlocks);
}

void TCalibration::Feed(const std::uint8_t* block, int frames) {
  for (int i = 0; i < frames && verdict_ == TCalibrationVerdict::Measuring; ++i) {
    const std::uint8_t* f = block + static_cast<std::ptrdiff_t>(i) * 4;
    const auto left = static_cast<std::int16_t>(f[0] | (f[1] << 8));
    const auto right = static_cast<std::int16_t>(f[2] | (f[3] << 8));
    const double x = 0.5 * (static_cast<double>(left) + right);
    const double y = b0_ * x + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    block_energy_ += x * x;
    // The first block lets the band-pass settle.
    if (!block_ms_.empty()) band_energy_ += y * y;
    if (!block_ms_.empty()) energy_ += x * x;
    if (++block_samples_ == kBlockSamples) EndBlock();
  }
}

void TCalibration::EndBlock() {
  block_ms_.push_back(block_energy_ / kBlockSamples);
  block_energy_ = 0;
  block_samples_ = 0;
  if (static_cast<int>(block_ms_.size()) == kBlocks) Decide();
}

void TCalibration::Decide() {
  const auto [low, high] = std::minmax_element(block_ms_.begin(), block_ms_.end());
  const double quiet_ms = kFullScaleSineMs * std::pow(10.0, kQuietDbfs / 10);
  if (*low < quiet_ms) {
    verdict_ = TCalibrationVerdict::TooQuiet;
  } else if (band_energy_ < kToneShare * energy_) {
    verdict_ = TCalibrationVerdict::NotATone;
  } else if (10 * std::log10(*high / *low) > kSteadyDb) {
    verdict_ = TCalibrationVerdict::NotSteady;
  } else {
    double total = 0;
    for (double ms : block_ms_)
      total += ms;
    const double offset = calibrator_db_ - LevelDb(total / kBlocks, 0);
    offset_ = std::round(offset * 10) / 10;
    verdict_ = TCalibrationVerdict::Done;
  }
}

}  // namespace roarmark
