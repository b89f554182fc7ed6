// A fixed start date; a script never runs across midnight, so only the time of day moves.
#include "platform/sim/sim_clock.h"

namespace roarmark::platform::sim {

TLocalTime SimClock::Now() const {
  const std::uint64_t seconds = 20 * 3600 + loop_.Elapsed() / 1000;
  const auto day = static_cast<int>(seconds / 86400);
  const auto in_day = static_cast<int>(seconds % 86400);
  return {2025, 6, 14 + day, in_day / 3600, in_day / 60 % 60, in_day % 60};
}

}  // namespace roarmark::platform::sim
