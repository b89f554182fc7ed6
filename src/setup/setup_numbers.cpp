// The setup dialog's number conversions.
#include "setup/setup_numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/level_engine.h"

namespace roarmark {

namespace {

// One capture buffer lasts 1100 / 44100 s.
constexpr double kBuffersPerSecond = 44100.0 / kFramesPerBuffer;
// Typed decimals such as 0.29 are a hair below their value in binary; truncating must not
// turn them into 289.
constexpr double kTruncationSlack = 1e-9;

int TruncatedMilliseconds(double seconds) {
  return static_cast<int>(std::trunc(seconds * 1000.0 + kTruncationSlack));
}

std::optional<int> ResetTime(double seconds) {
  if (seconds > 0.0 && seconds < 120.0) return TruncatedMilliseconds(seconds);
  return std::nullopt;
}

}  // namespace

int PositionFieldValue(const std::string& text, int not_integer, int zero) {
  std::int32_t value = 0;
  if (!TryParseInt(text, value)) return not_integer;
  return value == 0 ? zero : value;
}

std::optional<int> AverageNumberFromText(const std::string& text, char decimal_separator) {
  double seconds = 0.0;
  if (!TryParseFloat(text, decimal_separator, seconds)) seconds = 0.5;
  if (!(seconds > 0.0 && seconds < 10.0)) return std::nullopt;
  const double buffers = std::trunc(seconds * kBuffersPerSecond + kTruncationSlack);
  return static_cast<int>(std::clamp(buffers, 1.0, static_cast<double>(kMaxAverageNumber)));
}

std::optional<int> LiveResetTime(const std::string& text, char decimal_separator) {
  if (text.empty()) return std::nullopt;
  double seconds = 0.0;
  if (!TryParseFloat(text, decimal_separator, seconds)) seconds = 5.0;
  if (seconds == 0.0) seconds = 0.01;
  return ResetTime(seconds);
}

std::optional<int> OkResetTime(const std::string& text, char decimal_separator) {
  double seconds = 0.0;
  if (!TryParseFloat(text, decimal_separator, seconds)) seconds = 0.5;
  return ResetTime(seconds);
}

std::string AverageTimeText(int buffers, char decimal_separator) {
  const double seconds = buffers / kBuffersPerSecond;
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2G", seconds);
  double rounded = 0.0;
  std::sscanf(buf, "%lf", &rounded);
  return FormatGeneral(rounded, decimal_separator);
}

std::string ResetTimeText(int milliseconds, char decimal_separator) {
  return FormatGeneral(milliseconds / 1000.0, decimal_separator);
}

}  // namespace roarmark
