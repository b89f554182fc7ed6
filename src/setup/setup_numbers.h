// The setup dialog's number conversions: position and size fields with their fallbacks, the
// averaging time and the reset time, and how the dialog writes those two times.
#pragma once

#include <optional>
#include <string>

namespace roarmark {

// A position or size field: its whole text as a 32-bit integer; `not_integer` when it is not
// one (empty included) and `zero` when it is exactly 0.
int PositionFieldValue(const std::string& text, int not_integer, int zero);

// Seconds typed as the averaging time to a number of capture buffers (1..400); nothing when
// the time lies outside 0 < s < 10. Text that is not a number counts as 0.5 seconds.
std::optional<int> AverageNumberFromText(const std::string& text, char decimal_separator);

// Seconds typed as the reset time to milliseconds; nothing when the time is refused.
// While typing: an empty field does nothing, other text counts as 5 s and 0 as 0.01 s.
std::optional<int> LiveResetTime(const std::string& text, char decimal_separator);
// On OK: text that is not a number (empty included) counts as 0.5 s; 0 is refused.
std::optional<int> OkResetTime(const std::string& text, char decimal_separator);

// The averaging time of `buffers` capture buffers in seconds, two significant digits.
std::string AverageTimeText(int buffers, char decimal_separator);
// The reset time in seconds, shortest form.
std::string ResetTimeText(int milliseconds, char decimal_separator);

}  // namespace roarmark
