// Local time from the C library, with the reentrant call each system offers.
#include <ctime>

#include "platform/clock.h"

namespace roarmark::platform {

TLocalTime TSystemClock::Now() const {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &now);
#else
  localtime_r(&now, &tm);
#endif
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace roarmark::platform
