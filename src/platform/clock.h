// The wall clock in local time: results files are named and stamped with it.
#pragma once

namespace roarmark::platform {

struct TLocalTime {
  int Year = 0;
  int Month = 0;  // 1..12
  int Day = 0;    // 1..31
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
};

class IClock {
 public:
  virtual ~IClock() = default;
  virtual TLocalTime Now() const = 0;
};

// The operating system's clock and time zone; what the desktop backends hand out.
class TSystemClock : public IClock {
 public:
  TLocalTime Now() const override;
};

}  // namespace roarmark::platform
