// Test signals as capture frames: left and right the same 16-bit sample.
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace roarmark::test {

// Appends `frames` frames of a sine of `hz` and `amplitude` (phase counted from `start`).
inline void AppendSine(std::vector<std::uint8_t>& out, double hz, double amplitude,
                       std::int64_t frames, std::int64_t start = 0) {
  for (std::int64_t i = 0; i < frames; ++i) {
    const double v =
        amplitude * std::sin(2 * std::numbers::pi * hz * static_cast<double>(start + i) / 44100.0);
    const auto s = static_cast<std::int16_t>(std::lround(v));
    const auto u = static_cast<std::uint16_t>(s);
    for (int ch = 0; ch < 2; ++ch) {
      out.push_back(static_cast<std::uint8_t>(u & 0xFF));
      out.push_back(static_cast<std::uint8_t>(u >> 8));
    }
  }
}

inline void AppendSilence(std::vector<std::uint8_t>& out, std::int64_t frames) {
  out.insert(out.end(), static_cast<std::size_t>(frames) * 4, 0);
}

// The amplitude of a sine at `dbfs` (0 dBFS: 32767).
inline double Amplitude(double dbfs) {
  return 32767.0 * std::pow(10.0, dbfs / 20);
}

}  // namespace roarmark::test
